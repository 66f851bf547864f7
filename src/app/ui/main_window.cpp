#include "app/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "app/shell.h"
#include "app/ui/clock.h"
#include "app/ui/ec_chooser.h"
#include "app/ui/info_window.h"
#include "app/ui/language_chooser.h"
#include "app/ui/open_document.h"
#include "app/ui/pictures.h"
#include "app/ui/units_dialog.h"
#include "engine/errors.h"
#include "report/table_export.h"
#include "screens/dispatch.h"
#include "screens/duty.h"
#include "screens/ui/screen_window.h"

namespace vestra::ui {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The pictures of the series buttons, by mnuprod index.
const char* SeriesIcon(int menuIndex) {
  static const char* const kIcons[] = {"torva", "q70",   "miral", "veld",  "kelm",
                                       "brisk", "lumo",  "zoph",  "darne", "miralp",
                                       "pelvo", nullptr, "quivo", nullptr};
  return menuIndex >= 0 && menuIndex < 14 ? kIcons[menuIndex] : nullptr;
}

// A screen's results table as the export writes it: the grid's heading rows and rows as
// they show, and when a duty was stated a column of marks and one of margins, which the
// screen shows as ticks and tooltips.
report::ExportTable ResultsTable(const screens::ResultsGrid& grid, const screens::Session& session,
                                 const std::string& sheet) {
  report::ExportTable table;
  table.sheetName = sheet;
  bool marked = false;
  for (const auto& mark : grid.Marks) marked = marked || mark.kind != mark.kNone;
  const char decimal = session.Decimal();
  for (int row = 0; row < grid.RowCount(); ++row) {
    std::vector<std::string> cells;
    for (int col = 0; col < grid.Cols; ++col) cells.push_back(grid.Cell(row, col));
    const screens::ResultsGrid::RowMark* mark = grid.MarkOf(row);
    if (row < grid.FixedRows) {
      if (marked) {
        cells.push_back(row == 0 ? screens::OwnText(session, "Resa richiesta", "Duty") : "");
        cells.push_back(row == 0 ? screens::OwnText(session, "Margini", "Margins") : "");
      }
      table.headings.push_back(std::move(cells));
      continue;
    }
    const auto kind = mark ? mark->kind : screens::ResultsGrid::RowMark::kNone;
    if (marked) {
      cells.push_back(kind == screens::ResultsGrid::RowMark::kChosen
                          ? screens::OwnText(session, "scelta", "chosen")
                      : kind == screens::ResultsGrid::RowMark::kMeets
                          ? screens::OwnText(session, "soddisfa", "meets")
                          : "");
      cells.push_back(mark ? mark->margins : "");
    }
    std::vector<report::TableCell> rowCells;
    for (std::size_t col = 0; col < cells.size(); ++col)
      // The model's name and the speed are names, whatever they look like.
      rowCells.push_back(col == 0 || static_cast<int>(col) >= grid.Cols
                             ? report::TableCell{cells[col], std::nullopt}
                             : report::CellOf(cells[col], decimal));
    table.rows.push_back(std::move(rowCells));
    table.marks.push_back(kind == screens::ResultsGrid::RowMark::kChosen  ? report::RowMark::kChosen
                          : kind == screens::ResultsGrid::RowMark::kMeets ? report::RowMark::kMeets
                                                                          : report::RowMark::kNone);
  }
  return table;
}

std::string Indexed(const char* name, int index) {
  return std::string(name) + "(" + std::to_string(index) + ")";
}

// The selection screens a mnuprod choice closes before it opens its own.
bool IsStandardOrDuctedScreen(const QString& name) {
  return name == QLatin1String("FDatiP") || name == QLatin1String("FDatiPXX");
}

}  // namespace

MainWindow::MainWindow(screens::Session& session, Desktop desktop, QWidget* parent)
    : QMainWindow(parent), session_(session), desktop_(std::move(desktop)) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  setWindowIcon(ProgramIcon());

  mdi_ = new QMdiArea;
  mdi_->setObjectName(QStringLiteral("MDIClient"));
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setBackground(QColor(0x6E, 0x7F, 0x91));
  setCentralWidget(mdi_);

  BuildMenus();
  BuildToolbar();
  BuildStatusLine();

  // The load handler: the status line, then the fluid coefficient tables.
  Tick();
  lblVer_->setText(VersionLine());
  session_.glycol = InitGlycolTables();

  timer1_ = new QTimer(this);
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, [this] { Tick(); });
  timer1_->start();

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize area = screen->availableGeometry().size();
    resize(QSize(1440, 920).boundedTo(area * 0.96));
  }
}

