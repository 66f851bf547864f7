#include "app/ui/info_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <functional>

#include "app/shell.h"
#include "app/texts.h"
#include "app/ui/open_document.h"
#include "app/ui/pictures.h"

namespace vestra::ui {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label that opens its address when clicked, drawn as a link.
class AddressLabel : public QLabel {
 public:
  AddressLabel(const QString& caption, const QString& address, std::function<void()> onClick)
      : onClick_(std::move(onClick)) {
    setTextFormat(Qt::RichText);
    setText(caption.toHtmlEscaped() + QStringLiteral("<a href=\"#\">") + address.toHtmlEscaped() +
            QStringLiteral("</a>"));
    setTextInteractionFlags(Qt::NoTextInteraction);
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      onClick_();
    QLabel::mouseReleaseEvent(event);
  }

 private:
  std::function<void()> onClick_;
};

}  // namespace

InfoWindow::InfoWindow(const Settings& settings, Desktop desktop, Role role, QWidget* parent)
    : QDialog(parent), settings_(settings), desktop_(std::move(desktop)) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  setAttribute(Qt::WA_DeleteOnClose);
  // A small fixed window without a caption of its own.
  setWindowTitle(QString());
  if (role == Role::kSplash)
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  else
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

  const InfoWindowTexts texts = InfoTexts(TextContext(settings.LangBase), settings.DbVersion);

  auto* frame = new QFrame;
  frame->setFrameShape(role == Role::kSplash ? QFrame::Box : QFrame::NoFrame);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);

  auto* picture1 = new QLabel;
  picture1->setObjectName(QStringLiteral("Picture1"));
  const QSize logoSize(240, 90);
  picture1->setPixmap(LogoIcon().pixmap(logoSize, devicePixelRatioF()));
  picture1->setFixedSize(logoSize);

  lblDescri_ = new QLabel(Q(texts.description));
  lblDescri_->setObjectName(QStringLiteral("lblDescri"));
  QFont title = lblDescri_->font();
  title.setBold(true);
  title.setPointSizeF(title.pointSizeF() * 1.35);
  lblDescri_->setFont(title);
  lblVer_ = new QLabel(Q(texts.version));
  lblVer_->setObjectName(QStringLiteral("lblVer"));

  const std::string webTarget = texts.webTarget;
  const std::string mailTarget = texts.mailTarget;
  label1_ = new AddressLabel(QStringLiteral("Internet : "), Q(kMakerWebAddress), [this, webTarget] {
    OpenDocumentOnDesktop(webTarget, "", settings_, desktop_, this);
  });
  label1_->setObjectName(QStringLiteral("Label1"));
  label6_ = new AddressLabel(QStringLiteral("E-Mail : "), Q(kMakerMailAddress), [this, mailTarget] {
    OpenDocumentOnDesktop(mailTarget, "", settings_, desktop_, this);
  });
  label6_->setObjectName(QStringLiteral("Label6"));

  auto* text = new QVBoxLayout;
  text->addWidget(lblDescri_);
  text->addWidget(lblVer_);
  text->addSpacing(fontMetrics().height() / 2);
  text->addWidget(label1_);
  text->addWidget(label6_);
  text->addSpacing(fontMetrics().height() / 2);
  int line = 2;
  for (const std::string_view address : kMakerAddressLines) {
    auto* label = new QLabel(Q(address));
    label->setObjectName(QStringLiteral("Label%1").arg(line++));
    text->addWidget(label);
  }
  text->addStretch(1);

  cmdfine_ = new QPushButton(Q(texts.fine));
  cmdfine_->setObjectName(QStringLiteral("cmdfine"));
  cmdfine_->setVisible(role == Role::kInformation);
  cmdfine_->setDefault(true);
  connect(cmdfine_, &QPushButton::clicked, this, &QDialog::close);

  auto* body = new QGridLayout(frame);
  body->setContentsMargins(18, 18, 18, 14);
  body->setHorizontalSpacing(24);
  body->addWidget(picture1, 0, 0, Qt::AlignTop);
  body->addLayout(text, 0, 1);
  body->addWidget(cmdfine_, 1, 1, Qt::AlignRight);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  if (role == Role::kSplash) {
    // The splash has no owner to centre on: the middle of the screen.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace vestra::ui
