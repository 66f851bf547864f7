// Takes the screenshots of docs/screenshots under an X server (Xvfb): the program starts
// as usual on the catalogue of CATALOGUE_FOLDER with a settings file of its own, goes
// through the main window, the standard screen with results in Italian and in English,
// the units dialog and the language chooser, and grabs the screen with ImageMagick's
// `import` at each step. Run by tools/screenshots/take_screenshots.sh.
//
//   vestra-screenshots CATALOGUE_FOLDER OUTPUT_FOLDER

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "app/settings.h"
#include "app/ui/language_chooser.h"
#include "app/ui/main_window.h"
#include "app/ui/startup.h"
#include "app/ui/units_dialog.h"
#include "screens/ui/chart_window.h"
#include "screens/ui/report_dialog.h"
#include "screens/ui/screen_window.h"

namespace {

using vestra::screens::Ctl;

void Settle(int ms = 400) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Grabs a part of the screen (in the coordinates of window's screen).
bool Shot(const QRect& g, const QWidget* window, const QString& file) {
  Settle();
  // The X server counts device pixels.
  const qreal scale = window->devicePixelRatioF();
  const QRect r(qRound(g.x() * scale), qRound(g.y() * scale), qRound(g.width() * scale),
                qRound(g.height() * scale));
  const QString crop =
      QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
  const int rc = QProcess::execute(
      QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                 QStringLiteral("-crop"), crop, QStringLiteral("+repage"), file});
  std::printf("%s %s\n", rc == 0 ? "wrote" : "FAILED", qPrintable(file));
  return rc == 0;
}

// Grabs the part of the screen the window covers, its frame included.
bool Shot(QWidget* window, const QString& file) {
  return Shot(window->frameGeometry(), window, file);
}

vestra::ui::ScreenWindow* Calculated(vestra::ui::MainWindow& main, const char* menuItem) {
  main.Action(menuItem)->trigger();
  vestra::ui::ScreenWindow* screen = main.OpenScreenWindow();
  screen->ButtonWidget(Ctl::cmdCalcola)->click();
  screen->ButtonWidget(Ctl::cmdLegend)->click();
  return screen;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: vestra-screenshots CATALOGUE_FOLDER OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);
  QTemporaryDir home;

  // Start-up as the program does it, on a settings file of this run.
  vestra::Settings settings;
  settings.DecimalSeparator = vestra::DetectDecimalSeparator(vestra::SystemTenThirdsText());
  settings.AppPath = vestra::WithTrailingSeparator(
      QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdString());
  // The shipped settings, for the document languages the report dialog looks up.
  QFile::copy(QString::fromStdString(settings.AppPath) + "Vestra.ini", home.path() + "/Vestra.ini");
  vestra::SettingsFile file((home.path() + "/Vestra.ini").toStdString(), "");
  vestra::LoadSettingsReport report =
      vestra::LoadSettings(file, (home.path() + "/out").toStdString(), settings);
  vestra::ui::StartupResult started = vestra::ui::StartProgram(
      vestra::StartupSettings{std::move(settings), std::move(file), std::move(report)},
      vestra::ui::SystemDesktop());
  if (!started.program) {
    std::fprintf(stderr, "vestra-screenshots: %s\n", started.failure.c_str());
    return 1;
  }
  vestra::ui::MainWindow& main = *started.program->mainWindow;
  main.move(0, 0);
  Settle();
  // The series menu open, its EC submenu too.
  QMenu* series = main.Menu("mnuscelta");
  QMenu* ec = main.Menu("mnuprod(11)");
  QMenuBar* bar = main.menuBar();
  series->popup(bar->mapToGlobal(bar->actionGeometry(series->menuAction()).bottomLeft()));
  Settle(200);
  series->setActiveAction(ec->menuAction());
  ec->popup(series->mapToGlobal(series->actionGeometry(ec->menuAction()).topRight()));
  bool ok = Shot(&main, out + "/main-window.png");
  ec->hide();
  series->hide();

  Calculated(main, "mnuprod(2)");
  ok = Shot(&main, out + "/standard-screen-it.png") && ok;

  main.ShowUnitsDialog();
  ok = Shot(main.OpenUnitsDialog(), out + "/units-dialog.png") && ok;
  main.OpenUnitsDialog()->close();

  main.ShowLanguageChooser();
  ok = Shot(main.OpenLanguageChooser(), out + "/language-chooser.png") && ok;
  main.OpenLanguageChooser()->Flag(1)->click();  // English

  Calculated(main, "mnuprod(2)");
  ok = Shot(&main, out + "/standard-screen-en.png") && ok;

  // A stated duty on the same screen: the rows that meet it ticked, the smallest chosen.
  if (vestra::ui::ScreenWindow* miral = main.OpenScreenWindow()) {
    const char* duty[] = {"3000", "2200", "4000", "50"};
    for (int k = 0; k < 4; ++k) {
      QLineEdit* edit = miral->FieldWidget(vestra::screens::Control(Ctl::txtReq, k));
      edit->setFocus();
      edit->setText(QString::fromLatin1(duty[k]));
    }
    miral->ButtonWidget(Ctl::cmdCalcola)->setFocus();
    Settle();
    miral->ButtonWidget(Ctl::cmdCalcola)->click();
    ok = Shot(&main, out + "/duty-screen-en.png") && ok;

    // The report composition dialog for that selection, every section it offers ticked.
    vestra::ui::ReportDialog* dialog = miral->OpenReport();
    dialog->CustomerField()->setText(QStringLiteral("Studio Rossi"));
    dialog->ProjectField()->setText(QStringLiteral("Via Roma 12, Milano"));
    for (int k = 0; k < vestra::report::kSectionCount; ++k)
      if (dialog->SectionBox(k)->isEnabled()) dialog->SectionBox(k)->setChecked(true);
    dialog->NotesField()->setPlainText(QStringLiteral("Offer valid 30 days."));
    ok = Shot(dialog, out + "/report-dialog-en.png") && ok;
    dialog->CancelButton()->click();
  }

