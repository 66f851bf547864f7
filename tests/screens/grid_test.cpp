#include <gtest/gtest.h>

#include "screen_fixture.h"
#include "screens/like.h"
#include "screens/results_grid.h"
#include "screens/standard_screen.h"

namespace vestra::screens {
namespace {

TEST(Like, matchesTheModelChooserPatterns) {
  const struct {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {
      {"MIRAL 30HX", "MIRAL 30HX*", true},
      {"MIRAL 30HX*", "MIRAL 30HX*", true},
      {"-----------", "MIRAL 30HX*", false},
      {"MIRAL 30", "MIRAL 30", true},
      {"MIRAL 300", "MIRAL 30", false},
      {"MIRAL 30", "MIRAL ?0", true},
      {"MIRAL 30", "MIRAL #0", true},
      {"MIRAL X0", "MIRAL #0", false},
      {"TORVA 20 4p", "TORVA [12]0 ?p", true},
      {"TORVA 30 4p", "TORVA [!12]0*", true},
      {"TORVA 10", "TORVA [!12]0", false},
      {"Q70 24", "Q70 [0-9][0-9]", true},
      {"abc", "a[bc", false},
      {"", "*", true},
      {"mIRAL", "MIRAL", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Like(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

ResultsGrid SampleGrid() {
  ResultsGrid grid;
  grid.Reset(4, 1200, 700);
  grid.AddItem("\tQA\tPT\tPS");
  grid.AddItem("Modello\tl/s\tW\tW");
  grid.AddItem("M 20\t53.2\t1250\t900");
  grid.AddItem("M 30\t72.5\t1630\t1190");
  grid.AddItem("M 40\t96.7\t2190\t1580");
  return grid;
}

TEST(ResultsGrid, copiesTheHeadingsAndTheSelectedRowsUpToTheLastSelectedColumn) {
  const ResultsGrid grid = SampleGrid();
  EXPECT_EQ(GridCopyText(grid, 3, 4, 2),
            "\tQA\tPT\t\nModello\tl/s\tW\t\nM 30\t72.5\t1630\t\nM 40\t96.7\t2190\t\n");
  EXPECT_EQ(GridCopyText(grid, 2, 2, 0), "\t\nModello\t\nM 20\t\n");
}

TEST(ResultsGrid, layoutPutsTheModelNameLeftAndNumbersRight) {
  const ResultsGrid grid = SampleGrid();
  EXPECT_EQ(grid.ColWidth, (std::vector<int>{1200, 700, 700, 700}));
  EXPECT_EQ(grid.ColAlignRight, (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(grid.Cell(2, 0), "M 20");
  EXPECT_EQ(grid.Cell(9, 0), "");
}

TEST(StandardScreenGrid, clickSelectsTheModelNamedInTheRowAndCtrlCCopies) {
  auto session = testing::ItalianSession();
  testing::RecordingUi ui;
  StandardScreen screen(*session, ui, *FindSeries("MIRAL"));
  screen.form.cboModel.List = {"* Tutto", "MIRAL 20", "MIRAL 30HX", "-----------", "MIRAL 40"};
  screen.form.cboModel.ListIndex = 0;
  screen.form.Grd = SampleGrid();
  screen.form.Grd.AddItem("MIRAL 30HX*\t1\t2\t3");
  screen.Grd_Click(5);
  EXPECT_EQ(screen.form.cboModel.ListIndex, 2);  // the partner's row selects its pair
  screen.Grd_Click(1);                           // a heading row names no model
  EXPECT_EQ(screen.form.cboModel.ListIndex, 2);

  screen.Grd_KeyPress(3, 3, 4, 3);
  EXPECT_EQ(ui.clipboard.substr(0, ui.clipboard.find('\n') + 1), "\tQA\tPT\tPS\t\n");
  EXPECT_EQ(std::count(ui.clipboard.begin(), ui.clipboard.end(), '\n'), 4);
  ui.clipboard.clear();
  screen.Grd_KeyPress('c', 3, 4, 3);
  EXPECT_EQ(ui.clipboard, "");
}

}  // namespace
}  // namespace vestra::screens
