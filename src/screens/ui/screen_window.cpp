#include "screens/ui/screen_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "screens/fan_chart.h"
#include "screens/tab_order.h"
#include "screens/ui/chart_window.h"
#include "screens/ui/ducted_window.h"
#include "screens/ui/ec_window.h"
#include "screens/ui/report_dialog.h"
#include "screens/ui/results_grid_view.h"
#include "screens/ui/standard_window.h"

namespace vestra::ui {

using screens::Control;
using screens::ControlRef;
using screens::Ctl;

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Pending events run at most this often while a calculation goes on: enough for the
// window to repaint and the clock to tick, without the event loop slowing the rating.
constexpr qint64 kRepaintIntervalMs = 15;

// The widest number a field of the screen holds, for its width.
constexpr const char* kFieldSample = "00000.000";

}  // namespace

ScreenWindow::ScreenWindow(
    screens::Session& session, Desktop desktop,
    const std::function<std::unique_ptr<screens::SelectionScreen>(screens::ScreenUi&)>& makeScreen,
    QWidget* parent)
    : QWidget(parent), session_(session), desktop_(std::move(desktop)), screen_(makeScreen(*this)) {
  setObjectName(Q(std::string(screen_->Name())));
  setProperty("vestraWindow", true);
  screen_->Form_Load();
}

ScreenWindow::~ScreenWindow() {
  // The chart gives its owner back before the owner's screen goes.
  if (chart_) delete chart_.data();
  disconnect(focusConnection_);
  if (busy_) QApplication::restoreOverrideCursor();
}

void ScreenWindow::Finish() {
  // Tab and Enter walk the controls in one order.
  QWidget* previous = nullptr;
  for (const ControlRef& ref : screen_->TabOrder()) {
    QWidget* w = ControlWidget(ref);
    if (!w) continue;
    if (previous) setTabOrder(previous, w);
    previous = w;
  }
  if (previous && grid_) setTabOrder(previous, grid_);
  fullWidth_ = layout() ? layout()->sizeHint().width() : 0;
  Push();
  focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                             [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

// ---- building and binding --------------------------------------------------------------

void ScreenWindow::Register(QWidget* widget, ControlRef ref) {
  controls_.emplace_back(ref, widget);
  widget->setObjectName(Q(screens::ControlName(ref)));
  widget->installEventFilter(this);
}

QLabel* ScreenWindow::BindLabel(const screens::Label& state, const screens::Panel* frame) {
  auto* label = new QLabel;
  label->setTextFormat(Qt::PlainText);
  labels_.push_back({label, &state, frame});
  return label;
}

QLineEdit* ScreenWindow::BindField(ControlRef ref) {
  auto* edit = new QLineEdit;
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString::fromLatin1(kFieldSample)) +
                      2 * edit->fontMetrics().averageCharWidth());
  fields_.push_back({edit, screen_->Field(ref), ref});
  Register(edit, ref);
  return edit;
}

QCheckBox* ScreenWindow::BindCheck(ControlRef ref) {
  auto* box = new QCheckBox;
  checks_.push_back({box, screen_->Check(ref), ref});
  Register(box, ref);
  connect(box, &QCheckBox::clicked, this,
          [this, ref](bool checked) { OnCheckClicked(ref, checked); });
  return box;
}

QComboBox* ScreenWindow::BindCombo(ControlRef ref) {
  auto* combo = new QComboBox;
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  screens::ComboBox* state = screen_->Combo(ref);
  combos_.push_back({combo, state, ref});
  Register(combo, ref);
  connect(combo, &QComboBox::activated, this, [this, state](int index) {
    if (!Blocked()) state->ListIndex = index;
  });
  return combo;
}

QPushButton* ScreenWindow::BindButton(screens::Button& state, Ctl name) {
  auto* button = new QPushButton;
  buttons_.push_back({button, &state, name});
  Register(button, Control(name));
  return button;
}

