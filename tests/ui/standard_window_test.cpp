// The standard selection window bound to its screen: the series dispatch, Calculate and
// the grid, the leave-field messages and the focus, the keys, the copy, and the work that
// user input cannot break into.

#include "screens/ui/standard_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/ui/main_window.h"
#include "app/ui/units_dialog.h"
#include "app/units.h"
#include "screens/results_grid.h"
#include "screens/ui/results_grid_view.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

using screens::Control;
using screens::Ctl;

QStringList Entries(const QComboBox* combo) {
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  return entries;
}

// Types into a field that has the focus, as the user does.
void TypeInto(ui::StandardWindow& w, screens::ControlRef field, const QString& text) {
  QLineEdit* edit = w.FieldWidget(field);
  edit->setFocus(Qt::MouseFocusReason);
  Settle();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

TEST(StandardWindow, choosingQ70AfterMiralRecreatesTheScreenForTheUnitHeaters) {
  StartedProgram p;
  ui::StandardWindow& miral = p.Choose("mnuprod(2)");
  const QPointer<ui::StandardWindow> first = &miral;
  EXPECT_EQ(miral.windowTitle(), "Ventilconvettori Miral ");
  EXPECT_TRUE(miral.CoolingPanel()->isVisible());
  const QStringList miralModels = Entries(miral.ComboWidget(Control(Ctl::cboModel)));
  ASSERT_GT(miralModels.size(), 1);
  EXPECT_EQ(miralModels[0], "* Tutto");
  EXPECT_TRUE(miralModels[1].startsWith("MIRAL"));
  TypeInto(miral, Control(Ctl::txtTsa1, 1), "22");

  ui::StandardWindow& q70 = p.Choose("mnuprod(1)");
  Settle();
  EXPECT_TRUE(first.isNull());  // closed and gone, not reused
  EXPECT_EQ(p.main().OpenWindowNames(), std::vector<std::string>{"FDatiP"});
  EXPECT_EQ(p.session().settings.CurrentSeries, "Q70");
  EXPECT_EQ(q70.windowTitle(), "Aerotermi modelli Q70");
  EXPECT_FALSE(q70.CoolingPanel()->isVisible());
  EXPECT_TRUE(q70.HeatingPanelDockedTop());
  EXPECT_EQ(q70.HeatingPanel()->width(), q70.width() - q70.layout()->contentsMargins().left() -
                                             q70.layout()->contentsMargins().right());
  EXPECT_FALSE(q70.FieldWidget(Control(Ctl::txtGlic))->isEnabled());
  EXPECT_EQ(q70.FieldWidget(Control(Ctl::txtTsa1, 1))->text(), "20");  // a fresh screen
  // The screen opens with the focus on its first field, here on the heating panel.
  EXPECT_EQ(QApplication::focusWidget(), q70.FieldWidget(Control(Ctl::txtTsa1, 1)));
  const QStringList q70Models = Entries(q70.ComboWidget(Control(Ctl::cboModel)));
  ASSERT_GT(q70Models.size(), 1);
  for (int i = 1; i < q70Models.size(); ++i)
    EXPECT_TRUE(q70Models[i].startsWith("Q70")) << q70Models[i].toStdString();
}

TEST(StandardWindow, everyStandardSeriesCanBeChosenAndCalculated) {
  StartedProgram p;
  for (const char* item :
       {"mnuprod(0)", "mnuprod(1)", "mnuprod(2)", "mnuprod(3)", "mnuprod(5)", "mnuprod(6)",
        "mnuprod(8)", "mnuprod(9)", "mnuprod(10)", "mnuprod(12)", "mnuprod(13)", "mnuprods(6)"}) {
    ui::StandardWindow& w = p.Choose(item);
    QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
    EXPECT_GT(w.Grid()->model()->rowCount(), 0)
        << item << " " << p.session().settings.CurrentSeries;
    EXPECT_TRUE(p.desktop.messages.empty())
        << item << ": " << p.desktop.messages.front().text.toStdString();
    p.desktop.messages.clear();
  }
}

TEST(StandardWindow, calculateFillsTheGridWithItsHeadingsFixed) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  EXPECT_FALSE(w.ButtonWidget(Ctl::cmdLegend)->isVisible());
  EXPECT_EQ(w.Grid()->model()->rowCount(), 0);
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  const screens::ResultsGrid& grid = w.standard().form.Grd;
  ASSERT_GT(grid.RowCount(), 2);
  EXPECT_EQ(grid.FixedRows, 2);
  QAbstractItemModel* model = w.Grid()->model();
  ASSERT_EQ(model->rowCount(), grid.RowCount() - 2);
  ASSERT_EQ(model->columnCount(), grid.Cols);
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "QA\nl/s");
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "\nModello");
  for (int row = 0; row < model->rowCount(); ++row)
    for (int col = 0; col < grid.Cols; ++col)
      ASSERT_EQ(model->index(row, col).data().toString().toStdString(), grid.Cell(row + 2, col));
  // Right alignment but for the model name; no column narrower than its twips.
  EXPECT_TRUE(model->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
              Qt::AlignRight);
  EXPECT_TRUE(model->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
              Qt::AlignLeft);
  for (int col = 0; col < grid.Cols; ++col)
    EXPECT_GE(w.Grid()->columnWidth(col),
              w.Grid()->PixelsOfTwips(grid.ColWidth[static_cast<std::size_t>(col)]));
  EXPECT_TRUE(w.ButtonWidget(Ctl::cmdLegend)->isVisible());
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdLegend), Qt::LeftButton);
  EXPECT_TRUE(w.LegendPanel()->isVisible());
  QTest::mouseClick(w.LegendPanel(), Qt::LeftButton);
  EXPECT_FALSE(w.LegendPanel()->isVisible());
}

