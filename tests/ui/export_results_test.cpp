// File -> "Export results...": the open screen's results table written as CSV or XLSX, the
// item greyed while no screen shows results, every failure a message naming the file.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui/main_window.h"
#include "screens/results_grid.h"
#include "screens/ui/screen_window.h"
#include "screens/ui/standard_window.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

std::vector<std::string> Lines(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A grid row as the export's CSV writes it (the grid's cells hold no separator or quote).
std::string CsvOf(const screens::ResultsGrid& grid, int row) {
  std::string line;
  for (int col = 0; col < grid.Cols; ++col) line += (col ? "," : "") + grid.Cell(row, col);
  return line;
}

void Calculate(ui::StandardWindow& w) {
  QTest::mouseClick(w.ButtonWidget(screens::Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
}

TEST(ExportResults, isGreyedUntilAScreenShowsResults) {
  StartedProgram p;
  QAction* item = p.main().Action("mnuExport");
  ASSERT_NE(item, nullptr);
  p.main().UpdateExportAction();
  EXPECT_FALSE(item->isEnabled());
  EXPECT_FALSE(item->text().isEmpty());
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  p.main().UpdateExportAction();
  EXPECT_FALSE(item->isEnabled()) << "a screen without a calculation has nothing to export";
  QTemporaryDir dir;
  EXPECT_FALSE(p.main().ExportResults(dir.filePath("early.csv")));
  EXPECT_FALSE(QFile::exists(dir.filePath("early.csv")));
  Calculate(w);
  p.main().UpdateExportAction();
  EXPECT_TRUE(item->isEnabled());
}

TEST(ExportResults, writesTheHeadingsAndRowsWithTheDutyMarksAsCsvAndXlsx) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  Calculate(w);
  const screens::ResultsGrid& grid = w.screen().Form().Grd;
  ASSERT_GT(grid.RowCount(), 2);
  QTemporaryDir dir;

  // Nothing stated: the grid as it shows, line for line.
  const QString plain = dir.filePath("plain.csv");
  ASSERT_TRUE(p.main().ExportResults(plain));
  std::vector<std::string> lines = Lines(plain);
  ASSERT_EQ(static_cast<int>(lines.size()), grid.RowCount());
  for (int row = 0; row < grid.RowCount(); ++row)
    EXPECT_EQ(lines[static_cast<std::size_t>(row)], CsvOf(grid, row)) << row;

  // A stated duty: the mark and the margins of each row after its cells.
  w.FieldWidget(screens::Control(screens::Ctl::txtReq, 0))->setText("3000");
  Calculate(w);
  ASSERT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();
  const QString marked = dir.filePath("marked.csv");
  ASSERT_TRUE(p.main().ExportResults(marked));
  lines = Lines(marked);
  ASSERT_EQ(static_cast<int>(lines.size()), grid.RowCount());
  EXPECT_EQ(lines[0], CsvOf(grid, 0) + ",Resa richiesta,Margini");
  int chosen = 0, meeting = 0;
  for (int row = 2; row < grid.RowCount(); ++row) {
    const auto* mark = grid.MarkOf(row);
    const std::string& line = lines[static_cast<std::size_t>(row)];
    if (mark->kind == screens::ResultsGrid::RowMark::kChosen) {
      ++chosen;
      EXPECT_EQ(line, CsvOf(grid, row) + ",scelta," + mark->margins);
      EXPECT_NE(mark->margins.find("% totale"), std::string::npos) << mark->margins;
    } else if (mark->kind == screens::ResultsGrid::RowMark::kMeets) {
      ++meeting;
      EXPECT_EQ(line.rfind(CsvOf(grid, row) + ",soddisfa,", 0), 0u) << line;
    } else {
      EXPECT_EQ(line, CsvOf(grid, row) + ",,") << line;
    }
  }
  EXPECT_EQ(chosen, 1);
  EXPECT_GT(meeting, 0);

  // The workbook: a ZIP package holding the sheet.
  const QString book = dir.filePath("marked.xlsx");
  ASSERT_TRUE(p.main().ExportResults(book));
  std::ifstream in(book.toStdString(), std::ios::binary);
  std::string magic(4, '\0');
  in.read(magic.data(), 4);
  EXPECT_EQ(magic, std::string("PK\x03\x04", 4));
  EXPECT_TRUE(p.desktop.messages.empty());
}

TEST(ExportResults, aFileThatCannotBeWrittenIsAMessageNamingIt) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  Calculate(w);
  QTemporaryDir dir;
  for (const QString& name :
       {dir.filePath("no-such-folder/results.csv"), dir.filePath("no-such-folder/results.xlsx"),
        dir.filePath("results.txt")}) {
    p.desktop.messages.clear();
    EXPECT_FALSE(p.main().ExportResults(name)) << name.toStdString();
    ASSERT_EQ(p.desktop.messages.size(), 1u) << name.toStdString();
    EXPECT_TRUE(p.desktop.messages[0].text.contains(name))
        << p.desktop.messages[0].text.toStdString();
    EXPECT_EQ(p.desktop.messages[0].icon, screens::Icon::kError);
  }
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}

}  // namespace
}  // namespace vestra::testing
