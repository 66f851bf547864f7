#include "screens/ui/ec_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vestra::ui {

using screens::Control;
using screens::Ctl;

namespace {

std::unique_ptr<screens::SelectionScreen> MakeEcScreen(screens::Session& session,
                                                       screens::ScreenUi& ui,
                                                       const screens::SeriesTraits& traits) {
  if (traits.screen == screens::ScreenKind::kHighEfficiencyEc)
    return std::make_unique<screens::UmbraScreen>(session, ui, traits);
  return std::make_unique<screens::EcFanCoilScreen>(session, ui, traits);
}

}  // namespace

EcWindow::EcWindow(screens::Session& session, Desktop desktop, const screens::SeriesTraits& traits,
                   QWidget* parent)
    : ScreenWindow(
          session, std::move(desktop),
          [&](screens::ScreenUi& ui) { return MakeEcScreen(session, ui, traits); }, parent),
      ec_(&static_cast<screens::EcScreenBase&>(screen())) {
  Build();
  Finish();
}

void EcWindow::Build() {
  screens::EcForm& f = ec_->form;
  const QString degrees = QStringLiteral("°C");

  auto* cooling = new QGroupBox;
  cooling->setObjectName(QStringLiteral("pnlFreddo"));
  BindPanel(cooling, f.pnlFreddo);
  QGridLayout* c = PanelGrid(cooling);
  AddFieldRow(c, f.lblTbs[0], Control(Ctl::txtTsa1, 0), BindLabel(f.lblumTsa1[0]));
  AddFieldRow(c, f.lbltbu, Control(Ctl::txtTbu), UnitLabel(degrees));
  AddFieldRow(c, f.lblUR, Control(Ctl::txtUr), BindLabel(f.lblumUR));
  AddFieldRow(c, f.lblTw1[0], Control(Ctl::txtTw1, 0), BindLabel(f.lblumTw1[0]));
  AddFieldRow(c, f.lblTw2[0], Control(Ctl::txtTw2, 0), UnitLabel(degrees));
  AddFieldRow(c, f.lblQw[0], Control(Ctl::txtQw, 0), BindLabel(f.lblumQw[0]));
  c->setRowStretch(c->rowCount(), 1);

  auto* heating = new QGroupBox;
  heating->setObjectName(QStringLiteral("pnlCaldo"));
  BindPanel(heating, f.pnlCaldo);
  QGridLayout* h = PanelGrid(heating);
  AddFieldRow(h, f.lblTbs[1], Control(Ctl::txtTsa1, 1), BindLabel(f.lblumTsa1[1]));
  AddFieldRow(h, f.lblTw1[1], Control(Ctl::txtTw1, 1), BindLabel(f.lblumTw1[1]));
  AddFieldRow(h, f.lblTw2[1], Control(Ctl::txtTw2, 1), UnitLabel(degrees));
  AddFieldRow(h, f.lblQw[1], Control(Ctl::txtQw, 1), BindLabel(f.lblumQw[1]));
  h->setRowStretch(h->rowCount(), 1);

  auto* common = new QGroupBox;
  QGridLayout* shared = PanelGrid(common);
  AddFieldRow(shared, f.lblglic, Control(Ctl::txtGlic), BindLabel(f.lblumGlic));
  AddFieldRow(shared, f.lblPsu, Control(Ctl::txtpsu), BindLabel(f.lblumDpa));
  AddFieldRow(shared, f.lblQaTot, Control(Ctl::txtqatot), BindLabel(f.lblUmQA));
  AddChoiceRow(shared, f.lblModello, Control(Ctl::cboModel));
  shared->addWidget(BindCheck(Control(Ctl::chkHX)), shared->rowCount(), 0, 1, 4);

  auto* commonColumn = new QVBoxLayout;
  commonColumn->addWidget(common);
  commonColumn->addWidget(BuildSoundFrame(f));
  commonColumn->addStretch(1);

  auto* panelRow = new QHBoxLayout;
  panelRow->addWidget(cooling);
  panelRow->addWidget(heating);
  panelRow->addLayout(commonColumn);
  panelRow->addLayout(BuildButtons(f, &f.cmdGrafico));
  panelRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(panelRow);
  layout->addLayout(BuildResults(f, {}), 1);
}

}  // namespace vestra::ui
