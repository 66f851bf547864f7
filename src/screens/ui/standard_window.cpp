#include "screens/ui/standard_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vestra::ui {

using screens::Control;
using screens::Ctl;

StandardWindow::StandardWindow(screens::Session& session, Desktop desktop,
                               const screens::SeriesTraits& traits, QWidget* parent)
    : ScreenWindow(
          session, std::move(desktop),
          [&](screens::ScreenUi& ui) {
            return std::make_unique<screens::StandardScreen>(session, ui, traits);
          },
          parent),
      standard_(&static_cast<screens::StandardScreen&>(screen())) {
  Build();
  Finish();
}

void StandardWindow::Build() {
  screens::StandardForm& f = standard_->form;
  const QString degrees = QStringLiteral("°C");

  // Cooling conditions.
  pnlFreddo_ = new QGroupBox;
  pnlFreddo_->setObjectName(QStringLiteral("pnlFreddo"));
  BindPanel(pnlFreddo_, f.pnlFreddo);
  QGridLayout* cooling = PanelGrid(pnlFreddo_);
  AddFieldRow(cooling, f.lblTbs[0], Control(Ctl::txtTsa1, 0), BindLabel(f.lblumTsa1[0]));
  // The wet bulb and the leaving water are temperatures too.
  AddFieldRow(cooling, f.lbltbu, Control(Ctl::txtTbu), UnitLabel(degrees));
  AddFieldRow(cooling, f.lblUR, Control(Ctl::txtUr), BindLabel(f.lblumUR));
  AddFieldRow(cooling, f.lblTw1[0], Control(Ctl::txtTw1, 0), BindLabel(f.lblumTw1[0]));
  AddFieldRow(cooling, f.lblTw2[0], Control(Ctl::txtTw2, 0), UnitLabel(degrees));
  AddFieldRow(cooling, f.lblQw[0], Control(Ctl::txtQw, 0), BindLabel(f.lblumQw[0]));
  cooling->setRowStretch(cooling->rowCount(), 1);

  // Heating conditions.
  pnlCaldo_ = new QGroupBox;
  pnlCaldo_->setObjectName(QStringLiteral("pnlCaldo"));
  BindPanel(pnlCaldo_, f.pnlCaldo);
  QGridLayout* heating = PanelGrid(pnlCaldo_);
  AddFieldRow(heating, f.lblTbs[1], Control(Ctl::txtTsa1, 1), BindLabel(f.lblumTsa1[1]));
  AddFieldRow(heating, f.lblTw1[1], Control(Ctl::txtTw1, 1), BindLabel(f.lblumTw1[1]));
  AddFieldRow(heating, f.lblTw2[1], Control(Ctl::txtTw2, 1), UnitLabel(degrees));
  AddFieldRow(heating, f.lblQw[1], Control(Ctl::txtQw, 1), BindLabel(f.lblumQw[1]));
  heating->addWidget(BindCheck(Control(Ctl::chkComeFreddo)), heating->rowCount(), 1, 1, 3);
  heating->setRowStretch(heating->rowCount(), 1);

  // The conditions both duties share, the speed and the model.
  auto* common = new QGroupBox;
  QGridLayout* shared = PanelGrid(common);
  AddFieldRow(shared, f.lblglic, Control(Ctl::txtGlic), BindLabel(f.lblumGlic));
  AddFieldRow(shared, f.lblPsu, Control(Ctl::txtpsu), BindLabel(f.lblumDpa));
  AddChoiceRow(shared, f.lblVel, Control(Ctl::cboVel));
  AddChoiceRow(shared, f.lblModello, Control(Ctl::cboModel));
  shared->addWidget(BindCheck(Control(Ctl::chkHX)), shared->rowCount(), 0, 1, 4);
  shared->addWidget(BindCheck(Control(Ctl::chkFlap)), shared->rowCount(), 0, 1, 4);

  auto* commonColumn = new QVBoxLayout;
  commonColumn->addWidget(common);
  commonColumn->addWidget(BuildSoundFrame(f));
  commonColumn->addStretch(1);

  panelRow_ = new QHBoxLayout;
  panelRow_->addWidget(pnlFreddo_);
  panelRow_->addWidget(pnlCaldo_);
  panelRow_->addLayout(commonColumn);
  panelRow_->addLayout(BuildButtons(f));
  panelRow_->addStretch(1);

  // The mounting height and throw pairs of the legend sit in the unit heaters' frame.
  QLayout* results =
      BuildResults(f, [&f](int pair) { return pair == 14 || pair == 15 ? &f.frmTorva : nullptr; });

  topDock_ = new QVBoxLayout;
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(topDock_);
  layout->addLayout(panelRow_);
  layout->addLayout(results, 1);
}

QWidget* StandardWindow::CoolingPanel() const {
  return pnlFreddo_;
}
QWidget* StandardWindow::HeatingPanel() const {
  return pnlCaldo_;
}

void StandardWindow::OnPush() {
  DockHeatingPanel(standard_->form.pnlCaldo.AlignTop);
}

void StandardWindow::DockHeatingPanel(bool top) {
  if (top == heatingDocked_) return;
  heatingDocked_ = top;
  if (top) {
    panelRow_->removeWidget(pnlCaldo_);
    topDock_->addWidget(pnlCaldo_);
  } else {
    topDock_->removeWidget(pnlCaldo_);
    panelRow_->insertWidget(1, pnlCaldo_);
  }
}

}  // namespace vestra::ui