MainWindow::~MainWindow() = default;

// ---- menus and toolbar -------------------------------------------------------------------

QAction* MainWindow::AddAction(QMenu* menu, const std::string& name, const QString& caption,
                               const char* icon) {
  QAction* action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
  action->setObjectName(Q(name));
  if (icon) action->setIcon(ToolbarIcon(icon));
  actions_[name] = action;
  return action;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();

  QMenu* file = bar->addMenu(QString());
  file->setObjectName(QStringLiteral("mnuFile"));
  menus_["mnuFile"] = file;
  connect(AddAction(file, "mnuDefprt", QString(), "printer"), &QAction::triggered, this,
          [this] { ShowPrinterSetup(); });
  connect(AddAction(file, "mnuExport", QString()), &QAction::triggered, this,
          [this] { ExportResults(); });
  connect(file, &QMenu::aboutToShow, this, [this] { UpdateExportAction(); });
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateExportAction(); });
  UpdateExportAction();
  file->addSeparator()->setObjectName(QStringLiteral("mnu2"));
  connect(AddAction(file, "mnufine", QString()), &QAction::triggered, this, [this] { Exit(); });

  connect(AddAction(nullptr, "mnuUnmis", QString()), &QAction::triggered, this,
          [this] { ShowUnitsDialog(); });

  QMenu* series = bar->addMenu(QString());
  series->setObjectName(QStringLiteral("mnuscelta"));
  menus_["mnuscelta"] = series;
  auto addSeries = [this](QMenu* menu, const std::string& name, const QString& fixedCaption,
                          const char* icon, const screens::SeriesTraits* traits, bool ec) {
    QAction* action = AddAction(menu, name, fixedCaption, icon);
    // An item without a series opens nothing.
    const bool offered = traits != nullptr;
    action->setEnabled(offered);
    if (offered)
      connect(action, &QAction::triggered, this, [this, traits, ec] {
        if (ec)
          DispatchEcSeries(*traits);
        else
          DispatchSeries(*traits);
      });
    return action;
  };
  for (int i = 0; i <= 10; ++i)
    addSeries(series, Indexed("mnuprod", i), QString(), SeriesIcon(i), screens::SeriesAtMenu(i),
              false);
  QMenu* bldc = series->addMenu(QStringLiteral("BLDC"));
  bldc->setObjectName(QStringLiteral("mnuprod(11)"));
  bldc->setIcon(ToolbarIcon("bldc"));
  menus_["mnuprod(11)"] = bldc;
  const char* const ecCaptions[] = {"Miral BLDC", "ZOPH BLDC", "KELM BLDC",
                                    "Umbra",      "Pelvo EC",  "TORVA EC"};
  for (int i = 1; i <= 6; ++i)
    addSeries(bldc, Indexed("mnuprods", i), QString::fromLatin1(ecCaptions[i - 1]), nullptr,
              screens::SeriesAtEcMenu(i), true);
  addSeries(series, "mnuprod(12)", QString(), SeriesIcon(12), screens::SeriesAtMenu(12), false);
  addSeries(series, "mnuprod(13)", QStringLiteral("Parete alta NARTE"), nullptr,
            screens::SeriesAtMenu(13), false);

  connect(AddAction(nullptr, "mnulingua", QString()), &QAction::triggered, this,
          [this] { ShowLanguageChooser(); });
  connect(AddAction(nullptr, "mnuDocumentazione", QString()), &QAction::triggered, this,
          [this] { OpenDocumentation(); });

  QMenu* help = bar->addMenu(QStringLiteral("&?"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  menus_["mnuHelp"] = help;
  connect(AddAction(help, "mnuInfooska", QString()), &QAction::triggered, this,
          [this] { ShowInformation(); });
  connect(AddAction(help, "mnuInfo", QString()), &QAction::triggered, this,
          [this] { ShowAbout(); });
}

void MainWindow::BuildToolbar() {
  QToolBar* panel = addToolBar(QStringLiteral("SSPanel1"));
  panel->setObjectName(QStringLiteral("SSPanel1"));
  panel->setMovable(false);
  panel->setFloatable(false);
  panel->setIconSize(QSize(32, 32));
  panel->setContextMenuPolicy(Qt::PreventContextMenu);
  panel->toggleViewAction()->setVisible(false);
  auto add = [&](const std::string& button, const std::string& menuItem) {
    QAction* action = actions_.at(menuItem);
    panel->addAction(action);
    actions_[button] = action;
  };
  // The items of the menu bar itself show their caption there, so their buttons have
  // actions of their own that run the item.
  auto twin = [&](const std::string& button, const std::string& menuItem, const char* icon) {
    QAction* item = actions_.at(menuItem);
    QAction* action = panel->addAction(ToolbarIcon(icon), QString());
    action->setObjectName(Q(button));
    connect(action, &QAction::triggered, item, &QAction::trigger);
    actions_[button] = action;
  };
  add("SSdefprt", "mnuDefprt");
  twin("SSunmis", "mnuUnmis", "units");
  panel->addSeparator();
  for (int i = 0; i <= 10; ++i) add(Indexed("SSprod", i), Indexed("mnuprod", i));
  // The EC series open their chooser.
  QAction* bldc = panel->addAction(ToolbarIcon("bldc"), QStringLiteral("BLDC"));
  bldc->setObjectName(QStringLiteral("SSprodBLDC"));
  connect(bldc, &QAction::triggered, this, [this] { ShowEcChooser(); });
  actions_["SSprodBLDC"] = bldc;
  add("SSprod(12)", "mnuprod(12)");
  panel->addSeparator();
  twin("SSlingua", "mnulingua", "language");
}

void MainWindow::BuildStatusLine() {
  QStatusBar* panel = statusBar();
  panel->setObjectName(QStringLiteral("SSPanel2"));
  panel->setSizeGripEnabled(true);
  lblVer_ = new QLabel;
  lblVer_->setObjectName(QStringLiteral("lblVer"));
  lblOra_ = new QLabel;
  lblOra_->setObjectName(QStringLiteral("lblOra"));
  for (QLabel* label : {lblVer_, lblOra_}) {
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setContentsMargins(6, 0, 6, 0);
  }
  panel->addWidget(lblVer_);
  panel->addPermanentWidget(lblOra_);
}

QAction* MainWindow::Action(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::Menu(const std::string& name) const {
  const auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

// ---- language ----------------------------------------------------------------------------

void MainWindow::Relabel(const MainWindowCaptions& captions) {
  setWindowTitle(Q(captions.caption));
  for (const MenuCaption& item : captions.menus) {
    const std::string name(item.menu);
    if (QMenu* menu = Menu(name))
      menu->setTitle(Q(item.text));
    else if (QAction* action = Action(name))
      action->setText(Q(item.text));
    if (!item.toolbarButton.empty())
      if (QAction* button = Action(std::string(item.toolbarButton))) button->setText(Q(item.text));
  }
  // The export is the program's own item, not in the catalogue's language table.
  if (QAction* exportResults = Action("mnuExport"))
    exportResults->setText(
        Q(screens::OwnText(session_, "&Esporta risultati…", "&Export results…")));
  // The toolbar buttons share their menu items' actions: the tooltip is the caption
  // without its accelerator mark.
  for (const auto& [name, action] : actions_) action->setToolTip(WithoutMnemonic(action->text()));
}

void MainWindow::ApplyLanguage(bool storeChoice) {
  const ApplyLanguageResult result =
      vestra::ApplyLanguage(session_.settings, storeChoice ? session_.settingsFile : nullptr);
  Relabel(result.captions);
  CloseWindowsForLanguage();
  if (!result.saved.ok && desktop_.message)
    desktop_.message(this,
                     QStringLiteral("%1\n%2").arg(
                         QString::fromStdString(result.saved.file.string()), Q(result.saved.error)),
                     screens::Icon::kWarning);
}

void MainWindow::ChooseLanguage(std::int16_t langIndex) {
  if (ScreenBusy()) return;
  session_.settings.LangIndex = langIndex;
  ApplyLanguage();
}

std::vector<std::string> MainWindow::OpenWindowNames() const {
  std::vector<std::string> names;
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (sub->widget() && sub->isVisible())
      names.push_back(sub->widget()->objectName().toStdString());
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible() && w->property("vestraWindow").toBool())
      names.push_back(w->objectName().toStdString());
  return names;
}

void MainWindow::CloseWindowsForLanguage() {
  // Every window but this one and the chooser would keep texts of the old language.
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (!sub->widget() || !KeepsOpenOnLanguageChange(sub->widget()->objectName().toStdString()))
      sub->close();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible() && w->property("vestraWindow").toBool() &&
        !KeepsOpenOnLanguageChange(w->objectName().toStdString()))
      w->close();
}

// ---- series dispatch ---------------------------------------------------------------------

ScreenWindow* MainWindow::OpenScreenWindow() const {
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
  for (auto it = subs.rbegin(); it != subs.rend(); ++it)
    if (auto* window = dynamic_cast<ScreenWindow*>((*it)->widget()); window && !window->IsClosed())
      return window;
  return nullptr;
}

bool MainWindow::ScreenBusy() const {
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (auto* window = dynamic_cast<ScreenWindow*>(sub->widget()); window && window->IsBusy())
      return true;
  return false;
}

void MainWindow::CloseSelectionScreens() {
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
  for (auto it = subs.rbegin(); it != subs.rend(); ++it)
    if ((*it)->widget() && IsStandardOrDuctedScreen((*it)->widget()->objectName())) (*it)->close();
}

void MainWindow::DispatchSeries(const screens::SeriesTraits& traits) {
  if (ScreenBusy()) return;
  // Every series of the standard and ducted screens gets a fresh one, so that its load
  // handler sets up the speed list, the accessories and the legend of that series.
  CloseSelectionScreens();
  screens::PrepareDispatch(session_, traits);
  OpenNewScreen(traits);
}

void MainWindow::DispatchEcSeries(const screens::SeriesTraits& traits) {
  if (ScreenBusy()) return;
  // The EC unit heaters are rated on the standard screen, set up afresh for them.
  if (traits.screen == screens::ScreenKind::kStandard) return DispatchSeries(traits);
  // The EC dispatch closes nothing: an open screen of the series' kind is set up for the
  // series and takes its models.
  screens::PrepareDispatch(session_, traits);
  const QString name = Q(std::string(screens::ScreenName(traits.screen)));
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    auto* window = dynamic_cast<ScreenWindow*>(sub->widget());
    if (!window || window->IsClosed() || window->objectName() != name) continue;
    window->Configure(traits);
    mdi_->setActiveSubWindow(sub);
    LoadModelsOf(window, sub);
    return;
  }
  OpenNewScreen(traits);
}

