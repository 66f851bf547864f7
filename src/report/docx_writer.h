#pragma once

// The report as a Word document (.docx): the template's package kept whole (its headers,
// footers, styles, settings, pictures), the report's content added after the template's
// own paragraphs and before its page settings.
//
// Tables are edited after the cursor has left them (cells merged, text added, rows made
// bold by table number), so the writer keeps the content as paragraphs, runs and tables in
// memory and writes the XML only when the document is saved. Tables are numbered in the
// order this writer made them; the template's tables and those of an inserted document are
// not counted.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "report/document_writer.h"

namespace vestra::report {

namespace xml {
class Writer;
}

class DocxWriter final : public DocumentWriter {
 public:
  // Reads the template package whole. Throws ReportError naming the file when it is
  // missing or not a Word document.
  explicit DocxWriter(const std::filesystem::path& templateFile);
  ~DocxWriter() override;

  void MoveToEnd() override;
  void TypeText(std::string_view text) override;
  void EndParagraph() override;

  void SetFontName(std::string_view name) override;
  void SetBold(bool bold) override;
  void SetFontSize(double points) override;
  void SetAlignment(Alignment alignment) override;
  void AddTabStop(double centimetres) override;

  void PageBreak() override;
  void InsertPicture(const std::filesystem::path& file) override;
  void InsertDocument(const std::filesystem::path& file) override;

  void InsertTable(int rows, int columns, ColumnWidths widths) override;
  void NextCell() override;
  int TableCount() const override;
  int RowCount(int table) const override;
  void MergeCells(int table, int row, int firstColumn, int lastColumn) override;
  void AppendCellText(int table, int row, int column, std::string_view text) override;
  void SetCellBold(int table, int row, int column, bool bold) override;
  void SetRowBold(int table, int row, bool bold) override;
  void AutoFitColumns(int table) override;
  void SetTableAlignmentAtCursor(Alignment alignment) override;
  void RemoveCellLeftBorderAtCursor() override;
  void CentreCellVerticallyAtCursor() override;

  void Save(const std::filesystem::path& file) override;

  // The character format of the runs, as the word processor's Font: what was never set
  // is left to the template's styles.
  struct CharFormat {
    std::optional<std::string> font;
    std::optional<bool> bold;
    std::optional<int> halfPoints;
    bool operator==(const CharFormat&) const = default;
  };
  struct ParaFormat {
    std::optional<Alignment> alignment;
    std::vector<int> tabStopsTwips;  // ascending
  };
  // A run of text ("\t" kept as a tab), a picture, or a page break.
  struct Run {
    CharFormat format;
    std::string text;
    int picture = -1;  // index into pictures_
    bool pageBreak = false;
  };
  struct Paragraph {
    ParaFormat format;
    CharFormat mark;  // the paragraph mark's format: the height of an empty paragraph
    std::vector<Run> runs;
  };
  struct Cell {
    std::vector<Paragraph> paragraphs;
    int span = 1;  // grid columns covered after a merge
    bool noLeftBorder = false;
    bool centredVertically = false;
  };
  struct Row {
    std::vector<Cell> cells;
  };
  struct Table {
    int columns = 0;
    ColumnWidths widths = ColumnWidths::kEven;
    bool autoFit = false;
    std::optional<Alignment> alignment;
    std::vector<Row> rows;
  };
  // Body XML copied from another document, its picture references already remapped.
  struct Copied {
    std::string xml;
  };
  struct TableRef {
    int index = 0;  // into tables_
  };
  using Block = std::variant<Paragraph, TableRef, Copied>;

  struct Picture {
    std::string partName;  // inside the package, e.g. "word/media/image1.png"
    std::string relId;
    std::string description;
    std::int64_t widthEmu = 0;
    std::int64_t heightEmu = 0;
  };
  // A part of the package, read whole.
  struct Part {
    std::string name;
    std::string bytes;
  };

 private:
  struct Cursor {
    int table = -1;  // -1: in the body, at its last paragraph
    int row = 0;
    int cell = 0;
  };

  Paragraph& Current();
  void PlaceBeforeCursor(Block block, bool apartFromTable);
  Cell& CurrentCell();
  Table& TableAt(int table, const char* operation);
  const Table& TableAt(int table, const char* operation) const;
  Cell& CellAt(int table, int row, int column, const char* operation);
  void NewParagraph(std::vector<Paragraph>& container);
  void TypeInto(std::vector<Paragraph>& container, std::string_view text);
  void AppendRun(Paragraph& paragraph, std::string_view text);
  std::string NewRelationshipId();
  std::string NewMediaName(std::string_view extension);
  void AddPart(std::string name, std::string bytes);
  // The width a picture may take at the cursor, in twips.
  int AvailableWidthTwips() const;

  std::string DocumentXml() const;
  std::string RelationshipsXml() const;
  std::string ContentTypesXml() const;
  void WriteParagraph(xml::Writer& out, const Paragraph& p, bool inCell) const;
  void WriteTable(xml::Writer& out, const Table& t) const;
  // The columns' widths with the given margin each side of a cell's text.
  std::vector<int> ColumnWidthsTwips(const Table& t, int marginTwips) const;
  // The margin each side of a cell's text: the word processor's, or a narrow one for a
  // table whose words would not fit the page with it.
  int CellMarginTwips(const Table& t) const;
  std::vector<int> WordWidthsTwips(const Table& t, int marginTwips) const;

  std::filesystem::path template_;
  std::vector<Part> parts_;  // the template's parts in their order, then those added
  std::string mainPart_;     // "word/document.xml"
  std::string mainFolder_;   // "word/"
  std::string relsPart_;     // "word/_rels/document.xml.rels"
  // document.xml split around the place where the report's content goes; the root's start
  // tag apart, so that namespace declarations can be added to it.
  std::string beforeRoot_, rootStartTag_, beforeContent_, afterContent_;
  std::vector<std::pair<std::string, std::string>> extraNamespaces_;  // prefix, URI
  std::vector<std::pair<std::string, std::string>> declaredNamespaces_;
  // Relationships added to the main part: id, type, target, external.
  struct Relationship {
    std::string id, type, target;
    bool external = false;
  };
  std::vector<Relationship> newRelationships_;
  std::vector<std::string> usedRelationshipIds_;
  // Content types: the template's [Content_Types].xml with Defaults and Overrides added.
  std::vector<std::pair<std::string, std::string>> newDefaults_;   // extension, type
  std::vector<std::pair<std::string, std::string>> newOverrides_;  // part name, type
  std::vector<std::string> knownExtensions_;                       // lower case

  int pageWidthTwips_ = 0;
  int textWidthTwips_ = 0;
  int textHeightTwips_ = 0;
  int nextDrawingId_ = 1;
  int nextMedia_ = 1;

  std::vector<Block> body_;
  std::vector<Table> tables_;
  std::vector<Picture> pictures_;
  Cursor cursor_;
  CharFormat format_;
};

}  // namespace vestra::report