QScrollBar* ScreenWindow::BindScroll(ControlRef ref) {
  auto* bar = new QScrollBar(Qt::Vertical);
  screens::ScrollBar* state = screen_->Scroll(ref);
  scrolls_.push_back({bar, state, ref});
  Register(bar, ref);
  connect(bar, &QScrollBar::valueChanged, this, [this, bar, ref, state](int value) {
    if (pushing_) return;
    if (Blocked()) {
      const QSignalBlocker blocker(bar);
      bar->setValue(state->Value);  // the move does not count
      return;
    }
    Handle([this, ref, value] { screen_->ScrollBar_Change(ref, value); });
  });
  return bar;
}

void ScreenWindow::BindPanel(QWidget* widget, const screens::Panel& state) {
  panels_.push_back({widget, &state});
}

QGridLayout* ScreenWindow::PanelGrid(QGroupBox* box) {
  auto* grid = new QGridLayout(box);
  grid->setColumnStretch(3, 1);
  grid->setHorizontalSpacing(8);
  return grid;
}

QLabel* ScreenWindow::UnitLabel(const QString& text) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void ScreenWindow::AddFieldRow(QGridLayout* grid, const screens::Label& caption, ControlRef field,
                               QWidget* unit) {
  const int row = grid->rowCount();
  QLabel* label = BindLabel(caption);
  QLineEdit* edit = BindField(field);
  label->setBuddy(edit);
  grid->addWidget(label, row, 0);
  grid->addWidget(edit, row, 1);
  if (unit) grid->addWidget(unit, row, 2);
}

void ScreenWindow::AddChoiceRow(QGridLayout* grid, const screens::Label& caption,
                                ControlRef combo) {
  const int row = grid->rowCount();
  QLabel* label = BindLabel(caption);
  QComboBox* box = BindCombo(combo);
  label->setBuddy(box);
  grid->addWidget(label, row, 0);
  grid->addWidget(box, row, 1, 1, 3, Qt::AlignLeft);
}

QGroupBox* ScreenWindow::BuildDutyFrame(screens::CommonForm& f) {
  auto* frame = new QGroupBox;
  frame->setObjectName(QStringLiteral("frmDuty"));
  BindPanel(frame, f.frmDuty);
  QGridLayout* duty = PanelGrid(frame);
  for (int k = 0; k < screens::kDutyFields; ++k) {
    const auto i = static_cast<std::size_t>(k);
    AddFieldRow(duty, f.lblReq[i], Control(Ctl::txtReq, k), BindLabel(f.lblumReq[i]));
  }
  return frame;
}

QGroupBox* ScreenWindow::BuildSoundFrame(screens::CommonForm& f) {
  auto* frame = new QGroupBox;
  BindPanel(frame, f.frmPressione);
  QGridLayout* sound = PanelGrid(frame);
  AddFieldRow(sound, f.lblDistanza, Control(Ctl::txtDistanza), nullptr);
  AddChoiceRow(sound, f.lblDirezione, Control(Ctl::cboDirezione));
  return frame;
}

QVBoxLayout* ScreenWindow::BuildButtons(screens::CommonForm& f, screens::Button* chart) {
  auto* column = new QVBoxLayout;
  QPushButton* calcola = BindButton(f.cmdCalcola, Ctl::cmdCalcola);
  QPushButton* grafico = chart ? BindChartButton(*chart) : nullptr;
  QPushButton* stampa = BindButton(f.cmdStampa, Ctl::cmdStampa);
  QPushButton* legend = BindButton(f.cmdLegend, Ctl::cmdLegend);
  QPushButton* fine = BindButton(f.CmdFine, Ctl::CmdFine);
  calcola->setDefault(true);
  for (QPushButton* b : {calcola, grafico, stampa, legend, fine}) {
    if (!b) continue;
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Berechnen")) +
                       4 * b->fontMetrics().averageCharWidth());
    column->addWidget(b, 0, Qt::AlignLeft);
  }
  column->addSpacing(fontMetrics().height() / 2);
  column->addWidget(BuildDutyFrame(f));
  column->addStretch(1);
  connect(calcola, &QPushButton::clicked, this, [this] {
    if (!Blocked()) Handle([this] { screen_->cmdCalcola_Click(); });
  });
  connect(fine, &QPushButton::clicked, this, [this] { OnFine(); });
  connect(stampa, &QPushButton::clicked, this, [this] {
    if (!Blocked()) Guarded([this] { OpenReport(); });
  });
  connect(legend, &QPushButton::clicked, this, [this] {
    if (!Blocked()) Handle([this] { screen_->cmdLegend_Click(); });
  });
  return column;
}

