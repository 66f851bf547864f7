#pragma once

// The window of the standard selection screen FDatiP. It owns the widgets and one
// StandardScreen: before a handler it copies what the user typed into the screen's
// control states, after it shows every state again. It holds no rules of its own.

#include <QElapsedTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "screens/controls.h"
#include "screens/session.h"
#include "screens/standard_screen.h"
#include "screens/standard_series.h"
#include "screens/ui/desktop.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QHBoxLayout;
class QFrame;

namespace vestra::ui {

class ResultsGridView;

class StandardWindow : public QWidget, public screens::ScreenUi {
 public:
  static constexpr const char* kName = "FDatiP";

  // Creates the screen for the session's CurrentSeries and runs its load handler.
  StandardWindow(screens::Session& session, Desktop desktop, QWidget* parent = nullptr);
  ~StandardWindow() override;

  // The series dispatch after creation: panels, fields, boxes and caption of the series.
  void Configure(const screens::StandardSeriesConfig& config);
  // The series' loader, which fills the model list (the window already shown). A fault
  // of the catalogue is left to the caller.
  void LoadModels(const screens::StandardSeriesConfig& config);

  // The focus to the first control the user can reach, as the screen opens.
  void FocusFirstControl();

  screens::StandardScreen& screen() { return *screen_; }
  // A calculation or a loader is running: the window stays open until it ends.
  bool IsBusy() const { return busy_; }
  // Closed (by Fine, its close box or a new series), waiting to be deleted.
  bool IsClosed() const { return closing_; }

  QWidget* ControlWidget(screens::ControlRef control) const;
  QLineEdit* FieldWidget(screens::ControlRef control) const;
  QComboBox* ComboWidget(screens::ControlRef control) const;
  QCheckBox* CheckWidget(screens::ControlRef control) const;
  QPushButton* ButtonWidget(screens::Ctl button) const;
  ResultsGridView* Grid() const { return grid_; }
  QWidget* CoolingPanel() const;
  QWidget* HeatingPanel() const;
  QWidget* LegendPanel() const;
  // The heating panel spans the top edge of the screen.
  bool HeatingPanelDockedTop() const { return heatingDocked_; }

  // As wide as the screen with both panels shown, whatever the series hides.
  QSize sizeHint() const override;

  // screens::ScreenUi
  void ShowMessage(const std::string& text, screens::Icon icon) override;
  void SetFocus(screens::ControlRef control) override;
  void SetClipboardText(const std::string& text) override;
  void ProcessPendingEvents() override;
  void SetBusy(bool busy) override;
  void Refresh() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

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

  void Build();
  QLabel* BindLabel(const screens::Label& state, const screens::Panel* frame = nullptr);
  QLineEdit* BindField(screens::ControlRef ref);
  QCheckBox* BindCheck(screens::ControlRef ref);
  QComboBox* BindCombo(screens::ControlRef ref);
  QPushButton* BindButton(screens::Button& state, screens::Ctl name);
  void Register(QWidget* widget, screens::ControlRef ref);
  std::optional<screens::ControlRef> ControlOf(const QWidget* widget) const;

  // Widgets -> control states (the typed texts and the chosen list entries).
  void Pull();
  // Control states -> widgets.
  void Push();
  void DockHeatingPanel(bool top);
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

  void OnCalcola();
  void OnFine();
  void OnLegend();
  void OnCheckClicked(screens::ControlRef ref, bool checked);

  screens::Session& session_;
  Desktop desktop_;
  std::unique_ptr<screens::StandardScreen> screen_;

  std::vector<LabelBinding> labels_;
  std::vector<FieldBinding> fields_;
  std::vector<CheckBinding> checks_;
  std::vector<ComboBinding> combos_;
  std::vector<ButtonBinding> buttons_;
  std::vector<PanelBinding> panels_;
  std::vector<std::pair<screens::ControlRef, QWidget*>> controls_;

  QGroupBox* pnlFreddo_ = nullptr;
  QGroupBox* pnlCaldo_ = nullptr;
  QGroupBox* frmPressione_ = nullptr;
  QFrame* panLegend_ = nullptr;
  ResultsGridView* grid_ = nullptr;
  QVBoxLayout* topDock_ = nullptr;
  QHBoxLayout* panelRow_ = nullptr;
  bool heatingDocked_ = false;
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

}  // namespace vestra::ui
