// The Print button of the selection screens and the report composition dialog: opened for
// the screen's selection, the report written into the output folder and opened with the
// desktop's application, a failure told with the file and the dialog usable again, Cancel
// keeping what was typed.

#include "screens/ui/report_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "app/ui/main_window.h"
#include "screens/ui/screen_window.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

using screens::Control;
using screens::Ctl;

// The program folder with the report template, a screen calculated, its report dialog.
struct Printing {
  StartedProgram program;
  QTemporaryDir output;
  ui::ScreenWindow* window = nullptr;
  ui::ReportDialog* dialog = nullptr;

  explicit Printing(const char* menu, const char* flow = "") {
    const std::filesystem::path built = std::filesystem::path(VESTRA_CATALOGUE_DB).parent_path();
    std::filesystem::copy_file(built / "intest.docx",
                               std::filesystem::path(program.folder.path()) / "intest.docx");
    program.session().settings.OutputPath = output.path().toStdString();
    window = &program.ChooseScreen(menu);
    window->RunOnScreen([flow](screens::SelectionScreen& s) {
      // The EC units are rated at the air flow typed.
      if (*flow) s.Field(Control(Ctl::txtqatot))->Text = flow;
      s.cmdCalcola_Click();
    });
    auto* print = window->findChild<QPushButton*>(QStringLiteral("cmdStampa"));
    EXPECT_TRUE(print && print->isVisible());
    print->click();
    Settle();
    dialog = window->findChild<ui::ReportDialog*>();
  }
  QStringList Reports() const { return QDir(output.path()).entryList({"Doc*.docx"}, QDir::Files); }
};

TEST(ReportDialog, printWritesTheReportOfEachScreenAndOpensIt) {
  struct Case {
    const char* menu;
    const char* flow;
  };
  // The standard, ducted, EC fan-coil, UMBRA and EC ducted screens.
  for (const Case c : {Case{"mnuprod(2)", ""}, Case{"mnuprod(4)", ""}, Case{"mnuprods(1)", "200"},
                       Case{"mnuprods(4)", "250"}, Case{"mnuprods(3)", "400"}}) {
    const char* menu = c.menu;
    Printing p(menu, c.flow);
    ASSERT_NE(p.dialog, nullptr) << menu;
    ASSERT_TRUE(p.dialog->isVisible());
    EXPECT_EQ(p.dialog->windowTitle(), QStringLiteral("Componi la stampa"));
    EXPECT_EQ(p.dialog->DateField()->text(), QStringLiteral("09/03/2024"));
    QCheckBox* results = p.dialog->SectionBox(2);
    ASSERT_TRUE(results->isEnabled()) << menu;
    results->setChecked(true);
    p.dialog->SectionBox(5)->setChecked(true);
    EXPECT_TRUE(p.dialog->NotesField()->isEnabled());
    p.dialog->NotesField()->setPlainText(QStringLiteral("Offer 12/26"));
    p.dialog->PrintButton()->click();
    Settle();
    ASSERT_EQ(p.Reports(), QStringList{QStringLiteral("Doc090324-083015.docx")}) << menu;
    ASSERT_EQ(p.program.desktop.opened.size(), 1u);
    EXPECT_TRUE(p.program.desktop.opened[0].toLocalFile().endsWith("Doc090324-083015.docx"));
    EXPECT_TRUE(p.dialog->PrintButton()->isEnabled());
    EXPECT_TRUE(p.program.desktop.messages.empty())
        << p.program.desktop.messages[0].text.toStdString();
    // A second report in the same second keeps the first.
    p.dialog->PrintButton()->click();
    Settle();
    EXPECT_EQ(p.Reports().size(), 2) << menu;
  }
}

TEST(ReportDialog, aFolderThatCannotBeWrittenIsToldAndTheDialogStaysUsable) {
  Printing p("mnuprod(2)");
  ASSERT_NE(p.dialog, nullptr);
  // A folder that cannot be made: its parent is a file.
  QFile blocker(p.output.path() + "/blocker");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  p.program.session().settings.OutputPath = (p.output.path() + "/blocker/reports").toStdString();
  p.dialog->PrintButton()->click();
  Settle();
  ASSERT_EQ(p.program.desktop.messages.size(), 1u);
  EXPECT_TRUE(p.program.desktop.messages[0].text.contains("blocker/reports"))
      << p.program.desktop.messages[0].text.toStdString();
  EXPECT_TRUE(p.dialog->PrintButton()->isEnabled());
  EXPECT_FALSE(p.dialog->Progress()->isVisible());
  EXPECT_TRUE(p.program.desktop.opened.empty());
}

TEST(ReportDialog, cancelHidesTheDialogAndKeepsWhatWasTyped) {
  Printing p("mnuprod(2)");
  ASSERT_NE(p.dialog, nullptr);
  p.dialog->CustomerField()->setText(QStringLiteral("Studio Rossi"));
  p.dialog->CancelButton()->click();
  Settle();
  EXPECT_FALSE(p.dialog->isVisible());
  p.window->findChild<QPushButton*>(QStringLiteral("cmdStampa"))->click();
  Settle();
  EXPECT_TRUE(p.dialog->isVisible());
  EXPECT_EQ(p.dialog->CustomerField()->text(), QStringLiteral("Studio Rossi"));
  EXPECT_TRUE(p.Reports().isEmpty());
}

}  // namespace
}  // namespace vestra::testing
