#include "screens/ui/standard_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
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
#include <QTimer>
#include <QVBoxLayout>

#include "screens/tab_order.h"
#include "screens/ui/results_grid_view.h"

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

QLabel* UnitLabel(const QString& text) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

StandardWindow::StandardWindow(screens::Session& session, Desktop desktop, QWidget* parent)
    : QWidget(parent),
      session_(session),
      desktop_(std::move(desktop)),
      screen_(std::make_unique<screens::StandardScreen>(session, *this)) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  screen_->Form_Load();
  Build();
  Push();
  focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                             [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

StandardWindow::~StandardWindow() {
  disconnect(focusConnection_);
  if (busy_) QApplication::restoreOverrideCursor();
}

// ---- building and binding --------------------------------------------------------------

void StandardWindow::Register(QWidget* widget, ControlRef ref) {
  controls_.emplace_back(ref, widget);
  widget->setObjectName(Q(screens::ControlName(ref)));
  widget->installEventFilter(this);
}

QLabel* StandardWindow::BindLabel(const screens::Label& state, const screens::Panel* frame) {
  auto* label = new QLabel;
  label->setTextFormat(Qt::PlainText);
  labels_.push_back({label, &state, frame});
  return label;
}

QLineEdit* StandardWindow::BindField(ControlRef ref) {
  auto* edit = new QLineEdit;
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString::fromLatin1(kFieldSample)) +
                      2 * edit->fontMetrics().averageCharWidth());
  fields_.push_back({edit, screen_->Field(ref), ref});
  Register(edit, ref);
  return edit;
}

QCheckBox* StandardWindow::BindCheck(ControlRef ref) {
  auto* box = new QCheckBox;
  checks_.push_back({box, screen_->Check(ref), ref});
  Register(box, ref);
  connect(box, &QCheckBox::clicked, this,
          [this, ref](bool checked) { OnCheckClicked(ref, checked); });
  return box;
}

