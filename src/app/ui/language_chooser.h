#pragma once

// The language chooser Flingua, modeless: the flag and the name of each of the 15
// languages; a click on a flag chooses that language. Opening and closing the chooser
// changes nothing; only a choice closes the other windows.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "app/settings.h"

class QToolButton;

namespace vestra::ui {

class LanguageChooser : public QWidget {
 public:
  static constexpr const char* kName = "Flingua";

  LanguageChooser(const Settings& settings, std::function<void(std::int16_t)> onChosen,
                  QWidget* parent = nullptr);

  // Image1(i) with lblLingua(i) beneath it.
  QToolButton* Flag(std::int16_t langIndex) const;

 private:
  void CentreForm();

  std::array<QToolButton*, 15> flags_{};
};

// A caption without the accelerator marks of a menu text ("Scelta &lingua" reads
// "Scelta lingua"); an ampersand before a blank is a real one and stays.
QString WithoutMnemonic(const QString& caption);

}  // namespace vestra::ui