QLayout* ScreenWindow::BuildResults(
    screens::CommonForm& f, const std::function<const screens::Panel*(int pair)>& pairFrame) {
  grid_ = new ResultsGridView;
  Register(grid_, Control(Ctl::Grd));
  grid_->setMinimumHeight(grid_->verticalHeader()->defaultSectionSize() * 8 +
                          3 * grid_->fontMetrics().height());
  grid_->onRowClicked = [this](int row) {
    if (!Blocked()) Handle([this, row] { screen_->Grd_Click(row); });
  };
  grid_->onCopy = [this](int first, int last, int lastCol) {
    if (Blocked()) return;
    Guarded([&] { screen_->Grd_KeyPress(3, first, last, lastCol); });
  };

  panLegend_ = new QFrame;
  panLegend_->setObjectName(QStringLiteral("PanLegend"));
  panLegend_->setFrameShape(QFrame::StyledPanel);
  panLegend_->setAutoFillBackground(true);
  panLegend_->setCursor(Qt::PointingHandCursor);
  panLegend_->installEventFilter(this);
  BindPanel(panLegend_, f.PanLegend);
  auto* legendGrid = new QGridLayout(panLegend_);
  legendGrid->setVerticalSpacing(2);
  for (int i = 0; i < screens::kLegendPairs; ++i) {
    const screens::Panel* frame = pairFrame ? pairFrame(i) : nullptr;
    QLabel* symbol = BindLabel(f.lblLegSim[static_cast<std::size_t>(i)], frame);
    QLabel* description = BindLabel(f.lblLegDes[static_cast<std::size_t>(i)], frame);
    QFont bold = symbol->font();
    bold.setBold(true);
    symbol->setFont(bold);
    for (QLabel* l : {symbol, description}) l->installEventFilter(this);
    legendGrid->addWidget(symbol, i, 0);
    legendGrid->addWidget(description, i, 1);
  }
  legendGrid->setRowStretch(screens::kLegendPairs, 1);

  auto* row = new QHBoxLayout;
  row->addWidget(grid_, 1);
  row->addWidget(panLegend_, 0);
  // What some cells of the table leave out, in one line under it.
  QLabel* note = BindLabel(f.lblNote);
  note->setObjectName(QStringLiteral("lblNote"));
  note->setWordWrap(true);
  // Which rows meet the required duty, and the one chosen, in a line of its own.
  dutyMark_ = new QLabel;
  dutyMark_->setPixmap(DutyMarkPixmap(grid_->fontMetrics().height(), devicePixelRatioF()));
  dutyMark_->hide();
  QLabel* duty = BindLabel(f.lblDuty);
  duty->setObjectName(QStringLiteral("lblDuty"));
  duty->setWordWrap(true);
  auto* dutyRow = new QHBoxLayout;
  dutyRow->addWidget(dutyMark_, 0, Qt::AlignTop);
  dutyRow->addWidget(duty, 1);
  auto* results = new QVBoxLayout;
  results->addLayout(row, 1);
  results->addWidget(note);
  results->addLayout(dutyRow);
  return results;
}

QWidget* ScreenWindow::LegendPanel() const {
  return panLegend_;
}