void MainWindow::OpenNewScreen(const screens::SeriesTraits& traits) {
  ScreenWindow* window = CreateScreenWindow(session_, desktop_, traits);
  if (!window) return;
  window->Configure(traits);
  QMdiSubWindow* sub = mdi_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  const char* icon = SeriesIcon(traits.menu.mnuprod);
  sub->setWindowIcon(ToolbarIcon(icon ? icon : traits.menu.mnuprods >= 0 ? "bldc" : "torva"));
  sub->adjustSize();
  sub->move(0, 0);  // the screen opens at the top left of the main window
  sub->show();
  window->FocusFirstControl();
  LoadModelsOf(window, sub);
}

void MainWindow::LoadModelsOf(ScreenWindow* window, QMdiSubWindow* sub) {
  try {
    window->LoadModels();
  } catch (const RuntimeError& e) {
    sub->close();
    ReportLoaderFault(std::string(e.what()) + " (" + std::to_string(e.number()) + ")");
  }
}

void MainWindow::ShowEcChooser() {
  if (!ecChooser_) {
    ecChooser_ = new EcChooser(
        [this](int i) {
          if (const screens::SeriesTraits* traits = screens::SeriesAtChooser(i))
            DispatchEcSeries(*traits);
        },
        [](int i) { return screens::SeriesAtChooser(i) != nullptr; }, this);
  }
  ecChooser_->show();
  ecChooser_->raise();
  ecChooser_->activateWindow();
}