QComboBox* StandardWindow::BindCombo(ControlRef ref) {
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

QPushButton* StandardWindow::BindButton(screens::Button& state, Ctl name) {
  auto* button = new QPushButton;
  buttons_.push_back({button, &state, name});
  Register(button, Control(name));
  return button;
}

void StandardWindow::Build() {
  screens::StandardForm& f = screen_->form;
  const QString degrees = QStringLiteral("°C");

  // A row of a panel: caption, field, unit.
  auto addRow = [&](QGridLayout* grid, const screens::Label& caption, ControlRef field,
                    QWidget* unit) {
    const int row = grid->rowCount();
    QLabel* label = BindLabel(caption);
    QLineEdit* edit = BindField(field);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    if (unit) grid->addWidget(unit, row, 2);
  };
  auto panelGrid = [](QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(8);
    return grid;
  };

  // Cooling conditions.
  pnlFreddo_ = new QGroupBox;
  pnlFreddo_->setObjectName(QStringLiteral("pnlFreddo"));
  panels_.push_back({pnlFreddo_, &f.pnlFreddo});
  QGridLayout* cooling = panelGrid(pnlFreddo_);
  addRow(cooling, f.lblTbs[0], Control(Ctl::txtTsa1, 0), BindLabel(f.lblumTsa1[0]));
  // The wet bulb and the leaving water are temperatures too.
  addRow(cooling, f.lbltbu, Control(Ctl::txtTbu), UnitLabel(degrees));
  addRow(cooling, f.lblUR, Control(Ctl::txtUr), BindLabel(f.lblumUR));
  addRow(cooling, f.lblTw1[0], Control(Ctl::txtTw1, 0), BindLabel(f.lblumTw1[0]));
  addRow(cooling, f.lblTw2[0], Control(Ctl::txtTw2, 0), UnitLabel(degrees));
  addRow(cooling, f.lblQw[0], Control(Ctl::txtQw, 0), BindLabel(f.lblumQw[0]));
  cooling->setRowStretch(cooling->rowCount(), 1);

  // Heating conditions.
  pnlCaldo_ = new QGroupBox;
  pnlCaldo_->setObjectName(QStringLiteral("pnlCaldo"));
  panels_.push_back({pnlCaldo_, &f.pnlCaldo});
  QGridLayout* heating = panelGrid(pnlCaldo_);
  addRow(heating, f.lblTbs[1], Control(Ctl::txtTsa1, 1), BindLabel(f.lblumTsa1[1]));
  addRow(heating, f.lblTw1[1], Control(Ctl::txtTw1, 1), BindLabel(f.lblumTw1[1]));
  addRow(heating, f.lblTw2[1], Control(Ctl::txtTw2, 1), UnitLabel(degrees));
  addRow(heating, f.lblQw[1], Control(Ctl::txtQw, 1), BindLabel(f.lblumQw[1]));
  heating->addWidget(BindCheck(Control(Ctl::chkComeFreddo)), heating->rowCount(), 1, 1, 3);
  heating->setRowStretch(heating->rowCount(), 1);

  // The conditions both duties share, the speed and the model.
  auto* common = new QGroupBox;
  QGridLayout* shared = panelGrid(common);
  addRow(shared, f.lblglic, Control(Ctl::txtGlic), BindLabel(f.lblumGlic));
  addRow(shared, f.lblPsu, Control(Ctl::txtpsu), BindLabel(f.lblumDpa));
  auto addChoice = [&](const screens::Label& caption, ControlRef ref) {
    const int row = shared->rowCount();
    QLabel* label = BindLabel(caption);
    QComboBox* combo = BindCombo(ref);
    label->setBuddy(combo);
    shared->addWidget(label, row, 0);
    shared->addWidget(combo, row, 1, 1, 3, Qt::AlignLeft);
  };
  addChoice(f.lblVel, Control(Ctl::cboVel));
  addChoice(f.lblModello, Control(Ctl::cboModel));
  shared->addWidget(BindCheck(Control(Ctl::chkHX)), shared->rowCount(), 0, 1, 4);
  shared->addWidget(BindCheck(Control(Ctl::chkFlap)), shared->rowCount(), 0, 1, 4);

  // Sound pressure at the listening distance.
  frmPressione_ = new QGroupBox;
  panels_.push_back({frmPressione_, &f.frmPressione});
  QGridLayout* sound = panelGrid(frmPressione_);
  addRow(sound, f.lblDistanza, Control(Ctl::txtDistanza), nullptr);
  {
    const int row = sound->rowCount();
    QLabel* label = BindLabel(f.lblDirezione);
    QComboBox* combo = BindCombo(Control(Ctl::cboDirezione));
    label->setBuddy(combo);
    sound->addWidget(label, row, 0);
    sound->addWidget(combo, row, 1, Qt::AlignLeft);
  }

  auto* commonColumn = new QVBoxLayout;
  commonColumn->addWidget(common);
  commonColumn->addWidget(frmPressione_);
  commonColumn->addStretch(1);

  // Buttons.
  auto* buttonColumn = new QVBoxLayout;
  QPushButton* calcola = BindButton(f.cmdCalcola, Ctl::cmdCalcola);
  QPushButton* stampa = BindButton(f.cmdStampa, Ctl::cmdStampa);
  QPushButton* legend = BindButton(f.cmdLegend, Ctl::cmdLegend);
  QPushButton* fine = BindButton(f.CmdFine, Ctl::CmdFine);
  calcola->setDefault(true);
  for (QPushButton* b : {calcola, stampa, legend, fine}) {
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Berechnen")) +
                       4 * b->fontMetrics().averageCharWidth());
    buttonColumn->addWidget(b);
  }
  buttonColumn->addStretch(1);
  connect(calcola, &QPushButton::clicked, this, [this] { OnCalcola(); });
  connect(fine, &QPushButton::clicked, this, [this] { OnFine(); });
  connect(legend, &QPushButton::clicked, this, [this] { OnLegend(); });

  // The results grid and, beside it, the legend.
  grid_ = new ResultsGridView;
  Register(grid_, Control(Ctl::Grd));
  grid_->setMinimumHeight(grid_->verticalHeader()->defaultSectionSize() * 8 +
                          3 * grid_->fontMetrics().height());
  grid_->onRowClicked = [this](int row) {
    if (Blocked()) return;
    Pull();
    screen_->Grd_Click(row);
    Push();
  };
  grid_->onCopy = [this](int first, int last, int lastCol) {
    if (Blocked()) return;
    screen_->Grd_KeyPress(3, first, last, lastCol);
  };

  panLegend_ = new QFrame;
  panLegend_->setObjectName(QStringLiteral("PanLegend"));
  panLegend_->setFrameShape(QFrame::StyledPanel);
  panLegend_->setAutoFillBackground(true);
  panLegend_->setCursor(Qt::PointingHandCursor);
  panLegend_->installEventFilter(this);
  panels_.push_back({panLegend_, &f.PanLegend});
  auto* legendGrid = new QGridLayout(panLegend_);
  legendGrid->setVerticalSpacing(2);
  for (int i = 0; i < screens::kLegendPairs; ++i) {
    // The mounting height and throw pairs sit in the unit heaters' frame.
    const screens::Panel* frame = (i == 14 || i == 15) ? &f.frmTorva : nullptr;
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

  auto* resultsRow = new QHBoxLayout;
  resultsRow->addWidget(grid_, 1);
  resultsRow->addWidget(panLegend_, 0);

  panelRow_ = new QHBoxLayout;
  panelRow_->addWidget(pnlFreddo_);
  panelRow_->addWidget(pnlCaldo_);
  panelRow_->addLayout(commonColumn);
  panelRow_->addLayout(buttonColumn);
  panelRow_->addStretch(1);

  topDock_ = new QVBoxLayout;
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(topDock_);
  layout->addLayout(panelRow_);
  layout->addLayout(resultsRow, 1);

  // Tab and Enter walk the controls in one order.
  const auto order = screens::StandardTabOrder();
  QWidget* previous = nullptr;
  for (const ControlRef& ref : order) {
    QWidget* w = ControlWidget(ref);
    if (!w) continue;
    if (previous) setTabOrder(previous, w);
    previous = w;
  }
  if (previous) setTabOrder(previous, grid_);
  fullWidth_ = layout->sizeHint().width();
}

QSize StandardWindow::sizeHint() const {
  const QSize hint = QWidget::sizeHint();
  return {std::max(hint.width(), fullWidth_), hint.height()};
}

void StandardWindow::GrowToFit() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!sub || !sub->mdiArea() || sub->isMaximized() || sub->isMinimized()) return;
  layout()->activate();
  QSize wanted = sub->size().expandedTo(sub->minimumSizeHint());
  const int missing = grid_->ContentWidth() - grid_->width();
  if (missing > 0) wanted.rwidth() = std::max(wanted.width(), sub->width() + missing);
  const QSize room = sub->mdiArea()->viewport()->size() - QSize(sub->x(), sub->y());
  wanted = wanted.boundedTo(room).expandedTo(sub->minimumSizeHint());
  if (wanted != sub->size()) sub->resize(wanted);
}

