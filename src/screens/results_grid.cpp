#include "screens/results_grid.h"

#include <algorithm>

namespace vestra::screens {

void ResultsGrid::AddItem(std::string_view tabbedRow) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = tabbedRow.find('\t', start);
    if (tab == std::string_view::npos) {
      cells.emplace_back(tabbedRow.substr(start));
      break;
    }
    cells.emplace_back(tabbedRow.substr(start, tab - start));
    start = tab + 1;
  }
  Rows.push_back(std::move(cells));
}

void ResultsGrid::Reset(int cols, int firstColWidth, int otherColWidth) {
  Rows.clear();
  Marks.clear();
  FixedRows = 0;
  Cols = cols;
  ColWidth.assign(static_cast<std::size_t>(cols), otherColWidth);
  ColAlignRight.assign(static_cast<std::size_t>(cols), true);
  if (cols > 0) {
    ColWidth[0] = firstColWidth;
    ColAlignRight[0] = false;
  }
}

std::string ResultsGrid::Cell(int row, int col) const {
  if (row < 0 || row >= RowCount() || col < 0) return "";
  const auto& cells = Rows[static_cast<std::size_t>(row)];
  if (col >= static_cast<int>(cells.size())) return "";
  return cells[static_cast<std::size_t>(col)];
}

std::string GridCopyText(const ResultsGrid& grid, int firstRow, int lastRow, int lastCol) {
  std::string text;
  auto addRow = [&](int row) {
    for (int col = 0; col <= lastCol; ++col) text += grid.Cell(row, col) + '\t';
    text += '\n';
  };
  addRow(0);
  addRow(1);
  for (int row = std::max(firstRow, 0); row <= lastRow && row < grid.RowCount(); ++row) addRow(row);
  return text;
}

}  // namespace vestra::screens
