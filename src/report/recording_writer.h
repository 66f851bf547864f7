#pragma once

// A document writer that keeps what it was asked to write as a structure a test can read:
// the body's paragraphs, the tables cell by cell (with their merges and bold), the
// pictures and documents inserted, the page breaks, and the font size each table was
// begun with. Nothing is written to disk but a plain-text dump at Save.

#include <filesystem>
#include <string>
#include <vector>

#include "report/document_writer.h"

namespace vestra::report {

class RecordingWriter final : public DocumentWriter {
 public:
  struct Cell {
    std::string text;
    bool bold = false;  // some of its text typed bold, or the cell or its row made bold
    int span = 1;       // columns it covers after a merge
  };
  struct Table {
    int columns = 0;
    ColumnWidths widths = ColumnWidths::kEven;
    double fontSize = 0;  // the character size when the table was begun
    std::vector<std::vector<Cell>> rows;
    bool centred = false;
  };
  // What the body holds, in order: a paragraph's text, a table (its index), a picture, a
  // page break or another document's body.
  struct Block {
    enum Kind { kParagraph, kTable, kPicture, kPageBreak, kDocument } kind = kParagraph;
    std::string text;  // the paragraph's text, or the picture's or document's file
    int table = 0;     // for kTable: its number, from 1
  };

  void MoveToEnd() override;
  void TypeText(std::string_view text) override;
  void EndParagraph() override;
  void SetFontName(std::string_view name) override { fontName = std::string(name); }
  void SetBold(bool bold) override { bold_ = bold; }
  void SetFontSize(double points) override { fontSize = points; }
  // Paragraph alignment is the DOCX writer's to show; the tests read the tables'.
  void SetAlignment(Alignment) override {}
  void AddTabStop(double centimetres) override { tabStops.push_back(centimetres); }
  void PageBreak() override;
  void InsertPicture(const std::filesystem::path& file) override;
  void InsertDocument(const std::filesystem::path& file) override;
  void InsertTable(int rows, int columns, ColumnWidths widths) override;
  void NextCell() override;
  int TableCount() const override { return static_cast<int>(tables.size()); }
  int RowCount(int table) const override;
  void MergeCells(int table, int row, int firstColumn, int lastColumn) override;
  void AppendCellText(int table, int row, int column, std::string_view text) override;
  void SetCellBold(int table, int row, int column, bool bold) override;
  void SetRowBold(int table, int row, bool bold) override;
  void AutoFitColumns(int table) override;
  void SetTableAlignmentAtCursor(Alignment alignment) override;
  void RemoveCellLeftBorderAtCursor() override {}
  void CentreCellVerticallyAtCursor() override {}
  void Save(const std::filesystem::path& file) override;

  // The texts of the body's paragraphs, in order (empty paragraphs included).
  std::vector<std::string> Paragraphs() const;
  // A table by its number, from 1.
  const Table& At(int table) const;
  // The texts of a table's row, cell by cell.
  std::vector<std::string> RowTexts(int table, int row) const;

  std::vector<Block> body;
  std::vector<Table> tables;
  std::vector<double> tabStops;
  std::string fontName;
  double fontSize = 0;

 private:
  Table& Mutable(int table);
  Cell& CellAt(int table, int row, int column);
  std::string& OpenParagraph();

  bool bold_ = false;
  bool paragraphOpen_ = false;
  // The cursor: in the body (table 0) or in a cell of a table.
  int cursorTable_ = 0, cursorRow_ = 0, cursorColumn_ = 0;
};

}  // namespace vestra::report