std::optional<ControlRef> StandardWindow::ControlOf(const QWidget* widget) const {
  for (const auto& [ref, w] : controls_)
    if (w == widget) return ref;
  return std::nullopt;
}

QWidget* StandardWindow::ControlWidget(ControlRef control) const {
  for (const auto& [ref, w] : controls_)
    if (ref == control) return w;
  return nullptr;
}

QLineEdit* StandardWindow::FieldWidget(ControlRef control) const {
  for (const FieldBinding& b : fields_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QComboBox* StandardWindow::ComboWidget(ControlRef control) const {
  for (const ComboBinding& b : combos_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QCheckBox* StandardWindow::CheckWidget(ControlRef control) const {
  for (const CheckBinding& b : checks_)
    if (b.ref == control) return b.widget;
  return nullptr;
}

QPushButton* StandardWindow::ButtonWidget(Ctl button) const {
  for (const ButtonBinding& b : buttons_)
    if (b.name == button) return b.widget;
  return nullptr;
}

QWidget* StandardWindow::CoolingPanel() const {
  return pnlFreddo_;
}
QWidget* StandardWindow::HeatingPanel() const {
  return pnlCaldo_;
}
QWidget* StandardWindow::LegendPanel() const {
  return panLegend_;
}

void StandardWindow::Pull() {
  for (FieldBinding& b : fields_) b.state->Text = b.widget->text().toStdString();
  for (ComboBinding& b : combos_)
    if (b.widget->count() == b.state->ListCount()) b.state->ListIndex = b.widget->currentIndex();
}

void StandardWindow::Push() {
  const bool wasPushing = pushing_;
  pushing_ = true;
  const screens::StandardForm& f = screen_->form;
  setWindowTitle(Q(f.Caption));
  DockHeatingPanel(f.pnlCaldo.AlignTop);
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
  for (const ButtonBinding& b : buttons_) {
    b.widget->setText(Q(b.state->Caption));
    b.widget->setToolTip(Q(b.state->ToolTipText));
    b.widget->setEnabled(b.state->Enabled);
    b.widget->setVisible(b.state->Visible);
  }
  grid_->Show(f.Grd);
  shownGridRows_ = f.Grd.RowCount();
  GrowToFit();
  pushing_ = wasPushing;
}

void StandardWindow::DockHeatingPanel(bool top) {
  if (top == heatingDocked_) return;
  heatingDocked_ = top;
  if (top) {
    panelRow_->removeWidget(pnlCaldo_);
    topDock_->addWidget(pnlCaldo_);
  } else {
    topDock_->removeWidget(pnlCaldo_);
    panelRow_->insertWidget(1, pnlCaldo_);
  }
}

void StandardWindow::Configure(const screens::StandardSeriesConfig& config) {
  screens::ConfigureStandardScreen(*screen_, config, session_);
  Push();
}

void StandardWindow::LoadModels(const screens::StandardSeriesConfig& config) {
  SetBusy(true);
  try {
    screens::LoadStandardModels(*screen_, config, session_, [this] { ProcessPendingEvents(); });
  } catch (...) {
    SetBusy(false);
    Push();
    throw;
  }
  SetBusy(false);
  Push();
}

// ---- focus, keys and the deferred messages of the leave-field rules --------------------

bool StandardWindow::Blocked() const {
  return busy_ || messageUp_ || deliveryScheduled_ || closing_;
}

void StandardWindow::OnFocusChanged(QWidget* now) {
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
    screen_->LostFocus(left, *arriving);
    collecting_ = false;
    Push();
  }
  screen_->GotFocus(*arriving);
  SelectAllDeferred(*arriving);
  if (!queued_.empty() || pendingFocus_) ScheduleDelivery();
}

void StandardWindow::ApplySelection(ControlRef ref) {
  QLineEdit* edit = FieldWidget(ref);
  const screens::TextBox* state = screen_->Field(ref);
  if (!edit || !state || !edit->hasFocus()) return;
  const int length = static_cast<int>(edit->text().size());
  const int start = std::min(state->SelStart, length);
  edit->setSelection(start, std::min(state->SelLength, length - start));
}

void StandardWindow::SelectAllDeferred(ControlRef ref) {
  ApplySelection(ref);
  // A click into a field places the caret after the focus arrived; select again after it.
  QTimer::singleShot(0, this, [this, ref] { ApplySelection(ref); });
}

void StandardWindow::ScheduleDelivery() {
  if (deliveryScheduled_) return;
  deliveryScheduled_ = true;
  QMetaObject::invokeMethod(
      this, [this] { Deliver(); }, Qt::QueuedConnection);
}

void StandardWindow::Deliver() {
  if (closing_) return;  // a new series or Fine closed the screen meanwhile
  const std::vector<Message> messages = std::move(queued_);
  queued_.clear();
  const std::optional<ControlRef> focus = pendingFocus_;
  pendingFocus_.reset();
  for (const Message& m : messages) Present(m.text, m.icon);
  if (focus) ApplyFocus(*focus);
  deliveryScheduled_ = false;
}

void StandardWindow::Present(const std::string& text, screens::Icon icon) {
  messageUp_ = true;
  if (desktop_.message) desktop_.message(this, Q(text), icon);
  messageUp_ = false;
}

void StandardWindow::ApplyFocus(ControlRef ref) {
  QWidget* widget = ControlWidget(ref);
  if (!widget) return;
  current_ = ref;
  widget->setFocus(Qt::OtherFocusReason);
  screen_->GotFocus(ref);
  SelectAllDeferred(ref);
}

bool StandardWindow::Reachable(ControlRef control) const {
  QWidget* w = ControlWidget(control);
  return w && screen_->IsUsable(control) && w->isVisibleTo(this) && w->isEnabledTo(this);
}

void StandardWindow::MoveToNext(ControlRef from) {
  const ControlRef next = screens::NextInTabOrder(screens::StandardTabOrder(), from,
                                                  [this](ControlRef c) { return Reachable(c); });
  if (QWidget* w = ControlWidget(next); w && Reachable(next)) w->setFocus(Qt::TabFocusReason);
}

void StandardWindow::FocusFirstControl() {
  MoveToNext(Control(Ctl::kNone));
}

bool StandardWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::MouseButtonRelease && widget &&
      (widget == panLegend_ || widget->parentWidget() == panLegend_)) {
    if (!Blocked()) {
      screen_->PanLegend_Click();
      Push();
    }
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

void StandardWindow::OnCalcola() {
  if (Blocked()) return;
  Pull();
  screen_->cmdCalcola_Click();
  Push();
}

void StandardWindow::OnFine() {
  if (busy_ || messageUp_) return;
  CloseScreen();
}

void StandardWindow::OnLegend() {
  if (Blocked()) return;
  Pull();
  screen_->cmdLegend_Click();
  Push();
}

void StandardWindow::OnCheckClicked(ControlRef ref, bool checked) {
  if (Blocked()) {
    Push();  // the click does not count: show the box as it was
    return;
  }
  Pull();
  screen_->CheckBox_Click(ref, checked);
  Push();
}

void StandardWindow::CloseScreen() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
    sub->close();
  else
    close();
}

void StandardWindow::closeEvent(QCloseEvent* event) {
  // The calculation or loader running in this window must finish first.
  if (busy_) {
    event->ignore();
    return;
  }
  closing_ = true;
  disconnect(focusConnection_);
  QWidget::closeEvent(event);
}

// ---- screens::ScreenUi -------------------------------------------------------------------

void StandardWindow::ShowMessage(const std::string& text, screens::Icon icon) {
  if (collecting_) {
    queued_.push_back({text, icon});
    return;
  }
  Present(text, icon);
}

void StandardWindow::SetFocus(ControlRef control) {
  if (collecting_) {
    pendingFocus_ = control;
    return;
  }
  Push();
  ApplyFocus(control);
}

void StandardWindow::SetClipboardText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(Q(text));
}

void StandardWindow::ProcessPendingEvents() {
  if (sincePendingEvents_.isValid() && sincePendingEvents_.elapsed() < kRepaintIntervalMs) return;
  sincePendingEvents_.start();
  if (screen_->form.Grd.RowCount() != shownGridRows_) {
    grid_->Show(screen_->form.Grd);
    shownGridRows_ = screen_->form.Grd.RowCount();
  }
  // Only repaints and timers: the user's clicks and keys wait until the work is done, so
  // nothing the user starts can run inside it.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StandardWindow::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    sincePendingEvents_.invalidate();
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void StandardWindow::Refresh() {
  Push();
  repaint();
}

}  // namespace vestra::ui