EcChooser* MainWindow::OpenEcChooser() const {
  return ecChooser_;
}

void MainWindow::ReportLoaderFault(const std::string& message) {
  if (desktop_.message) desktop_.message(this, Q(message), screens::Icon::kError);
}

// ---- the other items ---------------------------------------------------------------------

void MainWindow::Tick() {
  const QDateTime now = desktop_.now ? desktop_.now() : QDateTime::currentDateTime();
  lblOra_->setText(ClockText(now, QLocale()));
}

QString MainWindow::ClockLine() const {
  return lblOra_->text();
}

QString MainWindow::VersionLine() const {
  return Q(vestra::VersionLine(session_.settings.DbVersion));
}

UnitsDialog* MainWindow::OpenUnitsDialog() const {
  return units_;
}
LanguageChooser* MainWindow::OpenLanguageChooser() const {
  return chooser_;
}

void MainWindow::ShowUnitsDialog() {
  if (!units_) {
    units_ = new UnitsDialog(session_.settings, session_.settingsFile, desktop_, this);
    // The open screens read their fields in the new units from now on.
    units_->onUnitsChanged = [this](const Settings& previous) {
      for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (auto* window = dynamic_cast<ScreenWindow*>(sub->widget());
            window && !window->IsClosed())
          window->UnitsChanged(previous);
    };
  }
  units_->show();
  units_->raise();
  units_->activateWindow();
}