TEST(StandardWindow, growsToShowItsWholeGridWhileTheMainWindowHasRoom) {
  StartedProgram p;
  p.main().resize(1600, 1100);
  Settle();
  for (const char* item : {"mnuprod(0)", "mnuprod(2)"}) {  // TORVA: the most columns; MIRAL
    ui::StandardWindow& w = p.Choose(item);
    w.ComboWidget(Control(Ctl::cboVel))->setCurrentIndex(0);  // every speed: more rows
    QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
    QTest::mouseClick(w.ButtonWidget(Ctl::cmdLegend), Qt::LeftButton);
    Settle();
    ASSERT_GT(w.Grid()->model()->rowCount(), 5) << item;
    EXPECT_FALSE(w.Grid()->horizontalScrollBar()->isVisible()) << item;
    EXPECT_FALSE(w.Grid()->verticalScrollBar()->isVisible()) << item;
    const int last = w.Grid()->model()->columnCount() - 1;
    EXPECT_LE(w.Grid()->columnViewportPosition(last) + w.Grid()->columnWidth(last),
              w.Grid()->viewport()->width())
        << item;
  }
}

TEST(StandardWindow, aRangeMessageGivesTheFocusBackToTheField) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  QLineEdit* dryBulb = w.FieldWidget(Control(Ctl::txtTsa1, 0));
  TypeInto(w, Control(Ctl::txtTsa1, 0), "35");
  QTest::keyClick(dryBulb, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), w.FieldWidget(Control(Ctl::txtTbu)));
  Settle();
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(p.desktop.messages[0].icon, screens::Icon::kError);
  EXPECT_EQ(p.desktop.messages[0].text,
            "Il valore deve essere compreso tra 18 °C -> 33 °C\nviene impostato a 18");
  EXPECT_EQ(dryBulb->text(), "18");
  EXPECT_EQ(QApplication::focusWidget(), dryBulb);
  EXPECT_EQ(dryBulb->selectedText(), "18");
}

// Numbers too large for the program's arithmetic, typed into every field and left: each
// is told or taken, and the program goes on.
TEST(StandardWindow, anOverflowingNumberInAnyFieldNeverEndsTheProgram) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  for (const QString& huge : {QStringLiteral("1e400"), QStringLiteral("1e39"),
                              QString(41, QLatin1Char('9')), QStringLiteral("-1e39")}) {
    for (const screens::ControlRef& ref : w.screen().TabOrder()) {
      if (!w.FieldWidget(ref) || !w.FieldWidget(ref)->isEnabled()) continue;
      TypeInto(w, ref, huge);
      QTest::keyClick(w.FieldWidget(ref), Qt::Key_Tab);
      Settle();
    }
    QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
    Settle();
    EXPECT_FALSE(w.IsClosed()) << huge.toStdString();
  }
  // What the fields with a range hold now is their minimum, told once each.
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTsa1, 0))->text(), "18");
  EXPECT_FALSE(p.desktop.messages.empty());
  for (const auto& m : p.desktop.messages)
    EXPECT_FALSE(m.text.contains(QStringLiteral("Overflow"))) << m.text.toStdString();
}

