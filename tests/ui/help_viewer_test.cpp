// The help wrapper on this desktop: pages handed to the desktop's application, the
// focused control's context help, the pop-up as a tool tip.

#include "app/ui/help_viewer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidget>

#include "engine/errors.h"
#include "ui_fixture.h"

namespace vestra {
namespace {

// A help folder with its start page, and a window with one field that has context help.
class DesktopHelpTest : public ::testing::Test {
 protected:
  DesktopHelpTest() : viewer(desktop.Make()), help(viewer, application) {
    QDir(folder.path()).mkdir(QStringLiteral("help"));
    QFile page(folder.filePath(QStringLiteral("help/index.html")));
    EXPECT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body>Vestra</body></html>");
    help.HelpFile = folder.filePath(QStringLiteral("help")).toStdString();

    auto* layout = new QVBoxLayout(&window);
    field = new QLineEdit(&window);
    field->setProperty("HelpContextID", 250);
    layout->addWidget(field);
    window.setGeometry(200, 150, 400, 300);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setFocus();
  }

  QUrl StartPage() const {
    return QUrl::fromLocalFile(folder.filePath(QStringLiteral("help/index.html")));
  }

  QTemporaryDir folder;
  testing::RecordingDesktop desktop;
  ui::DesktopHelpViewer viewer;
  ui::ProgramHelpApplication application;
  cHtmlHelp help;
  QWidget window;
  QLineEdit* field = nullptr;
};

TEST_F(DesktopHelpTest, contextHelpOfTheFocusedFieldOpensTheHelpFoldersPage) {
  const std::optional<HelpControl> control = application.ActiveControl();
  ASSERT_TRUE(control.has_value());
  EXPECT_EQ(control->HelpContextID, 250);
  EXPECT_FALSE(control->dialogId.has_value());  // the field has no dialog identifier

  EXPECT_EQ(help.HelpContext(nullptr, "main"), 1);
  ASSERT_EQ(desktop.opened.size(), 1u);
  EXPECT_EQ(desktop.opened[0], StartPage());
}

TEST_F(DesktopHelpTest, noApplicationForThePageIsARunTimeErrorThatContextHelpIgnores) {
  desktop.openSucceeds = false;
  try {
    help.DisplayTOC();
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kFileNotFound);
    EXPECT_NE(std::string(e.what()).find("index.html"), std::string::npos) << e.what();
  }
  EXPECT_EQ(help.HelpContext(nullptr, "main"), 0);
  EXPECT_EQ(desktop.opened.size(), 2u);  // both asked the desktop
}

TEST_F(DesktopHelpTest, popUpShowsItsTextAsAToolTipPlacedByTheActiveWindow) {
  const std::optional<WindowTwips> active = application.ActiveWindow();
  ASSERT_TRUE(active.has_value());
  const float twips = application.TwipsPerPixelX();
  EXPECT_GT(twips, 0.0f);
  EXPECT_FLOAT_EQ(active->left, static_cast<float>(window.frameGeometry().x()) * twips);

  EXPECT_EQ(help.PopUp("Air flow & speed"), 1);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("Air flow &amp; speed")))
      << QToolTip::text().toStdString();
  EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("Verdana")));
  QToolTip::hideText();
  EXPECT_TRUE(desktop.opened.empty());
}

}  // namespace
}  // namespace vestra
