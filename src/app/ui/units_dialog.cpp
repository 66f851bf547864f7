#include "app/ui/units_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/texts.h"

namespace vestra::ui {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The lists in the order of the dialog, with their control names.
constexpr std::array<std::pair<Quantity, const char*>, 5> kLists{{
    {Quantity::kCapacity, "cboPotenz"},
    {Quantity::kWaterFlow, "cboqw"},
    {Quantity::kAirFlow, "cboqa"},
    {Quantity::kWaterPressureDrop, "cboDpw"},
    {Quantity::kAirPressure, "cboDpA"},
}};

}  // namespace

UnitsDialog::UnitsDialog(Settings& settings, SettingsFile* file, Desktop desktop, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      settings_(settings),
      file_(file),
      desktop_(std::move(desktop)),
      state_(settings) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  setAttribute(Qt::WA_DeleteOnClose);

  const UnitsDialogCaptions captions = UnitsDialogTexts(TextContext(settings.LangBase));
  setWindowTitle(Q(captions.window));
  const std::array<std::pair<const std::string*, const char*>, 5> labels{{
      {&captions.capacity, "lblPotenz"},
      {&captions.waterFlow, "lblQW"},
      {&captions.airFlow, "lblQa"},
      {&captions.waterPressureDrop, "lbldpw"},
      {&captions.airPressure, "lblpsu"},
  }};

  auto* form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  for (std::size_t i = 0; i < kLists.size(); ++i) {
    const Quantity quantity = kLists[i].first;
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(kLists[i].second));
    for (const Unit& unit : UnitTable(quantity))
      list->addItem(QString::fromUtf8(unit.name.data(), static_cast<qsizetype>(unit.name.size())));
    list->setMinimumContentsLength(14);
    // Only the user's picks couple the lists, not the selections made here.
    connect(list, &QComboBox::activated, this, [this, quantity](int position) {
      state_.choose(quantity, position);
      Show();
    });
    lists_[i] = list;
    auto* label = new QLabel(Q(*labels[i].first));
    label->setObjectName(QString::fromLatin1(labels[i].second));
    label->setBuddy(list);
    form->addRow(label, list);
  }

  cmdOK_ = new QPushButton(Q(captions.ok));
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);
  cmdOK_->setMinimumWidth(cmdOK_->fontMetrics().horizontalAdvance(QStringLiteral("OK")) +
                          8 * cmdOK_->fontMetrics().averageCharWidth());
  connect(cmdOK_, &QPushButton::clicked, this, [this] { Confirm(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Show();
}

QComboBox* UnitsDialog::List(Quantity quantity) const {
  for (std::size_t i = 0; i < kLists.size(); ++i)
    if (kLists[i].first == quantity) return lists_[i];
  return nullptr;
}

void UnitsDialog::Show() {
  for (std::size_t i = 0; i < kLists.size(); ++i) {
    const QSignalBlocker blocker(lists_[i]);
    lists_[i]->setCurrentIndex(state_.position(kLists[i].first));
  }
}

void UnitsDialog::Confirm() {
  if (file_) {
    const IniWriteResult saved = state_.confirm(settings_, *file_);
    if (!saved.ok && desktop_.message)
      desktop_.message(this,
                       QStringLiteral("%1\n%2").arg(QString::fromStdString(saved.file.string()),
                                                    QString::fromStdString(saved.error)),
                       screens::Icon::kWarning);
  }
  close();
}

void UnitsDialog::closeEvent(QCloseEvent* event) {
  const Settings previous = settings_;
  state_.close(settings_);
  const bool changed = previous.UnitPt != settings_.UnitPt || previous.UnitQa != settings_.UnitQa ||
                       previous.UnitQw != settings_.UnitQw ||
                       previous.UnitDpW != settings_.UnitDpW ||
                       previous.UnitDpA != settings_.UnitDpA;
  if (changed && onUnitsChanged) onUnitsChanged(previous);
  QWidget::closeEvent(event);
}

}  // namespace vestra::ui
