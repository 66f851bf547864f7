#pragma once

// The window binder every selection screen's window is built on. It owns the widgets and
// one SelectionScreen: before a handler it copies what the user typed into the screen's
// control states, after it shows every state again. It tracks the focus (so a field is
// left towards the control that receives the focus), shows the messages a leave-field
// rule asks for once the focus change is over, holds user input back while a calculation
// or a loader runs, and lays out the parts every screen has (the sound frame, the
// buttons, the results grid and the legend). A screen's window adds only its own widgets
// and their layout. It holds no rules.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "screens/controls.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/ui/desktop.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QVBoxLayout;

namespace vestra::ui {

class ChartWindow;
class ReportDialog;
class ResultsGridView;

class ScreenWindow : public QWidget, public screens::ScreenUi {
 public:
  ~ScreenWindow() override;

  screens::SelectionScreen& screen() { return *screen_; }
  const screens::SelectionScreen& screen() const { return *screen_; }

  // The series dispatch on an open window: the screen set up for the series, shown.
  void Configure(const screens::SeriesTraits& traits);
  // The series' loader, which fills the model list (the window already shown). A fault
  // of the catalogue is left to the caller.
  void LoadModels();

  // Runs work on the screen as a handler does (what is typed read first, everything shown
  // after, a fault told).
  void RunOnScreen(const std::function<void(screens::SelectionScreen&)>& work);

  // The fan curve chart of the chosen model (the chart button); a message when there is
  // none to draw. The chart open, if any; and its closing.
  void OpenChart();
  ChartWindow* OpenChartWindow() const;

  // The report composition dialog for this screen's selection (the Print button): opened
  // window-modal, kept with what was typed in it between openings.
  ReportDialog* OpenReport();
  void CloseChart(ChartWindow& chart);

  // The program's units changed (from `previous`): labels and typed quantities follow.
  void UnitsChanged(const Settings& previous);

  // The focus to the first control the user can reach, as the screen opens.
  void FocusFirstControl();

  // A calculation or a loader is running: the window stays open until it ends.
  bool IsBusy() const { return busy_; }
  // Closed (by Fine, its close box or a new series), waiting to be deleted.
  bool IsClosed() const { return closing_; }

  QWidget* ControlWidget(screens::ControlRef control) const;
  QLineEdit* FieldWidget(screens::ControlRef control) const;
  QComboBox* ComboWidget(screens::ControlRef control) const;
  QCheckBox* CheckWidget(screens::ControlRef control) const;
  QScrollBar* ScrollWidget(screens::ControlRef control) const;
  QPushButton* ButtonWidget(screens::Ctl button) const;
  ResultsGridView* Grid() const { return grid_; }
  QWidget* LegendPanel() const;

  // As wide as the screen with every panel shown, whatever the series hides.
  QSize sizeHint() const override;

  // screens::ScreenUi
  void ShowMessage(const std::string& text, screens::Icon icon) override;
  void SetFocus(screens::ControlRef control) override;
  void SetClipboardText(const std::string& text) override;
  void ProcessPendingEvents() override;
  void SetBusy(bool busy) override;
  void Refresh() override;
  void SelectGridRow(int row) override;

 protected:
  // `makeScreen` creates the window's screen, which talks to the window through the
  // ScreenUi it is given; its load handler runs here.
  ScreenWindow(screens::Session& session, Desktop desktop,
               const std::function<std::unique_ptr<screens::SelectionScreen>(screens::ScreenUi&)>&
                   makeScreen,
               QWidget* parent);

  // Called by the window's constructor once its widgets are built and laid out: the tab
  // order, the first showing, focus tracking.
  void Finish();

  // What the window shows beyond the bound controls (a panel moved ...), after each push.
  virtual void OnPush() {}

  // Widgets bound to the screen's control states. Labels and panels follow their state;
  // fields, boxes and lists are read back before every handler.
  QLabel* BindLabel(const screens::Label& state, const screens::Panel* frame = nullptr);
  QLineEdit* BindField(screens::ControlRef ref);
  QCheckBox* BindCheck(screens::ControlRef ref);
  QComboBox* BindCombo(screens::ControlRef ref);
  QPushButton* BindButton(screens::Button& state, screens::Ctl name);
  // The chart button, opening the fan curve chart.
  QPushButton* BindChartButton(screens::Button& state);
  QScrollBar* BindScroll(screens::ControlRef ref);
  void BindPanel(QWidget* widget, const screens::Panel& state);

  // A panel's grid of rows; a row of a caption, its field and its unit.
  static QGridLayout* PanelGrid(QGroupBox* box);
  void AddFieldRow(QGridLayout* grid, const screens::Label& caption, screens::ControlRef field,
                   QWidget* unit);
  void AddChoiceRow(QGridLayout* grid, const screens::Label& caption, screens::ControlRef combo);
  static QLabel* UnitLabel(const QString& text);