void MainWindow::ShowLanguageChooser() {
  if (!chooser_)
    chooser_ = new LanguageChooser(
        session_.settings, [this](std::int16_t index) { ChooseLanguage(index); }, this);
  chooser_->show();
  chooser_->raise();
  chooser_->activateWindow();
}

void MainWindow::ShowInformation() {
  auto* info = new InfoWindow(session_.settings, desktop_, InfoWindow::Role::kInformation, this);
  info->setWindowModality(Qt::ApplicationModal);
  info->show();
}

void MainWindow::ShowAbout() {
  const AboutBoxTexts texts = AboutTexts();
  auto* box = new QMessageBox(this);
  box->setObjectName(QStringLiteral("AboutBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(Q(texts.application));
  box->setIconPixmap(windowIcon().pixmap(QSize(64, 64), devicePixelRatioF()));
  box->setText(Q(texts.application));
  box->setInformativeText(Q(texts.other).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  box->setStandardButtons(QMessageBox::Ok);
  box->setWindowModality(Qt::ApplicationModal);
  box->show();
}

void MainWindow::ShowPrinterSetup() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  QPageSetupDialog dialog(printer_.get(), this);
  dialog.exec();
}

void MainWindow::OpenDocumentation() {
  OpenDocumentOnDesktop(DocumentationAddress(session_.settings.LangBase), "", session_.settings,
                        desktop_, this);
}

// ---- export ------------------------------------------------------------------------------

ScreenWindow* MainWindow::ScreenWithResults() const {
  ScreenWindow* window = nullptr;
  if (QMdiSubWindow* active = mdi_->activeSubWindow())
    window = dynamic_cast<ScreenWindow*>(active->widget());
  if (!window) window = OpenScreenWindow();
  if (!window || window->IsClosed() || window->screen().ModelRowCount() <= 0) return nullptr;
  return window;
}

void MainWindow::UpdateExportAction() {
  if (QAction* action = Action("mnuExport")) action->setEnabled(ScreenWithResults() != nullptr);
}

bool MainWindow::ExportResults(const QString& fileName) {
  ScreenWindow* window = ScreenWithResults();
  if (!window || window->IsBusy()) return false;
  const std::string series = session_.settings.CurrentSeries;
  QString chosen = fileName;
  const QString csvFilter = QStringLiteral("CSV (*.csv)");
  const QString xlsxFilter = QStringLiteral("Excel (*.xlsx)");
  if (chosen.isEmpty()) {
    std::string folder;
    try {
      folder = PrepareReportFolder(session_.settings);
    } catch (const RuntimeError& e) {
      if (desktop_.message) desktop_.message(this, Q(e.what()), screens::Icon::kError);
      return false;
    }
    QString filter = xlsxFilter;
    const QString suggested = QString::fromStdString(
        (std::filesystem::path(folder) / ("Vestra-" + series + ".xlsx")).string());
    chosen = QFileDialog::getSaveFileName(
        this, Q(screens::OwnText(session_, "Esporta risultati", "Export results")), suggested,
        xlsxFilter + QStringLiteral(";;") + csvFilter, &filter);
    if (chosen.isEmpty()) return false;
    // The filter chooses the format; the name gets its extension.
    const QString extension =
        filter == csvFilter ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    if (!chosen.endsWith(extension, Qt::CaseInsensitive)) chosen += extension;
  }
  const bool csv = chosen.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
  if (!csv && !chosen.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
    if (desktop_.message)
      desktop_.message(this,
                       chosen + QStringLiteral(": ") +
                           Q(screens::OwnText(session_, "il formato è .csv o .xlsx",
                                              "the format is .csv or .xlsx")),
                       screens::Icon::kError);
    return false;
  }
  const report::ExportTable table =
      ResultsTable(window->screen().Form().Grd, session_, series.empty() ? "Vestra" : series);
  try {
    const std::filesystem::path path(chosen.toStdString());
    if (csv)
      // A comma-decimal table separates its fields with semicolons, as the spreadsheets of
      // those locales read it.
      report::WriteCsv(table, path, session_.Decimal() == ',' ? ';' : ',');
    else
      report::WriteXlsx(table, path);
  } catch (const report::ExportError& e) {
    if (desktop_.message) desktop_.message(this, Q(e.what()), screens::Icon::kError);
    return false;
  }
  return true;
}

void MainWindow::Exit() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (ScreenBusy()) {
    event->ignore();
    return;
  }
  mdi_->closeAllSubWindows();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible() && w->property("vestraWindow").toBool()) w->close();
  QMainWindow::closeEvent(event);
}

}  // namespace vestra::ui
