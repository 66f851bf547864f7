#pragma once

// The rooms of a schedule as a table of text cells, read from a CSV file (comma or
// semicolon separated, quoted fields with doubled quotes, UTF-8 with or without its byte
// order mark, either line ending) or from the first sheet of an Excel workbook.

#include <string>
#include <vector>

namespace vestra::cli {

// A schedule that cannot be read: the message names the file and, where it applies, the
// line (CSV) or the cell (XLSX).
struct InputError {
  std::string message;
};

struct InputRecord {
  int line = 0;  // the CSV line or the worksheet row the record starts on, from 1
  std::vector<std::string> cells;
};

struct InputTable {
  std::vector<InputRecord> records;  // blank lines left out
  // A workbook's numbers come as the file stores them, with "." as the decimal point.
  bool fromWorkbook = false;
};

// Reads `path` as a workbook when it is a ZIP package (as every .xlsx is), else as CSV.
InputTable ReadSchedule(const std::string& path);

// The CSV text of a file (its name for messages): the separator is the one of ";" and ","
// that the first line holds more of outside quotes.
InputTable ParseCsv(std::string text, const std::string& name);

}  // namespace vestra::cli