  // The parts every screen has: the sound frame, the column of buttons, and the results
  // grid with the legend beside it (pairFrame gives the frame a legend pair sits in,
  // nullptr for none).
  QGroupBox* BuildSoundFrame(screens::CommonForm& form);
  // The required duty's frame, under the buttons.
  QGroupBox* BuildDutyFrame(screens::CommonForm& form);
  // chart: the screen's chart button, placed first.
  QVBoxLayout* BuildButtons(screens::CommonForm& form, screens::Button* chart = nullptr);
  QLayout* BuildResults(screens::CommonForm& form,
                        const std::function<const screens::Panel*(int pair)>& pairFrame);

  screens::Session& session_;

 private:
  struct LabelBinding {
    QLabel* widget;
    const screens::Label* state;
    const screens::Panel* frame;  // a frame whose visibility the label follows, or nullptr
  };
  struct FieldBinding {
    QLineEdit* widget;
    screens::TextBox* state;
    screens::ControlRef ref;
  };
  struct CheckBinding {
    QCheckBox* widget;
    screens::CheckBox* state;
    screens::ControlRef ref;
  };
  struct ComboBinding {
    QComboBox* widget;
    screens::ComboBox* state;
    screens::ControlRef ref;
  };
  struct ScrollBinding {
    QScrollBar* widget;
    screens::ScrollBar* state;
    screens::ControlRef ref;
  };
  struct ButtonBinding {
    QPushButton* widget;
    screens::Button* state;
    screens::Ctl name;
  };
  struct PanelBinding {
    QWidget* widget;
    const screens::Panel* state;
  };
  struct Message {
    std::string text;
    screens::Icon icon;
  };

  void Register(QWidget* widget, screens::ControlRef ref);
  std::optional<screens::ControlRef> ControlOf(const QWidget* widget) const;

  // Widgets -> control states (the typed texts and the chosen list entries).
  void Pull();
  // Control states -> widgets.
  void Push();
  // The window grows to what its controls need - the legend shown, the results' columns -
  // as far as the main window has room; it never shrinks what the user has sized.
  void GrowToFit();

  bool Blocked() const;
  void OnFocusChanged(QWidget* now);
  void SelectAllDeferred(screens::ControlRef ref);
  void ApplySelection(screens::ControlRef ref);
  void ScheduleDelivery();
  void Deliver();
  void Present(const std::string& text, screens::Icon icon);
  void ApplyFocus(screens::ControlRef ref);
  void MoveToNext(screens::ControlRef from);
  bool Reachable(screens::ControlRef control) const;
  void CloseScreen();
  // Runs a handler of the screen between a pull and a push.
  void Handle(const std::function<void()>& handler);
  // Runs work of the screen; a fault in it is shown as a message.
  void Guarded(const std::function<void()>& work);

  void OnFine();
  void OnCheckClicked(screens::ControlRef ref, bool checked);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Desktop desktop_;
  std::unique_ptr<screens::SelectionScreen> screen_;

  std::vector<LabelBinding> labels_;
  std::vector<FieldBinding> fields_;
  std::vector<CheckBinding> checks_;
  std::vector<ComboBinding> combos_;
  std::vector<ButtonBinding> buttons_;
  std::vector<ScrollBinding> scrolls_;
  std::vector<PanelBinding> panels_;
  std::vector<std::pair<screens::ControlRef, QWidget*>> controls_;

  QFrame* panLegend_ = nullptr;
  QLabel* dutyMark_ = nullptr;  // the mark of the rows meeting the duty, beside its line
  QPointer<ChartWindow> chart_;
  QPointer<ReportDialog> report_;
  // The grid row the last Calculate chose for the required duty, selected once shown.
  std::optional<int> pendingGridRow_;
  ResultsGridView* grid_ = nullptr;
  int fullWidth_ = 0;

  // The control that has (or last had) the focus inside this window.
  screens::ControlRef current_;
  // Messages and the focus a leave-field rule asked for, shown once the focus change that
  // ran the rule is over.
  std::vector<Message> queued_;
  std::optional<screens::ControlRef> pendingFocus_;
  bool deliveryScheduled_ = false;
  bool collecting_ = false;
  bool pushing_ = false;
  bool messageUp_ = false;
  bool busy_ = false;
  bool closing_ = false;
  QElapsedTimer sincePendingEvents_;
  int shownGridRows_ = -1;
  QMetaObject::Connection focusConnection_;
};

// The window of a series' screen, created for the series.
ScreenWindow* CreateScreenWindow(screens::Session& session, Desktop desktop,
                                 const screens::SeriesTraits& traits, QWidget* parent = nullptr);

}  // namespace vestra::ui