TEST(StandardWindow, changedUnitsRelabelTheFieldsAndRewriteWhatIsTyped) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  TypeInto(w, Control(Ctl::txtQw, 0), "0.2");
  TypeInto(w, Control(Ctl::txtpsu), "40");
  QTest::keyClick(w.FieldWidget(Control(Ctl::txtpsu)), Qt::Key_Tab);
  Settle();
  p.main().ShowUnitsDialog();
  ui::UnitsDialog* dialog = p.main().OpenUnitsDialog();
  for (const Quantity q : {Quantity::kWaterFlow, Quantity::kAirPressure}) {  // l/h, mmH2O
    dialog->List(q)->setFocus();
    QTest::keyClick(dialog->List(q), Qt::Key_Down);
  }
  dialog->close();
  Settle();
  ASSERT_EQ(p.session().settings.UnitQw, 1);
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtQw, 0))->text(), "720");
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtpsu))->text(), "4.08");
  EXPECT_EQ(w.standard().form.lblumQw[0].Caption, "l/h");
  EXPECT_EQ(w.standard().form.lblumDpa.Caption, "mmH2O");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();
}

TEST(StandardWindow, calculateDoesNotRunWhenLeavingTheFieldForItBringsAMessage) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  TypeInto(w, Control(Ctl::txtTw1, 0), "25");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTw1, 0))->text(), "5");
  EXPECT_EQ(w.Grid()->model()->rowCount(), 0);
  EXPECT_EQ(QApplication::focusWidget(), w.FieldWidget(Control(Ctl::txtTw1, 0)));
}

TEST(StandardWindow, fineClosesWithoutAMessageWhileAFieldIsOutOfRange) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  TypeInto(w, Control(Ctl::txtTsa1, 0), "35");
  QTest::mouseClick(w.ButtonWidget(Ctl::CmdFine), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(p.desktop.messages.empty());
  EXPECT_EQ(p.main().OpenScreenWindow(), nullptr);
  EXPECT_TRUE(p.main().OpenWindowNames().empty());
}

TEST(StandardWindow, aMissingInputFoundByCalculateGivesTheFocusToItsField) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  // Humidity emptied and the wet bulb emptied too, so nothing recomputes it.
  TypeInto(w, Control(Ctl::txtTbu), "");
  TypeInto(w, Control(Ctl::txtUr), "");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(p.desktop.messages[0].text, "Manca la percentuale di umidità");
  EXPECT_EQ(QApplication::focusWidget(), w.FieldWidget(Control(Ctl::txtUr)));
}

TEST(StandardWindow, enterMovesToTheNextFieldSkippingDisabledOnes) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(3)");  // VELD: static pressure disabled
  QLineEdit* glycol = w.FieldWidget(Control(Ctl::txtGlic));
  glycol->setFocus();
  Settle();
  QTest::keyClick(glycol, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), w.ComboWidget(Control(Ctl::cboVel)));
  QTest::keyClick(w.FieldWidget(Control(Ctl::txtTsa1, 0)), Qt::Key_Enter);
  EXPECT_EQ(QApplication::focusWidget(), w.FieldWidget(Control(Ctl::txtTbu)));
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTbu))->selectedText(), "19");
}

TEST(StandardWindow, pointAndCommaTypeTheSeparatorOfTheLocale) {
  for (const auto& [separator, typed, shown] :
       {std::tuple{",", "12.5", "12,5"}, std::tuple{",", "12,5", "12,5"},
        std::tuple{".", "12,5", "12.5"}}) {
    StartedProgram p(separator);
    ui::StandardWindow& w = p.Choose("mnuprod(2)");
    TypeInto(w, Control(Ctl::txtTw2, 0), QString::fromLatin1(typed));
    EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTw2, 0))->text(), QString::fromLatin1(shown))
        << separator << typed;
  }
}

TEST(StandardWindow, aWaterFlowTypedRemovesTheLeavingTemperatureOfItsPanel) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  QCheckBox* comeFreddo = w.CheckWidget(Control(Ctl::chkComeFreddo));
  QTest::mouseClick(comeFreddo, Qt::LeftButton);
  EXPECT_TRUE(comeFreddo->isChecked());
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTw2, 1))->text(), "");  // "=QW(C)" empties it
  TypeInto(w, Control(Ctl::txtQw, 0), "0.2");
  QTest::keyClick(w.FieldWidget(Control(Ctl::txtQw, 0)), Qt::Key_Tab);
  Settle();
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTw2, 0))->text(), "");
  EXPECT_FALSE(comeFreddo->isChecked());
  EXPECT_TRUE(p.desktop.messages.empty());
}

