#pragma once

// The units dialog Funmis, modeless: capacity, water flow, air flow, water pressure drop
// and air pressure, each in a list of its units. Picking a capacity unit picks the water
// pressure drop unit that goes with it and the other way round; OK keeps the choice in
// the settings file, and any close makes it the program's choice.

#include <QWidget>
#include <array>
#include <functional>

#include "app/settings.h"
#include "app/units.h"
#include "screens/ui/desktop.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vestra::ui {

class UnitsDialog : public QWidget {
 public:
  static constexpr const char* kName = "Funmis";

  // `file` may be null: OK then changes the running program only.
  UnitsDialog(Settings& settings, SettingsFile* file, Desktop desktop, QWidget* parent = nullptr);

  QComboBox* List(Quantity quantity) const;

  // Told when a close changed the program's units, with the settings as they were.
  std::function<void(const Settings& previous)> onUnitsChanged;
  QPushButton* OkButton() const { return cmdOK_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Show();
  void Confirm();

  Settings& settings_;
  SettingsFile* file_;
  Desktop desktop_;
  UnitsDialogState state_;
  std::array<QComboBox*, 5> lists_{};
  QPushButton* cmdOK_ = nullptr;
};

}  // namespace vestra::ui
