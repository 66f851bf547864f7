#pragma once

// What the report asks of a word processor: text typed at a cursor with a character and
// paragraph format, tables built cell by cell, pictures, page breaks, another document's
// body, and saving. The report builder speaks only to this interface; a recording writer
// lets the tests read the document's structure, the DOCX writer makes the file.
//
// The cursor is either in the body (after its last paragraph) or in a table cell. Tables
// are numbered from 1 in the order they were made, rows and columns from 1. Texts are
// UTF-8; a "\t" in a text is a tab, a "\n" ends the paragraph.

#include <filesystem>
#include <string_view>

namespace vestra::report {

enum class Alignment { kLeft, kCentre };

// How a new table's columns are sized: evenly over the page's width, or to their contents.
enum class ColumnWidths { kEven, kFitContents };

class DocumentWriter {
 public:
  virtual ~DocumentWriter() = default;

  // The cursor to the end of the document, out of any table (the word processor's
  // EndKey to the story's end).
  virtual void MoveToEnd() = 0;
  virtual void TypeText(std::string_view text) = 0;
  // A paragraph mark at the cursor: what follows starts a new paragraph with the same
  // format.
  virtual void EndParagraph() = 0;

  // The character format of what is typed next.
  virtual void SetFontName(std::string_view name) = 0;
  virtual void SetBold(bool bold) = 0;
  virtual void SetFontSize(double points) = 0;
  // The paragraph format of the current paragraph and those that follow it.
  virtual void SetAlignment(Alignment alignment) = 0;
  virtual void AddTabStop(double centimetres) = 0;

  virtual void PageBreak() = 0;
  // A picture embedded at the cursor at its own size, scaled down to the page (or the
  // cell) when larger. Throws ReportError naming the file when it cannot be read.
  virtual void InsertPicture(const std::filesystem::path& file) = 0;
  // The body of another document (text, tables, pictures) at the cursor. Throws
  // ReportError naming the file when it cannot be read.
  virtual void InsertDocument(const std::filesystem::path& file) = 0;

  // A new table at the cursor, the cursor in its first cell.
  virtual void InsertTable(int rows, int columns, ColumnWidths widths) = 0;
  // The cursor to the next cell of its table; from the last cell a new row is appended.
  virtual void NextCell() = 0;
  virtual int TableCount() const = 0;
  virtual int RowCount(int table) const = 0;
  // Cells firstColumn..lastColumn of a row become one cell; their texts are kept.
  virtual void MergeCells(int table, int row, int firstColumn, int lastColumn) = 0;
  virtual void AppendCellText(int table, int row, int column, std::string_view text) = 0;
  virtual void SetCellBold(int table, int row, int column, bool bold) = 0;
  virtual void SetRowBold(int table, int row, bool bold) = 0;
  virtual void AutoFitColumns(int table) = 0;
  // The table the cursor is in: its rows aligned on the page.
  virtual void SetTableAlignmentAtCursor(Alignment alignment) = 0;
  // The cell the cursor is in: no left border; its content centred vertically.
  virtual void RemoveCellLeftBorderAtCursor() = 0;
  virtual void CentreCellVerticallyAtCursor() = 0;

  // The document saved as `file`, which must not exist yet: written beside it under a
  // temporary name, then moved into place, so that a failure leaves nothing under the
  // report's name. Throws ReportError naming the file and the cause.
  virtual void Save(const std::filesystem::path& file) = 0;
};

}  // namespace vestra::report