QSize ScreenWindow::sizeHint() const {
  const QSize hint = QWidget::sizeHint();
  return {std::max(hint.width(), fullWidth_), hint.height()};
}

void ScreenWindow::GrowToFit() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!sub || !sub->mdiArea() || sub->isMaximized() || sub->isMinimized()) return;
  layout()->activate();
  QSize wanted = sub->size().expandedTo(sub->minimumSizeHint());
  // The whole grid in view: every column, and every row while the main window has room.
  const int missingWidth = grid_->ContentWidth() - grid_->width();
  if (missingWidth > 0) wanted.rwidth() = std::max(wanted.width(), sub->width() + missingWidth);
  const int missingHeight = grid_->ContentHeight() - grid_->height();
  if (missingHeight > 0)
    wanted.rheight() = std::max(wanted.height(), sub->height() + missingHeight);
  const QSize room = sub->mdiArea()->viewport()->size() - QSize(sub->x(), sub->y());
  wanted = wanted.boundedTo(room).expandedTo(sub->minimumSizeHint());
  if (wanted != sub->size()) sub->resize(wanted);
}

std::optional<ControlRef> ScreenWindow::ControlOf(const QWidget* widget) const {
  for (const auto& [ref, w] : controls_)
    if (w == widget) return ref;
  return std::nullopt;
}

QWidget* ScreenWindow::ControlWidget(ControlRef control) const {
  for (const auto& [ref, w] : controls_)
    if (ref == control) return w;
  return nullptr;
}

