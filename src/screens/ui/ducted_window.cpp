#include "screens/ui/ducted_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vestra::ui {

using screens::Control;
using screens::Ctl;

DuctedWindow::DuctedWindow(screens::Session& session, Desktop desktop,
                           const screens::SeriesTraits& traits, QWidget* parent)
    : DuctedWindow(
          session, std::move(desktop),
          [&](screens::ScreenUi& ui) -> std::unique_ptr<screens::SelectionScreen> {
            if (traits.screen == screens::ScreenKind::kEcDucted)
              return std::make_unique<screens::DuctedEcScreen>(session, ui, traits);
            return std::make_unique<screens::DuctedScreen>(session, ui, traits);
          },
          parent) {
  Build();
  Finish();
}

DuctedWindow::DuctedWindow(
    screens::Session& session, Desktop desktop,
    const std::function<std::unique_ptr<screens::SelectionScreen>(screens::ScreenUi&)>& makeScreen,
    QWidget* parent)
    : ScreenWindow(session, std::move(desktop), makeScreen, parent),
      ducted_(&static_cast<screens::DuctedScreen&>(screen())) {}

QGroupBox* DuctedWindow::BuildPanel(int duty) {
  screens::DuctedForm& f = ducted_->form;
  const auto d = static_cast<std::size_t>(duty);
  const bool cooling = duty == 0;
  const QString degrees = QStringLiteral("°C");
  auto* panel = new QGroupBox;
  panel->setObjectName(cooling ? QStringLiteral("pnlFreddo") : QStringLiteral("pnlCaldo"));
  BindPanel(panel, cooling ? f.pnlFreddo : f.pnlCaldo);
  auto* layout = new QVBoxLayout(panel);

  // The recirculated stream, the slider of the shares, the fresh stream.
  auto* recirculated = new QGroupBox;
  BindPanel(recirculated, cooling ? f.frmRicircoloF : f.frmRicircoloC);
  QGridLayout* ric = PanelGrid(recirculated);
  AddFieldRow(ric, f.lblTbsric[d], Control(Ctl::txtTsa1ric, duty), BindLabel(f.lblumTsa1ric[d]));
  auto* fresh = new QGroupBox;
  BindPanel(fresh, cooling ? f.frmRinnovoF : f.FrmRinnovoC);
  QGridLayout* rin = PanelGrid(fresh);
  AddFieldRow(rin, f.lblTbsrin[d], Control(Ctl::txtTsa1rin, duty), BindLabel(f.lblumTsa1rin[d]));
  if (cooling) {
    AddFieldRow(ric, f.lbltburic, Control(Ctl::txtTburic), BindLabel(f.lblumTburic));
    AddFieldRow(ric, f.lblUrric, Control(Ctl::txtUrric), BindLabel(f.lblumUrric));
    AddFieldRow(rin, f.lbltburin, Control(Ctl::txttburin), BindLabel(f.lblumTburin));
    AddFieldRow(rin, f.lblurrin, Control(Ctl::txturrin), BindLabel(f.lblumUrrin));
  }
  auto* streams = new QVBoxLayout;
  streams->addWidget(recirculated);
  streams->addWidget(fresh);
  auto* slider = new QVBoxLayout;
  slider->addWidget(BindLabel(f.lblRicircolo[d]), 0, Qt::AlignHCenter);
  QScrollBar* bar = BindScroll(Control(cooling ? Ctl::Scrollfreddo : Ctl::ScrollCaldo));
  bar->setPageStep(10);
  bar->setMinimumHeight(bar->sizeHint().height() * 4);
  slider->addWidget(bar, 1, Qt::AlignHCenter);
  slider->addWidget(BindLabel(f.lblRinnovo[d]), 0, Qt::AlignHCenter);
  auto* air = new QHBoxLayout;
  air->addLayout(streams, 1);
  air->addLayout(slider);
  layout->addLayout(air);

  auto* water = new QGridLayout;
  water->setColumnStretch(3, 1);
  water->setHorizontalSpacing(8);
  AddFieldRow(water, f.lblTw1[d], Control(Ctl::txtTw1, duty), BindLabel(f.lblumTw1[d]));
  AddFieldRow(water, f.lblTw2[d], Control(Ctl::txtTw2, duty), UnitLabel(degrees));
  AddFieldRow(water, f.lblQw[d], Control(Ctl::txtQw, duty), BindLabel(f.lblumQw[d]));
  layout->addLayout(water);
  layout->addStretch(1);
  return panel;
}

void DuctedWindow::Build() {
  screens::DuctedForm& f = ducted_->form;

  // The choices and the duct along the top.
  auto* top = new QGroupBox;
  QGridLayout* shared = PanelGrid(top);
  AddChoiceRow(shared, f.lblModello, Control(Ctl::cboModel));
  AddChoiceRow(shared, f.lblVel, Control(Ctl::cboVel));
  AddFieldRow(shared, f.lblQaTot, Control(Ctl::txtqatot), BindLabel(f.lblUmQA));
  AddFieldRow(shared, f.lblPsu, Control(Ctl::txtpsu), BindLabel(f.lblumDpa));
  AddFieldRow(shared, f.lblglic, Control(Ctl::txtGlic), BindLabel(f.lblumGlic));

  auto* accessories = new QGroupBox;
  accessories->setObjectName(QStringLiteral("frmAccess"));
  BindPanel(accessories, f.frmAccess);
  auto* boxes = new QGridLayout(accessories);
  for (int i = 1; i <= screens::kAccessoryBoxes; ++i)
    boxes->addWidget(BindCheck(Control(Ctl::chkAcc, i)), (i - 1) % 5, (i - 1) / 5);

  auto* choices = new QVBoxLayout;
  choices->addWidget(top);
  choices->addWidget(accessories);
  choices->addWidget(BuildSoundFrame(f));
  choices->addStretch(1);

  auto* panelRow = new QHBoxLayout;
  panelRow->addWidget(BuildPanel(0));
  panelRow->addWidget(BuildPanel(1));
  panelRow->addLayout(choices);
  // The chart button of the EC ducted units.
  const bool ec = ducted_->Name() == screens::DuctedEcScreen::kName;
  panelRow->addLayout(BuildButtons(f, ec ? &f.cmdGrafico : nullptr));
  panelRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(panelRow);
  layout->addLayout(BuildResults(f, {}), 1);
}

}  // namespace vestra::ui
