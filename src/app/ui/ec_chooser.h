#pragma once

// The EC series chooser FChkBLDC, modeless: a picture of an EC motor and five buttons,
// cmdBLDC(1) "MIRAL" to cmdBLDC(5) "Pelvo". A button runs the EC series dispatch of its
// series and closes the chooser.

#include <QWidget>
#include <array>
#include <functional>

class QPushButton;

namespace vestra::ui {

class EcChooser : public QWidget {
 public:
  static constexpr const char* kName = "FChkBLDC";

  // onChosen(i) for cmdBLDC(i); offered(i) tells whether that series can be chosen yet.
  EcChooser(std::function<void(int)> onChosen, const std::function<bool(int)>& offered,
            QWidget* parent = nullptr);

  QPushButton* Button(int index) const;

 private:
  std::array<QPushButton*, 6> buttons_{};
};

}  // namespace vestra::ui
