#pragma once

// Turns the catalogue's text sources into the SQLite file the program reads: a schema
// (CREATE TABLE statements) and, per table, one CSV file named after the table whose
// header names the fields. An empty cell is Null; a quoted empty cell ("") is an empty
// text. The build runs this through the vestra-mkdb tool.

#include <stdexcept>
#include <string>
#include <vector>

namespace vestra {

class CatalogueBuildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One CSV record split into cells; `nulls` marks the unquoted empty cells.
struct CsvRecord {
  std::vector<std::string> cells;
  std::vector<bool> nulls;
};

// Splits CSV text (comma separated, "..." quoting with "" for a quote, LF or CRLF line
// ends; blank lines are skipped). `where` names the source in error messages.
std::vector<CsvRecord> ParseCsv(const std::string& text, const std::string& where);

// Builds `outputPath` from the schema file and the CSV folder. Every table of the schema
// needs its file, and every CSV file its table; header fields must be exactly the table's
// fields; numeric fields must hold numbers (whole numbers for the integer fields). The
// file is written beside the output and renamed over it only when complete.
void BuildCatalogue(const std::string& schemaPath, const std::string& csvFolder,
                    const std::string& outputPath);

}  // namespace vestra