  // The ducted units with two accessories and 30 % fresh air at 50 Pa.
  main.Action("mnuprod(4)")->trigger();
  if (vestra::ui::ScreenWindow* kelm = main.OpenScreenWindow()) {
    kelm->CheckWidget(vestra::screens::Control(Ctl::chkAcc, 2))->click();
    kelm->CheckWidget(vestra::screens::Control(Ctl::chkAcc, 5))->click();
    kelm->ScrollWidget(vestra::screens::Control(Ctl::Scrollfreddo))->setValue(30);
    QLineEdit* pressure = kelm->FieldWidget(vestra::screens::Control(Ctl::txtpsu));
    pressure->setFocus();
    pressure->setText(QStringLiteral("50"));
    kelm->ButtonWidget(Ctl::cmdCalcola)->setFocus();
    Settle();
    kelm->ButtonWidget(Ctl::cmdCalcola)->click();
    kelm->ButtonWidget(Ctl::cmdLegend)->click();
    ok = Shot(&main, out + "/ducted-screen-en.png") && ok;
    kelm->ButtonWidget(Ctl::CmdFine)->click();  // the EC screens open beside the others
    Settle();
  }

  // The EC fan coils and the high-efficiency EC units at a required air flow.
  for (const auto& [item, file] : {std::pair{"mnuprods(1)", "/ec-fan-coil-screen-en.png"},
                                   std::pair{"mnuprods(4)", "/umbra-screen-en.png"}}) {
    main.Action(item)->trigger();
    vestra::ui::ScreenWindow* ec = main.OpenScreenWindow();
    if (!ec) continue;
    for (const auto& [field, text] :
         {std::pair{Ctl::txtqatot, "500"}, std::pair{Ctl::txtpsu, "30"}}) {
      QLineEdit* edit = ec->FieldWidget(vestra::screens::Control(field));
      edit->setFocus();
      edit->setText(QString::fromLatin1(text));
    }
    ec->ButtonWidget(Ctl::cmdCalcola)->setFocus();
    Settle();
    ec->ButtonWidget(Ctl::cmdCalcola)->click();
    ec->ButtonWidget(Ctl::cmdLegend)->click();
    ok = Shot(&main, out + file) && ok;
    ec->ButtonWidget(Ctl::CmdFine)->click();
    Settle();
  }

  // The fan curve chart of each EC screen, for its first model, a few steps up from the
  // typed air flow: the main window with the owner and the chart at the screen's right.
  struct ChartShot {
    const char* item;
    const char* flow;
    const char* pressure;
    const char* file;
  };
  for (const ChartShot& c : {ChartShot{"mnuprods(1)", "200", "10", "/chart-ec-fan-coil.png"},
                             ChartShot{"mnuprods(3)", "400", "50", "/chart-ec-ducted.png"},
                             ChartShot{"mnuprods(4)", "250", "20", "/chart-umbra.png"}}) {
    main.Action(c.item)->trigger();
    vestra::ui::ScreenWindow* ec = main.OpenScreenWindow();
    if (!ec) continue;
    ec->ComboWidget(vestra::screens::Control(Ctl::cboModel))->setCurrentIndex(1);
    for (const auto& [field, text] :
         {std::pair{Ctl::txtqatot, c.flow}, std::pair{Ctl::txtpsu, c.pressure}}) {
      QLineEdit* edit = ec->FieldWidget(vestra::screens::Control(field));
      edit->setFocus();
      edit->setText(QString::fromLatin1(text));
    }
    ec->ButtonWidget(Ctl::cmdCalcola)->setFocus();
    Settle();
    ec->ButtonWidget(Ctl::cmdCalcola)->click();
    ec->ButtonWidget(Ctl::cmdGrafico)->click();
    if (vestra::ui::ChartWindow* chart = ec->OpenChartWindow()) {
      for (int i = 0; i < 8; ++i)
        chart->Spinner()->triggerAction(QAbstractSlider::SliderSingleStepSub);
      Settle();
      ok = Shot(main.frameGeometry().united(chart->frameGeometry()), chart, out + c.file) && ok;
      chart->close();
    }
    ec->ButtonWidget(Ctl::CmdFine)->click();
    Settle();
  }

  // For the review of the layout only: German captions, the unit heaters' screen.
  if (qEnvironmentVariableIsSet("VESTRA_SCREENSHOTS_ALL")) {
    main.ShowLanguageChooser();
    main.OpenLanguageChooser()->Flag(3)->click();
    Calculated(main, "mnuprod(0)");
    ok = Shot(&main, out + "/standard-screen-de-torva.png") && ok;
    main.ShowLanguageChooser();
    main.OpenLanguageChooser()->Flag(0)->click();
    Calculated(main, "mnuprod(1)");
    ok = Shot(&main, out + "/q70-screen-it.png") && ok;
    main.ShowInformation();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String("FInfo") && w->isVisible())
        ok = Shot(w, out + "/info-window.png") && ok;
  }
  started.program.reset();
  return ok ? 0 : 1;
}