TEST(StandardWindow, clickingAResultRowChoosesItsModel) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  ASSERT_GT(w.Grid()->model()->rowCount(), 2);
  ui::ResultsGridView* grid = w.Grid();
  const QModelIndex third = grid->model()->index(2, 3);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(third).center());
  EXPECT_EQ(w.ComboWidget(Control(Ctl::cboModel))->currentText(),
            third.siblingAtColumn(0).data().toString());
}

TEST(StandardWindow, ctrlCCopiesTheHeadingsAndTheSelectedRows) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  ui::ResultsGridView* grid = w.Grid();
  ASSERT_GE(grid->model()->rowCount(), 3);
  // Grid rows 3 and 4 (the second and third result), columns 0 to 4.
  grid->setFocus();
  grid->selectionModel()->select(
      QItemSelection(grid->model()->index(1, 0), grid->model()->index(2, 4)),
      QItemSelectionModel::ClearAndSelect);
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_EQ(copied.toStdString(), screens::GridCopyText(w.standard().form.Grd, 3, 4, 4));
  const QStringList lines = copied.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines[0].startsWith("\tQA\tPT\t"));
  EXPECT_EQ(lines[2].split('\t').size(), 6);  // five cells, each followed by a tab
  // No other key does anything in the grid.
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(grid, Qt::Key_C);
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST(StandardWindow, userActionsCannotRunInsideACalculation) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  // A typed water flow: the cooling outlet solve lets pending events through on each pass.
  TypeInto(w, Control(Ctl::txtQw, 0), "0.2");
  QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(w.parentWidget());
  // A timer runs while the calculation lets pending events through, as a repaint does;
  // what it tries must wait for the calculation or not happen.
  bool ranDuringCalculation = false;
  QTimer::singleShot(0, &w, [&] {
    ranDuringCalculation = w.IsBusy();
    w.ButtonWidget(Ctl::cmdCalcola)->click();  // a second Calculate
    sub->close();                              // the window closed under it
    p.main().Action("mnuprod(1)")->trigger();  // another series
  });
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  EXPECT_TRUE(ranDuringCalculation);
  EXPECT_FALSE(w.IsBusy());
  EXPECT_EQ(p.main().OpenScreenWindow(), static_cast<ui::ScreenWindow*>(&w));
  EXPECT_EQ(p.session().settings.CurrentSeries, "MIRAL");
  const int rows = w.Grid()->model()->rowCount();
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  EXPECT_EQ(w.Grid()->model()->rowCount(), rows);  // the first one was not disturbed
}

}  // namespace
}  // namespace vestra::testing

namespace vestra::testing {
namespace {

TEST(StandardWindow, aStatedDutyTicksTheRowsSelectsTheChoiceAndSaysWhy) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  QLineEdit* total = w.FieldWidget(screens::Control(screens::Ctl::txtReq, 0));
  ASSERT_NE(total, nullptr);
  EXPECT_TRUE(total->isVisible());
  total->setText("3000");
  w.FieldWidget(screens::Control(screens::Ctl::txtReq, 3))->setText("50");
  QTest::mouseClick(w.ButtonWidget(screens::Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  ASSERT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();

  const screens::ResultsGrid& grid = w.screen().Form().Grd;
  int chosen = -1, meeting = 0;
  for (int row = 2; row < grid.RowCount(); ++row) {
    const auto* mark = grid.MarkOf(row);
    if (mark->kind == screens::ResultsGrid::RowMark::kChosen) chosen = row;
    if (mark->kind != screens::ResultsGrid::RowMark::kNone) ++meeting;
  }
  ASSERT_GE(chosen, 2);
  ui::ResultsGridView* view = w.Grid();
  EXPECT_EQ(view->currentIndex().row(), chosen - 2);
  EXPECT_TRUE(view->selectionModel()->isRowSelected(chosen - 2, {}));
  const QModelIndex model = view->model()->index(chosen - 2, 0);
  EXPECT_FALSE(model.data(Qt::DecorationRole).isNull());
  EXPECT_TRUE(model.data(Qt::ToolTipRole).toString().contains("% totale"));
  auto* line = w.findChild<QLabel*>("lblDuty");
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->isVisible());
  EXPECT_TRUE(line->text().startsWith("Scelto: "));
  EXPECT_TRUE(line->text().contains(QString::number(meeting))) << line->text().toStdString();

  // Emptied, the screen is as before: no tick, no line.
  total->setText("");
  w.FieldWidget(screens::Control(screens::Ctl::txtReq, 3))->setText("");
  QTest::mouseClick(w.ButtonWidget(screens::Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(view->model()->index(chosen - 2, 0).data(Qt::DecorationRole).isNull());
  EXPECT_FALSE(line->isVisible());
}

}  // namespace
}  // namespace vestra::testing
