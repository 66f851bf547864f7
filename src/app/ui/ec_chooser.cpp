#include "app/ui/ec_chooser.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/pictures.h"

namespace vestra::ui {

EcChooser::EcChooser(std::function<void(int)> onChosen, const std::function<bool(int)>& offered,
                     QWidget* parent)
    : QWidget(parent, Qt::Dialog) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("BLDC"));

  auto* picture = new QLabel;
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setPixmap(ToolbarIcon("bldc").pixmap(QSize(96, 96)));
  picture->setAlignment(Qt::AlignCenter);

  auto* column = new QVBoxLayout;
  const char* const captions[] = {"MIRAL", "ZOPH", "KELM", "UMBRA", "Pelvo"};
  for (int i = 1; i <= 5; ++i) {
    auto* button = new QPushButton(QString::fromLatin1(captions[i - 1]));
    button->setObjectName(QStringLiteral("cmdBLDC(%1)").arg(i));
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("UMBRA")) +
                            10 * button->fontMetrics().averageCharWidth());
    button->setEnabled(offered(i));
    connect(button, &QPushButton::clicked, this, [this, i, onChosen] {
      onChosen(i);
      close();
    });
    column->addWidget(button);
    buttons_[static_cast<std::size_t>(i)] = button;
  }
  column->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(picture);
  layout->addLayout(column);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* EcChooser::Button(int index) const {
  return index >= 1 && index <= 5 ? buttons_[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace vestra::ui
