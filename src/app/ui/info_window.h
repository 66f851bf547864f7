#pragma once

// The information window FInfo: the maker's logo, the program's description and
// version, the maker's web and mail addresses (a click opens them) and postal address.
// At start-up it is the splash, without its Fine button; from the menu it is a modal
// window that Fine closes. Each showing creates it afresh.

#include <QDialog>

#include "app/settings.h"
#include "screens/ui/desktop.h"

class QLabel;
class QPushButton;

namespace vestra::ui {

class InfoWindow : public QDialog {
 public:
  static constexpr const char* kName = "FInfo";
  enum class Role { kSplash, kInformation };

  InfoWindow(const Settings& settings, Desktop desktop, Role role, QWidget* parent = nullptr);

  QPushButton* FineButton() const { return cmdfine_; }
  QLabel* Description() const { return lblDescri_; }
  QLabel* VersionLabel() const { return lblVer_; }
  QLabel* WebLabel() const { return label1_; }
  QLabel* MailLabel() const { return label6_; }

 private:
  const Settings& settings_;
  Desktop desktop_;
  QLabel* lblDescri_ = nullptr;
  QLabel* lblVer_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label6_ = nullptr;
  QPushButton* cmdfine_ = nullptr;
};

}  // namespace vestra::ui
