#pragma once

// A results table written out for a spreadsheet: its heading rows (symbols, then units),
// then its rows, as CSV text or as an Excel workbook of one sheet. The schedule tool writes
// its rooms this way, and the program's "Export results..." a screen's grid. A row may
// carry the duty mark of the screen (chosen, meets), which the workbook shows by its fill.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vestra::report {

// A table that could not be written: the message names the file and the cause.
class ExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One cell: the text as shown, and its value when it is a number, written to a workbook
// as a number (with as many decimals as the text shows).
struct TableCell {
  std::string text;
  std::optional<double> number;
};

// The text of a grid cell as a cell: a number when the whole text is one, written with
// `decimalSeparator` ("1234", "12.5", "-3,2"), text otherwise ("> 150", "Max", "").
TableCell CellOf(std::string text, char decimalSeparator);

// The duty mark of a row, as the screen shows it.
enum class RowMark { kNone, kMeets, kChosen };

struct ExportTable {
  std::string sheetName;                           // the workbook's sheet (cut to what fits)
  std::vector<std::vector<std::string>> headings;  // heading rows: bold, frozen in a sheet
  std::vector<std::vector<TableCell>> rows;
  std::vector<RowMark> marks;  // per row; empty or shorter: unmarked
};

// The table as CSV: the heading rows, then the rows, `separator` between the fields, a
// field quoted (its quotes doubled) when it holds the separator, a quote, a line break or
// leading or trailing blanks; lines end in "\n".
std::string CsvText(const ExportTable& table, char separator = ',');

// Write the table to `path`, first under a temporary name beside it, renamed when whole,
// so that a failed write never leaves a half-written file under the name asked for.
// Throws ExportError naming the file and the cause.
void WriteCsv(const ExportTable& table, const std::filesystem::path& path, char separator = ',');
void WriteXlsx(const ExportTable& table, const std::filesystem::path& path);

}  // namespace vestra::report
