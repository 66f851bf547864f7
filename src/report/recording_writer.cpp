#include "report/recording_writer.h"

#include <fstream>
#include <system_error>

#include "report/report_error.h"

namespace vestra::report {

void RecordingWriter::MoveToEnd() {
  cursorTable_ = 0;
}

std::string& RecordingWriter::OpenParagraph() {
  if (!paragraphOpen_) {
    body.push_back({Block::kParagraph, "", 0});
    paragraphOpen_ = true;
  }
  return body.back().text;
}

void RecordingWriter::TypeText(std::string_view text) {
  if (cursorTable_ > 0) {
    Cell& cell = CellAt(cursorTable_, cursorRow_, cursorColumn_);
    cell.text += text;
    if (bold_ && !text.empty()) cell.bold = true;
    return;
  }
  for (const char c : text) {
    if (c == '\n') {
      OpenParagraph();
      paragraphOpen_ = false;
    } else {
      OpenParagraph() += c;
    }
  }
}

void RecordingWriter::EndParagraph() {
  if (cursorTable_ > 0) {
    CellAt(cursorTable_, cursorRow_, cursorColumn_).text += "\n";
    return;
  }
  OpenParagraph();
  paragraphOpen_ = false;
}

void RecordingWriter::PageBreak() {
  paragraphOpen_ = false;
  body.push_back({Block::kPageBreak, "", 0});
}

void RecordingWriter::InsertPicture(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw ReportError(kFileNotFound, "The picture " + file.string() + " is not there");
  if (cursorTable_ > 0) {
    CellAt(cursorTable_, cursorRow_, cursorColumn_).text +=
        "[picture " + file.filename().string() + "]";
    return;
  }
  paragraphOpen_ = false;
  body.push_back({Block::kPicture, file.string(), 0});
}

void RecordingWriter::InsertDocument(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw ReportError(kFileNotFound, "The document " + file.string() + " is not there");
  paragraphOpen_ = false;
  body.push_back({Block::kDocument, file.string(), 0});
}

void RecordingWriter::InsertTable(int rows, int columns, ColumnWidths widths) {
  Table table;
  table.columns = columns;
  table.widths = widths;
  table.fontSize = fontSize;
  table.rows.assign(static_cast<std::size_t>(rows),
                    std::vector<Cell>(static_cast<std::size_t>(columns)));
  tables.push_back(std::move(table));
  paragraphOpen_ = false;
  body.push_back({Block::kTable, "", TableCount()});
  cursorTable_ = TableCount();
  cursorRow_ = 1;
  cursorColumn_ = 1;
}

void RecordingWriter::NextCell() {
  if (cursorTable_ == 0) return;
  Table& table = Mutable(cursorTable_);
  const auto& row = table.rows[static_cast<std::size_t>(cursorRow_ - 1)];
  if (cursorColumn_ < static_cast<int>(row.size())) {
    ++cursorColumn_;
    return;
  }
  if (cursorRow_ == static_cast<int>(table.rows.size()))
    table.rows.emplace_back(static_cast<std::size_t>(table.columns));
  ++cursorRow_;
  cursorColumn_ = 1;
}

int RecordingWriter::RowCount(int table) const {
  return static_cast<int>(At(table).rows.size());
}

const RecordingWriter::Table& RecordingWriter::At(int table) const {
  if (table < 1 || table > TableCount())
    throw ReportError(kSubscriptOutOfRange, "No table " + std::to_string(table));
  return tables[static_cast<std::size_t>(table - 1)];
}

RecordingWriter::Table& RecordingWriter::Mutable(int table) {
  return const_cast<Table&>(At(table));
}

RecordingWriter::Cell& RecordingWriter::CellAt(int table, int row, int column) {
  Table& t = Mutable(table);
  if (row < 1 || row > static_cast<int>(t.rows.size()))
    throw ReportError(kSubscriptOutOfRange,
                      "No row " + std::to_string(row) + " in table " + std::to_string(table));
  auto& cells = t.rows[static_cast<std::size_t>(row - 1)];
  if (column < 1 || column > static_cast<int>(cells.size()))
    throw ReportError(kSubscriptOutOfRange, "No cell (" + std::to_string(row) + ", " +
                                                std::to_string(column) + ") in table " +
                                                std::to_string(table));
  return cells[static_cast<std::size_t>(column - 1)];
}

void RecordingWriter::MergeCells(int table, int row, int firstColumn, int lastColumn) {
  Cell& first = CellAt(table, row, firstColumn);
  CellAt(table, row, lastColumn);
  auto& cells = Mutable(table).rows[static_cast<std::size_t>(row - 1)];
  for (int c = firstColumn + 1; c <= lastColumn; ++c) {
    const Cell& next = cells[static_cast<std::size_t>(c - 1)];
    if (!next.text.empty()) first.text += (first.text.empty() ? "" : "\n") + next.text;
    first.span += next.span;
  }
  const bool bold = first.bold;
  const std::string text = first.text;
  const int span = first.span;
  cells.erase(cells.begin() + firstColumn, cells.begin() + lastColumn);
  cells[static_cast<std::size_t>(firstColumn - 1)] = {text, bold, span};
}

void RecordingWriter::AppendCellText(int table, int row, int column, std::string_view text) {
  CellAt(table, row, column).text += text;
}

void RecordingWriter::SetCellBold(int table, int row, int column, bool bold) {
  CellAt(table, row, column).bold = bold;
}

void RecordingWriter::SetRowBold(int table, int row, bool bold) {
  CellAt(table, row, 1);
  for (Cell& cell : Mutable(table).rows[static_cast<std::size_t>(row - 1)]) cell.bold = bold;
}

void RecordingWriter::AutoFitColumns(int table) {
  Mutable(table).widths = ColumnWidths::kFitContents;
}

void RecordingWriter::SetTableAlignmentAtCursor(Alignment alignment) {
  if (cursorTable_ > 0) Mutable(cursorTable_).centred = alignment == Alignment::kCentre;
}

void RecordingWriter::Save(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec))
    throw ReportError(58, "The report " + file.string() + " exists already");
  std::ofstream out(file);
  for (const std::string& paragraph : Paragraphs()) out << paragraph << '\n';
  if (!out)
    throw ReportError(kPathFileAccessError, "The report " + file.string() + " cannot be written");
}

std::vector<std::string> RecordingWriter::Paragraphs() const {
  std::vector<std::string> out;
  for (const Block& block : body)
    if (block.kind == Block::kParagraph) out.push_back(block.text);
  return out;
}

std::vector<std::string> RecordingWriter::RowTexts(int table, int row) const {
  const Table& t = At(table);
  std::vector<std::string> out;
  if (row < 1 || row > static_cast<int>(t.rows.size())) return out;
  for (const Cell& cell : t.rows[static_cast<std::size_t>(row - 1)]) out.push_back(cell.text);
  return out;
}

}  // namespace vestra::report
