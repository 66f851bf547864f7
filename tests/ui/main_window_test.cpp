// Start-up, the main window's menus, toolbar, status line and clock, the information
// window and the documents handed to the desktop.

#include "app/ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/shell.h"
#include "app/ui/clock.h"
#include "app/ui/ec_chooser.h"
#include "app/ui/info_window.h"
#include "app/ui/open_document.h"
#include "screens/ui/screen_window.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

template <typename T>
T* VisibleWindow(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) return dynamic_cast<T*>(w);
  return nullptr;
}

TEST(Startup, showsTheMainWindowCaptionedInTheLanguageOfTheSettings) {
  StartedProgram p;
  ASSERT_TRUE(p.program);
  ui::MainWindow& main = p.main();
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(main.windowTitle(), "Vestra - Programma di calcolo ");
  EXPECT_EQ(main.VersionLine(), Q("Ver. 6.8 DB. " + p.session().settings.DbVersion));
  EXPECT_FALSE(p.session().settings.DbVersion.empty());
  // The splash is gone, and no other window is open.
  EXPECT_TRUE(main.OpenWindowNames().empty());
  EXPECT_EQ(main.Menu("mnuFile")->title(), "File");
  EXPECT_EQ(main.Action("mnuprod(2)")->text(), "Ventilconvettori Miral ");
  EXPECT_EQ(main.Action("mnuprod(9)")->text(), "Ventilconvettori Z7");
  EXPECT_EQ(main.Menu("mnuprod(11)")->title(), "BLDC");
  EXPECT_EQ(main.Action("mnuprods(6)")->text(), "TORVA EC");
  EXPECT_EQ(main.Action("mnuprod(13)")->text(), "Parete alta NARTE");
  // A toolbar button shows its menu item's caption as its tooltip.
  EXPECT_EQ(main.Action("SSdefprt")->toolTip(), "Imposta stampante");
  EXPECT_EQ(main.Action("SSunmis")->toolTip(), "Unità di misura");
  EXPECT_TRUE(p.desktop.messages.empty());
}

TEST(Startup, valuesOutOfTheirTypeAreToldOnceAndTheirDefaultsTaken) {
  ProgramFolder folder;
  const std::string settings = "[Common]\nMulti=200\n[Unmis]\nQa=7\n";
  folder.WriteSettings(settings);
  RecordingDesktop desktop;
  ui::StartupResult started = ui::StartProgram(folder.Settings(), desktop.Make());
  ASSERT_TRUE(started.program) << started.failure;
  ASSERT_EQ(desktop.messages.size(), 1u);
  const std::string message = desktop.messages[0].text.toStdString();
  EXPECT_NE(message.find("key Multi: \"200\""), std::string::npos) << message;
  EXPECT_NE(message.find("key Qa: \"7\""), std::string::npos) << message;
  EXPECT_EQ(started.program->session->settings.LangIndex, 0);
  EXPECT_EQ(started.program->session->settings.UnitQa, 0);
  EXPECT_EQ(folder.ReadSettings(), settings) << "the file is left as it is";
}

TEST(Startup, readsTheLanguageOfTheSettingsFile) {
  ProgramFolder folder;
  folder.WriteSettings("[Common]\nMulti= 3\n");
  RecordingDesktop desktop;
  ui::StartupResult started = ui::StartProgram(folder.Settings(), desktop.Make());
  ASSERT_TRUE(started.program) << started.failure;
  EXPECT_EQ(started.program->mainWindow->windowTitle().toStdString(),
            "Vestra - " + TextContext(700).Text(60));
  EXPECT_NE(folder.ReadSettings().find("Multi= 3"), std::string::npos);
}