QLineEdit* ScreenWindow::FieldWidget(ControlRef control) const {
  for (const FieldBinding& b : fields_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QComboBox* ScreenWindow::ComboWidget(ControlRef control) const {
  for (const ComboBinding& b : combos_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QCheckBox* ScreenWindow::CheckWidget(ControlRef control) const {
  for (const CheckBinding& b : checks_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QScrollBar* ScreenWindow::ScrollWidget(ControlRef control) const {
  for (const ScrollBinding& b : scrolls_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QPushButton* ScreenWindow::ButtonWidget(Ctl button) const {
  for (const ButtonBinding& b : buttons_)
    if (b.name == button) return b.widget;
  return nullptr;
}

void ScreenWindow::Pull() {
  for (FieldBinding& b : fields_) b.state->Text = b.widget->text().toStdString();
  for (ComboBinding& b : combos_)
    if (b.widget->count() == b.state->ListCount()) b.state->ListIndex = b.widget->currentIndex();
}

void ScreenWindow::Push() {
  const bool wasPushing = pushing_;
  pushing_ = true;
  const screens::CommonForm& f = screen_->Form();
  setWindowTitle(Q(f.Caption));
  OnPush();
  for (const PanelBinding& b : panels_) {
    if (auto* box = qobject_cast<QGroupBox*>(b.widget)) box->setTitle(Q(b.state->Caption));
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  for (const LabelBinding& b : labels_) {
    const QString text = Q(b.state->Caption);
    if (b.widget->text() != text) b.widget->setText(text);
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible && (!b.frame || b.frame->Visible));
  }
  for (const FieldBinding& b : fields_) {
    const QString text = Q(b.state->Text);
    if (b.widget->text() != text) b.widget->setText(text);
    b.widget->setToolTip(Q(b.state->ToolTipText));
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  for (const CheckBinding& b : checks_) {
    b.widget->setText(Q(b.state->Caption));
    b.widget->setChecked(b.state->Value);
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  for (const ComboBinding& b : combos_) {
    QStringList entries;
    for (const std::string& entry : b.state->List) entries << Q(entry);
    QStringList shown;
    for (int i = 0; i < b.widget->count(); ++i) shown << b.widget->itemText(i);
    const QSignalBlocker blocker(b.widget);
    if (shown != entries) {
      b.widget->clear();
      b.widget->addItems(entries);
    }
    b.widget->setCurrentIndex(b.state->ListIndex);
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  for (const ScrollBinding& b : scrolls_) {
    const QSignalBlocker blocker(b.widget);
    b.widget->setRange(b.state->Min, b.state->Max);
    b.widget->setValue(b.state->Value);
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  for (const ButtonBinding& b : buttons_) {
    b.widget->setText(Q(b.state->Caption));
    b.widget->setToolTip(Q(b.state->ToolTipText));
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  if (grid_) {
    grid_->Show(f.Grd);
    shownGridRows_ = f.Grd.RowCount();
    bool marked = false;
    for (const screens::ResultsGrid::RowMark& m : f.Grd.Marks)
      marked = marked || m.kind != screens::ResultsGrid::RowMark::kNone;
    dutyMark_->setVisible(marked && f.lblDuty.Visible);
    if (pendingGridRow_) {
      grid_->SelectGridRow(*pendingGridRow_);
      pendingGridRow_.reset();
    }
  }
  GrowToFit();
  pushing_ = wasPushing;
}

void ScreenWindow::Configure(const screens::SeriesTraits& traits) {
  screen_->Configure(traits);
  Push();
}

void ScreenWindow::LoadModels() {
  SetBusy(true);
  try {
    screen_->LoadModels([this] { ProcessPendingEvents(); });
  } catch (...) {
    SetBusy(false);
    Push();
    throw;
  }
  SetBusy(false);
  Push();
}

void ScreenWindow::RunOnScreen(const std::function<void(screens::SelectionScreen&)>& work) {
  Handle([&] { work(*screen_); });
}

QPushButton* ScreenWindow::BindChartButton(screens::Button& state) {
  QPushButton* button = BindButton(state, Ctl::cmdGrafico);
  connect(button, &QPushButton::clicked, this, [this] {
    if (!Blocked()) OpenChart();
  });
  return button;
}

ReportDialog* ScreenWindow::OpenReport() {
  if (!report_) {
    report_ = new ReportDialog(session_, desktop_, *screen_, this);
  } else {
    report_->Activate();
  }
  report_->setWindowModality(Qt::WindowModal);
  report_->show();
  report_->raise();
  report_->activateWindow();
  return report_;
}

void ScreenWindow::OpenChart() {
  if (chart_) {
    chart_->raise();
    chart_->activateWindow();
    return;
  }
  Pull();
  std::variant<screens::ScreenMessage, screens::FanChart> opened;
  Guarded([&] {
    std::variant<screens::FanChart, screens::ScreenMessage> chart =
        screens::FanChart::Open(*screen_, session_);
    if (auto* message = std::get_if<screens::ScreenMessage>(&chart))
      opened = std::move(*message);
    else
      opened = std::get<screens::FanChart>(std::move(chart));
  });
  if (const auto* message = std::get_if<screens::ScreenMessage>(&opened)) {
    if (!message->text.empty()) ShowMessage(message->text, message->icon);
    if (message->focus) SetFocus(*message->focus);
    return;
  }
  Push();
  chart_ = new ChartWindow(*this, std::get<screens::FanChart>(std::move(opened)), this);
  chart_->show();
}

ChartWindow* ScreenWindow::OpenChartWindow() const {
  return chart_;
}

void ScreenWindow::CloseChart(ChartWindow& chart) {
  // The chart gives the owner back its air flow and its steps.
  screens::FanChart copy = chart.chart();
  copy.Close(*screen_);
  Push();
}

void ScreenWindow::UnitsChanged(const Settings& previous) {
  Handle([&] { screen_->UnitsChanged(previous); });
}

void ScreenWindow::Handle(const std::function<void()>& handler) {
  Pull();
  Guarded(handler);
  Push();
}

void ScreenWindow::Guarded(const std::function<void()>& work) {
  // No fault of a handler ends the program or leaves the window half updated: it is told
  // as a screen tells a run-time error, and the user goes on.
  std::string message;
  try {
    work();
    return;
  } catch (const RuntimeError& e) {
    message = screens::GenericErrorMessage(e.number()).text;
  } catch (const std::exception& e) {
    message = e.what();
  }
  ShowMessage(message, screens::Icon::kWarning);
}

// ---- focus, keys and the deferred messages of the leave-field rules --------------------

bool ScreenWindow::Blocked() const {
  return busy_ || messageUp_ || deliveryScheduled_ || closing_;
}

void ScreenWindow::OnFocusChanged(QWidget* now) {
  if (closing_) return;
  const std::optional<ControlRef> arriving = ControlOf(now);
  // Focus that goes to another window is not a leave: the field is left when the focus
  // comes back to another control of this screen.
  if (!arriving) return;
  if (pushing_ || messageUp_) {
    current_ = *arriving;
    return;
  }
  if (*arriving == current_) return;
  const ControlRef left = current_;
  current_ = *arriving;
  if (left.name != Ctl::kNone) {
    // What a rule shows or where it puts the focus waits until this focus change is
    // over: a message box must not open while a mouse press is being delivered.
    collecting_ = true;
    Pull();
    Guarded([&] { screen_->LostFocus(left, *arriving); });
    collecting_ = false;
    Push();
  }
  Guarded([&] { screen_->GotFocus(*arriving); });
  SelectAllDeferred(*arriving);
  if (!queued_.empty() || pendingFocus_) ScheduleDelivery();
}

void ScreenWindow::ApplySelection(ControlRef ref) {
  QLineEdit* edit = FieldWidget(ref);
  const screens::TextBox* state = screen_->Field(ref);
  if (!edit || !state || !edit->hasFocus()) return;
  const int length = static_cast<int>(edit->text().size());
  const int start = std::min(state->SelStart, length);
  edit->setSelection(start, std::min(state->SelLength, length - start));
}

void ScreenWindow::SelectAllDeferred(ControlRef ref) {
  ApplySelection(ref);
  // A click into a field places the caret after the focus arrived; select again after it.
  QTimer::singleShot(0, this, [this, ref] { ApplySelection(ref); });
}

void ScreenWindow::ScheduleDelivery() {
  if (deliveryScheduled_) return;
  deliveryScheduled_ = true;
  QMetaObject::invokeMethod(
      this, [this] { Deliver(); }, Qt::QueuedConnection);
}

void ScreenWindow::Deliver() {
  if (closing_) return;  // a new series or Fine closed the screen meanwhile
  const std::vector<Message> messages = std::move(queued_);
  queued_.clear();
  const std::optional<ControlRef> focus = pendingFocus_;
  pendingFocus_.reset();
  for (const Message& m : messages) Present(m.text, m.icon);
  if (focus) ApplyFocus(*focus);
  deliveryScheduled_ = false;
}

void ScreenWindow::Present(const std::string& text, screens::Icon icon) {
  messageUp_ = true;
  if (desktop_.message) desktop_.message(this, Q(text), icon);
  messageUp_ = false;
}

void ScreenWindow::ApplyFocus(ControlRef ref) {
  QWidget* widget = ControlWidget(ref);
  if (!widget) return;
  current_ = ref;
  widget->setFocus(Qt::OtherFocusReason);
  Guarded([&] { screen_->GotFocus(ref); });
  SelectAllDeferred(ref);
}

bool ScreenWindow::Reachable(ControlRef control) const {
  QWidget* w = ControlWidget(control);
  return w && screen_->IsUsable(control) && w->isVisibleTo(this) && w->isEnabledTo(this);
}

void ScreenWindow::MoveToNext(ControlRef from) {
  const ControlRef next = screens::NextInTabOrder(screen_->TabOrder(), from,
                                                  [this](ControlRef c) { return Reachable(c); });
  if (QWidget* w = ControlWidget(next); w && Reachable(next)) w->setFocus(Qt::TabFocusReason);
}

void ScreenWindow::FocusFirstControl() {
  MoveToNext(Control(Ctl::kNone));
}

bool ScreenWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::MouseButtonRelease && widget &&
      (widget == panLegend_ || widget->parentWidget() == panLegend_)) {
    if (!Blocked()) Handle([this] { screen_->PanLegend_Click(); });
    return true;
  }
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const std::optional<ControlRef> ref = ControlOf(widget);
  if (!ref) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    if (Blocked()) return true;
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      // A button answers Enter as a click.
      button->click();
      return true;
    }
    if (screen_->Form_KeyPress('\r').sendTab) MoveToNext(*ref);
    return true;
  }
  const QString text = key->text();
  if (text.size() == 1 && (text[0] == QLatin1Char('.') || text[0] == QLatin1Char(','))) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      const char typed = text[0].toLatin1();
      const char replaced = screen_->Form_KeyPress(typed).key;
      if (replaced != typed) {
        edit->insert(QString(QLatin1Char(replaced)));
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- buttons and boxes -----------------------------------------------------------------

void ScreenWindow::OnFine() {
  if (busy_ || messageUp_) return;
  CloseScreen();
}

void ScreenWindow::OnCheckClicked(ControlRef ref, bool checked) {
  if (Blocked()) {
    Push();  // the click does not count: show the box as it was
    return;
  }
  Handle([this, ref, checked] { screen_->CheckBox_Click(ref, checked); });
}

void ScreenWindow::CloseScreen() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
    sub->close();
  else
    close();
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
  // The calculation or loader running in this window must finish first.
  if (busy_) {
    event->ignore();
    return;
  }
  closing_ = true;
  disconnect(focusConnection_);
  if (chart_) chart_->close();
  QWidget::closeEvent(event);
}

// ---- screens::ScreenUi -------------------------------------------------------------------

void ScreenWindow::ShowMessage(const std::string& text, screens::Icon icon) {
  if (collecting_) {
    queued_.push_back({text, icon});
    return;
  }
  // What the calculation wrote is on show behind its message.
  Push();
  Present(text, icon);
}

void ScreenWindow::SetFocus(ControlRef control) {
  if (collecting_) {
    pendingFocus_ = control;
    return;
  }
  Push();
  ApplyFocus(control);
}

void ScreenWindow::SetClipboardText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(Q(text));
}

void ScreenWindow::ProcessPendingEvents() {
  if (sincePendingEvents_.isValid() && sincePendingEvents_.elapsed() < kRepaintIntervalMs) return;
  sincePendingEvents_.start();
  if (grid_ && screen_->Form().Grd.RowCount() != shownGridRows_) {
    grid_->Show(screen_->Form().Grd);
    shownGridRows_ = screen_->Form().Grd.RowCount();
  }
  // Only repaints and timers: the user's clicks and keys wait until the work is done, so
  // nothing the user starts can run inside it.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ScreenWindow::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    sincePendingEvents_.invalidate();
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void ScreenWindow::Refresh() {
  Push();
  repaint();
}

void ScreenWindow::SelectGridRow(int row) {
  pendingGridRow_ = row;
  if (!collecting_) Push();
}

ScreenWindow* CreateScreenWindow(screens::Session& session, Desktop desktop,
                                 const screens::SeriesTraits& traits, QWidget* parent) {
  switch (traits.screen) {
    case screens::ScreenKind::kStandard:
      return new StandardWindow(session, std::move(desktop), traits, parent);
    case screens::ScreenKind::kDucted:
    case screens::ScreenKind::kEcDucted:
      return new DuctedWindow(session, std::move(desktop), traits, parent);
    case screens::ScreenKind::kEcFanCoil:
    case screens::ScreenKind::kHighEfficiencyEc:
      return new EcWindow(session, std::move(desktop), traits, parent);
  }
  return nullptr;
}

}  // namespace vestra::ui
