#pragma once

// The main window Fmenu: a multiple-document window whose menus and toolbar choose a
// product series, the units, the language, the printer, the documentation and the
// information window, and whose status line shows the data version and a running clock.

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/language.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/ui/desktop.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QTimer;

namespace vestra::ui {

class EcChooser;
class LanguageChooser;
class ScreenWindow;
class UnitsDialog;

class MainWindow : public QMainWindow {
 public:
  static constexpr const char* kName = "Fmenu";

  // The load handler runs here: the status line and the fluid coefficient tables.
  MainWindow(screens::Session& session, Desktop desktop, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Applies session.settings.LangIndex: the language base, every caption of the window
  // and its toolbar, every other window closed but the language chooser, the choice
  // kept in the settings file when storeChoice (a choice of the user; start-up applies
  // the language read from the file and writes nothing).
  void ApplyLanguage(bool storeChoice = true);

  // The menu items and toolbar buttons by their names ("mnuprod(2)", "mnuprods(6)",
  // "mnuUnmis", "SSprodBLDC" ...); nullptr for an unknown name. A toolbar button and its
  // menu item share one action.
  QAction* Action(const std::string& name) const;
  QMenu* Menu(const std::string& name) const;

  // The series dispatch: an open standard or ducted screen closed first, CurrentSeries
  // and ReTransMode set, the series' screen created, set up, captioned and shown, then
  // its models loaded.
  void DispatchSeries(const screens::SeriesTraits& traits);
  // The EC series dispatch (the EC submenu and the EC chooser): it closes nothing and sets
  // up an open screen of the series' kind, creating one only when none is open.
  void DispatchEcSeries(const screens::SeriesTraits& traits);

  // The selection screen's window open last, if any.
  ScreenWindow* OpenScreenWindow() const;
  QMdiArea* MdiArea() const { return mdi_; }
  UnitsDialog* OpenUnitsDialog() const;
  LanguageChooser* OpenLanguageChooser() const;

  // The windows open besides this one, by name ("FDatiP", "Funmis", "Flingua", "FInfo").
  std::vector<std::string> OpenWindowNames() const;

  // Timer1: the clock line from the desktop's clock.
  void Tick();
  QString ClockLine() const;
  QString VersionLine() const;

  void ShowUnitsDialog();
  void ShowLanguageChooser();
  void ShowEcChooser();
  EcChooser* OpenEcChooser() const;
  void ShowInformation();
  void ShowAbout();
  void ShowPrinterSetup();
  void OpenDocumentation();
  void Exit();

  // File -> "Export results...": the active selection screen's results table - both
  // heading rows, the rows, and when a duty was stated each row's mark and margins -
  // written as CSV or as an Excel workbook, by the file name's extension. With no name the
  // save dialog asks for one ("Vestra-" + series + ".xlsx" in the reports folder); a
  // failure is a message naming the file and the cause. False when nothing was written.
  bool ExportResults(const QString& fileName = {});
  // The screen whose results the export writes: the active screen, when it shows results.
  ScreenWindow* ScreenWithResults() const;
  // The export's menu item enabled only while a screen shows results.
  void UpdateExportAction();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  void BuildStatusLine();
  QAction* AddAction(QMenu* menu, const std::string& name, const QString& caption,
                     const char* icon = nullptr);
  void Relabel(const MainWindowCaptions& captions);
  void CloseWindowsForLanguage();
  void CloseSelectionScreens();
  bool ScreenBusy() const;
  void ChooseLanguage(std::int16_t langIndex);
  void ReportLoaderFault(const std::string& message);
  void OpenNewScreen(const screens::SeriesTraits& traits);
  void LoadModelsOf(ScreenWindow* window, QMdiSubWindow* sub);

  screens::Session& session_;
  Desktop desktop_;
  QMdiArea* mdi_ = nullptr;
  QLabel* lblVer_ = nullptr;
  QLabel* lblOra_ = nullptr;
  QTimer* timer1_ = nullptr;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  QPointer<UnitsDialog> units_;
  QPointer<LanguageChooser> chooser_;
  QPointer<EcChooser> ecChooser_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace vestra::ui