TEST(Startup, failsNamingTheCatalogueWhenItIsMissingOrDamaged) {
  {
    ProgramFolder folder(false);
    RecordingDesktop desktop;
    const ui::StartupResult started = ui::StartProgram(folder.Settings(), desktop.Make());
    EXPECT_FALSE(started.program);
    EXPECT_NE(started.failure.find(folder.path() + "Vestra.db"), std::string::npos)
        << started.failure;
  }
  {
    ProgramFolder folder(false);
    folder.WriteFile("Vestra.db", "this is not a catalogue, only some text");
    RecordingDesktop desktop;
    const ui::StartupResult started = ui::StartProgram(folder.Settings(), desktop.Make());
    EXPECT_FALSE(started.program);
    EXPECT_NE(started.failure.find(folder.path() + "Vestra.db"), std::string::npos)
        << started.failure;
    EXPECT_EQ(VisibleWindow<QWidget>("FInfo"), nullptr);  // the splash does not stay behind
  }
}

TEST(MainWindow, everySeriesCanBeChosen) {
  StartedProgram p;
  for (const int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13})
    EXPECT_TRUE(p.main().Action("mnuprod(" + std::to_string(i) + ")")->isEnabled()) << i;
  for (int i = 1; i <= 6; ++i)
    EXPECT_TRUE(p.main().Action("mnuprods(" + std::to_string(i) + ")")->isEnabled()) << i;
  EXPECT_TRUE(p.main().Action("SSprodBLDC")->isEnabled());
}

TEST(MainWindow, theEcDispatchClosesNothingAndReusesAnOpenScreenOfItsKind) {
  StartedProgram p;
  ui::ScreenWindow& miral = p.ChooseScreen("mnuprod(2)");
  ui::ScreenWindow& ec = p.ChooseScreen("mnuprods(1)");
  EXPECT_EQ(ec.objectName(), "FDatiPEC");
  EXPECT_FALSE(miral.IsClosed()) << "the EC dispatch closes no other screen";
  // Pelvo EC reuses the open EC fan-coil screen: the same window, its caption and models.
  ui::ScreenWindow& pelvo = p.ChooseScreen("mnuprods(5)");
  EXPECT_EQ(&pelvo, &ec);
  EXPECT_EQ(p.session().settings.CurrentSeries, "MIRALEC");
  EXPECT_EQ(pelvo.windowTitle().toStdString(), p.session().Text(139) + " Pelvo EC");
  EXPECT_EQ(pelvo.screen().Form().cboModel.List.at(1).rfind("PELVOEC", 0), 0u);

  // The chooser's buttons dispatch the same way and close it.
  p.main().Action("SSprodBLDC")->trigger();
  Settle();
  ui::EcChooser* chooser = p.main().OpenEcChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->Button(4)->text(), "UMBRA");
  chooser->Button(4)->click();
  Settle();
  EXPECT_EQ(p.main().OpenEcChooser(), nullptr);
  EXPECT_EQ(p.main().OpenScreenWindow()->objectName(), "FDatiUmbra");
  EXPECT_EQ(p.session().settings.CurrentSeries, "UMBRA");
}

TEST(MainWindow, clockFollowsTheTicksOfItsClock) {
  StartedProgram p;
  const QString first = ui::ClockText(p.desktop.now, QLocale());
  EXPECT_EQ(p.main().ClockLine(), first);
  p.desktop.now = p.desktop.now.addSecs(1);
  EXPECT_EQ(p.main().ClockLine(), first);  // until the timer ticks
  p.main().Tick();
  EXPECT_EQ(p.main().ClockLine(), ui::ClockText(p.desktop.now, QLocale()));
  EXPECT_NE(p.main().ClockLine(), first);
}

TEST(Clock, longDateTwoBlanksLongTimeWithoutTheZone) {
  const QDateTime at(QDate(2024, 3, 9), QTime(8, 30, 15));
  const QLocale italian(QLocale::Italian, QLocale::Italy);
  EXPECT_EQ(ui::ClockText(at, italian),
            italian.toString(at.date(), QLocale::LongFormat) + "  08:30:15");
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  EXPECT_EQ(ui::ClockText(at, english), "Saturday, March 9, 2024  8:30:15 AM");
}

