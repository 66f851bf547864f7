#pragma once

// The results grid of a selection screen: a table of text cells, two heading rows
// (symbols, then units) and one row per rated model and speed.

#include <string>
#include <string_view>
#include <vector>

namespace vestra::screens {

struct ResultsGrid {
  int Cols = 0;
  std::vector<int> ColWidth;        // twips (1/1440 inch), the minimum a window shows
  std::vector<bool> ColAlignRight;  // every column but the model name
  std::vector<std::vector<std::string>> Rows;
  int FixedRows = 0;  // heading rows that stay in view and cannot be selected

  // The rows that meet a required duty, by grid row (empty: no duty stated): the one
  // chosen, the others that meet it, and the margins a row's tooltip shows.
  struct RowMark {
    enum Kind { kNone, kMeets, kChosen } kind = kNone;
    std::string margins;
  };
  std::vector<RowMark> Marks;
  const RowMark* MarkOf(int row) const {
    return row >= 0 && row < static_cast<int>(Marks.size()) ? &Marks[static_cast<std::size_t>(row)]
                                                            : nullptr;
  }

  int RowCount() const { return static_cast<int>(Rows.size()); }

  // One row per tab-separated text, at the bottom; cells beyond Cols are kept too (the
  // grid shows Cols of them).
  void AddItem(std::string_view tabbedRow);

  // Empties the grid and lays out its columns.
  void Reset(int cols, int firstColWidth, int otherColWidth);

  // The text of a cell; empty outside the grid.
  std::string Cell(int row, int col) const;
};

// The text the grid puts on the clipboard for Ctrl+C: the two heading rows, then the
// selected rows firstRow..lastRow; in each row the cells 0..lastCol, each followed by a
// tab; each row ended by a line feed.
std::string GridCopyText(const ResultsGrid& grid, int firstRow, int lastRow, int lastCol);

}  // namespace vestra::screens