TEST(MainWindow, documentationOpensTheDataBookInTheLanguage) {
  StartedProgram p;
  p.main().Action("mnuDocumentazione")->trigger();
  ASSERT_EQ(p.desktop.opened.size(), 1u);
  EXPECT_EQ(p.desktop.opened[0].toString(), Q(DocumentationAddress(100)));
  EXPECT_TRUE(p.desktop.opened[0].toString().endsWith("IDLang=0"));
  EXPECT_TRUE(p.desktop.messages.empty());
  p.desktop.openSucceeds = false;  // no application for web addresses
  p.main().Action("mnuDocumentazione")->trigger();
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(p.desktop.messages[0].text,
            Q("No association for file extension on " + DocumentationAddress(100)));
}

TEST(InfoWindow, fromTheMenuItIsModalWithFineAndItsLabelsOpenTheAddresses) {
  StartedProgram p;
  p.main().Action("mnuInfooska")->trigger();
  auto* info = VisibleWindow<ui::InfoWindow>("FInfo");
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(info->isModal());
  EXPECT_TRUE(info->FineButton()->isVisible());
  EXPECT_EQ(info->FineButton()->text(), "Fine");
  EXPECT_EQ(info->Description()->text(), "Programma di calcolo  Vestra");
  EXPECT_EQ(info->VersionLabel()->text(), p.main().VersionLine());
  QTest::mouseClick(info->WebLabel(), Qt::LeftButton);
  QTest::mouseClick(info->MailLabel(), Qt::LeftButton);
  ASSERT_EQ(p.desktop.opened.size(), 2u);
  EXPECT_EQ(p.desktop.opened[0].toString(), Q(std::string(kMakerWebAddress)));
  EXPECT_EQ(p.desktop.opened[1].toString(), Q("mailto:" + std::string(kMakerMailAddress)));
  QTest::mouseClick(info->FineButton(), Qt::LeftButton);
  Settle();
  EXPECT_EQ(VisibleWindow<ui::InfoWindow>("FInfo"), nullptr);
}

TEST(InfoWindow, theSplashHasNoFineButton) {
  const Settings settings;
  RecordingDesktop desktop;
  ui::InfoWindow splash(settings, desktop.Make(), ui::InfoWindow::Role::kSplash);
  splash.show();
  EXPECT_FALSE(splash.FineButton()->isVisible());
}

TEST(OpenOnDesktop, missingFileAndMissingFolderAreTold) {
  ProgramFolder folder;
  RecordingDesktop desktop;
  const ui::Desktop d = desktop.Make();
  EXPECT_EQ(ui::OpenOnDesktop(folder.path() + "none.pdf", d), kShellFileNotFound);
  EXPECT_EQ(ui::OpenOnDesktop(folder.path() + "nofolder/none.pdf", d), kShellPathNotFound);
  EXPECT_TRUE(desktop.opened.empty());
  EXPECT_GT(ui::OpenOnDesktop(folder.path() + "Vestra.db", d), 32);
  ASSERT_EQ(desktop.opened.size(), 1u);
  EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(Q(folder.path() + "Vestra.db")));
}

TEST(OpenDocumentOnDesktop, aMissingDocumentShowsFileNotFoundOnItsPath) {
  ProgramFolder folder;
  RecordingDesktop desktop;
  Settings settings;
  settings.CdromPath = folder.path();
  EXPECT_TRUE(ui::OpenDocumentOnDesktop("x.pdf", "D", settings, desktop.Make(), nullptr));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, Q("Path not found on " + folder.path() + "Documenti" +
                                        std::string(1, kPathSeparator) + "x.pdf"));
  QDir(Q(folder.path())).mkdir("Documenti");
  EXPECT_TRUE(ui::OpenDocumentOnDesktop("x.pdf", "D", settings, desktop.Make(), nullptr));
  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_TRUE(desktop.messages[1].text.startsWith("File not found on "));
  EXPECT_FALSE(ui::OpenDocumentOnDesktop("", "D", settings, desktop.Make(), nullptr));
  EXPECT_EQ(desktop.messages.back().text, "Documentazione non trovata");
}

}  // namespace
}  // namespace vestra::testing
