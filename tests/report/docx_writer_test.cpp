#include "report/docx_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "report/report_error.h"
#include "report/xml_writer.h"

namespace vestra::report {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// ---- Packages, pictures and XML, made and read by hand ----------------------------------

void WriteZip(const fs::path& file, const Files& entries) {
  int error = 0;
  zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr) << file;
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    ASSERT_GE(zip_file_add(zip, name.c_str(), source, 0), 0) << name;
  }
  ASSERT_EQ(zip_close(zip), 0) << file;
}

Files ReadZip(const fs::path& file) {
  Files out;
  int error = 0;
  zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!zip) {
    ADD_FAILURE() << file << " is not a zip package (libzip error " << error << ")";
    return out;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(zip, zip_uint64_t(i), 0, &st);
    std::string bytes(st.size, '\0');
    zip_file_t* f = zip_fopen_index(zip, zip_uint64_t(i), 0);
    EXPECT_EQ(zip_fread(f, bytes.data(), st.size), zip_int64_t(st.size)) << st.name;
    zip_fclose(f);
    out[st.name] = std::move(bytes);
  }
  zip_close(zip);
  return out;
}

std::string Be32(std::uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string Chunk(const std::string& type, const std::string& data) {
  return Be32(std::uint32_t(data.size())) + type + data + Be32(Crc32(type + data));
}

// A real RGB PNG (stored, uncompressed deflate blocks) of a red and blue check, with a
// density chunk when pixelsPerMetre is not 0.
std::string Png(std::uint32_t width, std::uint32_t height, std::uint32_t pixelsPerMetre = 0) {
  std::string raw;
  for (std::uint32_t y = 0; y < height; ++y) {
    raw += '\0';
    for (std::uint32_t x = 0; x < width; ++x) {
      const bool red = ((x / 8) + (y / 8)) % 2 == 0;
      raw += red ? std::string("\xE0\x20\x20", 3) : std::string("\x20\x40\xE0", 3);
    }
  }
  std::string z = "\x78\x01";
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z += char(at + n >= raw.size() ? 1 : 0);
    z += {char(n & 0xFF), char(n >> 8), char(~n & 0xFF), char((~n >> 8) & 0xFF)};
    z += raw.substr(at, n);
  }
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  z += Be32((b << 16) | a);
  std::string png("\x89PNG\r\n\x1a\n", 8);
  png += Chunk("IHDR", Be32(width) + Be32(height) + std::string("\x08\x02\x00\x00\x00", 5));
  if (pixelsPerMetre)
    png += Chunk("pHYs", Be32(pixelsPerMetre) + Be32(pixelsPerMetre) + std::string("\x01", 1));
  return png + Chunk("IDAT", z) + Chunk("IEND", "");
}

// The headers of a JPEG, enough for its size and density (units 1: dots per inch, 2: per
// centimetre).
std::string JpegHeader(std::uint16_t width, std::uint16_t height, int units,
                       std::uint16_t density) {
  const auto be16 = [](std::uint16_t v) { return std::string{char(v >> 8), char(v & 0xFF)}; };
  std::string j = "\xFF\xD8\xFF\xE0" + be16(16) + std::string("JFIF\0\x01\x02", 7) + char(units) +
                  be16(density) + be16(density) + std::string(2, '\0');
  j += "\xFF\xC0" + be16(17) + "\x08" + be16(height) + be16(width) + "\x03";
  for (char id : {'\x01', '\x02', '\x03'}) j += std::string{id, '\x11', '\x00'};
  return j + "\xFF\xD9";
}

void WriteFile(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kR = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string PackageRels() {
  return std::string(kDeclaration) +
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
}

// A template as small as the word processor accepts: one paragraph, a header part that
// the page settings refer to, an A4 page with 2 cm margins at the sides.
Files TemplatePackage() {
  Files f;
  f["[Content_Types].xml"] =
      std::string(kDeclaration) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
      "<Override PartName=\"/word/header1.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/></Types>";
  f["_rels/.rels"] = PackageRels();
  f["word/_rels/document.xml.rels"] =
      std::string(kDeclaration) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/header\" Target=\"header1.xml\"/></Relationships>";
  f["word/header1.xml"] = std::string(kDeclaration) + "<w:hdr xmlns:w=\"" + kW +
                          "\"><w:p><w:r><w:t>Template header</w:t></w:r></w:p></w:hdr>";
  f["word/document.xml"] =
      std::string(kDeclaration) + "<w:document xmlns:w=\"" + kW + "\" xmlns:r=\"" + kR +
      "\"><w:body><w:p><w:r><w:t>Template paragraph</w:t></w:r></w:p>"
      "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId1\"/>"
      "<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1417\" w:right=\"1134\" "
      "w:bottom=\"1134\" w:left=\"1134\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/>"
      "</w:sectPr></w:body></w:document>";
  return f;
}

// A specification text with a picture, a table, a paragraph id and a w14 element (whose
// namespace the report must then declare), and its own page settings.
Files SpecificationPackage() {
  Files f = TemplatePackage();
  f.erase("word/header1.xml");
  f["[Content_Types].xml"] =
      std::string(kDeclaration) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Default Extension=\"png\" ContentType=\"image/png\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
  f["word/_rels/document.xml.rels"] =
      std::string(kDeclaration) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/image\" Target=\"media/image1.png\"/></Relationships>";
  f["word/media/image1.png"] = Png(48, 24);
  const std::string drawing =
      "<w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"457200\"/><wp:docPr id=\"1\" "
      "name=\"Picture 1\"/><a:graphic><a:graphicData "
      "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr>"
      "<pic:cNvPr id=\"0\" name=\"image1.png\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill>"
      "<a:blip r:embed=\"rId7\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr>"
      "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"914400\" cy=\"457200\"/></a:xfrm>"
      "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic></a:graphicData>"
      "</a:graphic></wp:inline></w:drawing>";
  f["word/document.xml"] =
      std::string(kDeclaration) + "<w:document xmlns:w=\"" + kW + "\" xmlns:r=\"" + kR +
      "\" xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
      "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\" "
      "xmlns:w14=\"http://schemas.microsoft.com/office/word/2010/wordml\"><w:body>"
      "<w:p w14:paraId=\"1A2B3C4D\" w14:textId=\"77777777\"><w:r><w:rPr><w14:ligatures "
      "w14:val=\"standard\"/></w:rPr><w:t>Specification &amp; text</w:t></w:r></w:p>"
      "<w:p><w:r>" +
      drawing +
      "</w:r></w:p><w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr><w:tc><w:p>"
      "<w:r><w:t>Spec cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/>"
      "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>";
  return f;
}

// Every tag closed in order, and every prefix used declared on the root (the one place this
// writer declares namespaces). Returns the first fault, or an empty text.
std::string XmlFault(const std::string& text) {
  try {
    xml::Scanner scanner(text);
    std::vector<std::string_view> open;
    std::set<std::string, std::less<>> declared = {"xml", "xmlns"};
    std::set<std::string, std::less<>> used;
    while (auto t = scanner.Next()) {
      using K = xml::Token::Kind;
      if (t->kind == K::kText) {
        const std::string_view s = std::string_view(text).substr(t->begin, t->end - t->begin);
        if (s.find_first_of("<>") != std::string_view::npos) return "a bare < or > in text";
        continue;
      }
      if (t->kind == K::kOther) continue;
      if (t->kind == K::kEndTag) {
        if (open.empty() || open.back() != t->name)
          return "</" + std::string(t->name) + "> closes " +
                 (open.empty() ? "nothing" : std::string(open.back()));
        open.pop_back();
        continue;
      }
      const auto attrs =
          xml::ParseAttributes(std::string_view(text).substr(t->begin, t->end - t->begin));
      used.insert(std::string(xml::PrefixOf(t->name)));
      for (const auto& [name, value] : attrs) {
        if (name.starts_with("xmlns:")) {
          if (open.empty()) declared.insert(std::string(name.substr(6)));
        } else if (name != "xmlns") {
          used.insert(std::string(xml::PrefixOf(name)));
        }
      }
      if (t->kind == K::kStartTag) open.push_back(t->name);
    }
    if (!open.empty()) return "<" + std::string(open.back()) + "> is never closed";
    for (const auto& prefix : used)
      if (!prefix.empty() && !declared.contains(prefix))
        return "the prefix " + prefix + " is not declared on the root";
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

int Count(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (auto at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
    ++n;
  return n;
}

// The tables of a document part as rows of cell spans ({1, 2}: two cells, the second
// merged over two columns), and the widths of their grid columns.
struct TableShape {
  std::vector<std::vector<int>> rows;
  std::vector<int> grid;
  std::string properties;  // the tblPr element's XML
};
std::vector<TableShape> Tables(const std::string& text) {
  std::vector<TableShape> out;
  xml::Scanner scanner(text);
  std::size_t tblPrBegin = 0;
  while (auto t = scanner.Next()) {
    using K = xml::Token::Kind;
    const std::string_view tag = std::string_view(text).substr(t->begin, t->end - t->begin);
    if (t->kind == K::kStartTag && t->name == "w:tbl") out.emplace_back();
    if (out.empty()) continue;
    if (t->kind == K::kStartTag && t->name == "w:tblPr") tblPrBegin = t->begin;
    if (t->kind == K::kEndTag && t->name == "w:tblPr")
      out.back().properties = text.substr(tblPrBegin, t->end - tblPrBegin);
    if (t->kind == K::kStartTag && t->name == "w:tr") out.back().rows.emplace_back();
    if (t->kind == K::kStartTag && t->name == "w:tc") out.back().rows.back().push_back(1);
    if (t->kind == K::kEmptyTag && t->name == "w:gridSpan")
      out.back().rows.back().back() =
          std::stoi(*xml::AttributeOf(xml::ParseAttributes(tag), "w:val"));
    if (t->kind == K::kEmptyTag && t->name == "w:gridCol")
      out.back().grid.push_back(std::stoi(*xml::AttributeOf(xml::ParseAttributes(tag), "w:w")));
  }
  return out;
}

// The extents (cx, cy in EMU) of the drawings in a document part, in order.
std::vector<std::pair<long, long>> Extents(const std::string& text) {
  std::vector<std::pair<long, long>> out;
  xml::Scanner scanner(text);
  while (auto t = scanner.Next()) {
    if (t->name != "wp:extent") continue;
    const auto a = xml::ParseAttributes(std::string_view(text).substr(t->begin, t->end - t->begin));
    out.emplace_back(std::stol(*xml::AttributeOf(a, "cx")), std::stol(*xml::AttributeOf(a, "cy")));
  }
  return out;
}

class DocxWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vestra-docx-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    template_ = dir_ / "intest.docx";
    WriteZip(template_, TemplatePackage());
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Saves the document and returns its package.
  Files SaveAndRead(DocxWriter& w, const std::string& name = "report.docx") {
    w.Save(dir_ / name);
    return ReadZip(dir_ / name);
  }

  fs::path dir_;
  fs::path template_;
};

template <typename F>
ReportError Thrown(F&& f) {
  try {
    f();
  } catch (const ReportError& e) {
    return e;
  }
  ADD_FAILURE() << "no ReportError";
  return ReportError(0, "");
}

// The document of the reading check: every kind of content the report builder writes.
void WriteSample(DocxWriter& w, const fs::path& dir) {
  WriteFile(dir / "photo.png", Png(64, 32));
  WriteZip(dir / "spec.docx", SpecificationPackage());
  w.MoveToEnd();
  w.SetFontName("Arial");
  w.AddTabStop(3);
  w.SetBold(true);
  w.SetFontSize(12);
  w.TypeText("Date :\t01/02/2024");
  w.EndParagraph();
  w.SetBold(false);
  w.SetFontSize(10);
  w.InsertTable(3, 3, ColumnWidths::kFitContents);
  const int table = w.TableCount();
  for (int r = 1; r <= 4; ++r)  // one row more than made: NextCell from the last cell
    for (int c = 1; c <= 3; ++c) {
      if (!(r == 2 && c == 3)) w.TypeText("R" + std::to_string(r) + "C" + std::to_string(c));
      if (r < 4 || c < 3) w.NextCell();
    }
  w.MoveToEnd();
  w.MergeCells(table, 2, 2, 3);
  w.SetRowBold(table, 1, true);
  w.TypeText("After the table");
  w.EndParagraph();
  w.SetAlignment(Alignment::kCentre);
  w.InsertPicture(dir / "photo.png");
  w.EndParagraph();
  w.PageBreak();
  w.InsertDocument(dir / "spec.docx");
  w.TypeText("The end");
}

// ---- The whole document -----------------------------------------------------------------

TEST_F(DocxWriterTest, writesValidPackageKeepingTemplateParts) {
  DocxWriter w(template_);
  WriteSample(w, dir_);
  EXPECT_EQ(w.RowCount(1), 4);
  Files out = SaveAndRead(w);

  for (const char* part :
       {"[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels", "word/document.xml"})
    EXPECT_TRUE(out.contains(part)) << part;
  EXPECT_EQ(out["word/header1.xml"], TemplatePackage()["word/header1.xml"]);
  EXPECT_NE(out["[Content_Types].xml"].find("Extension=\"png\" ContentType=\"image/png\""),
            std::string::npos);

  const std::string& doc = out["word/document.xml"];
  EXPECT_EQ(XmlFault(doc), "");
  EXPECT_EQ(XmlFault(out["[Content_Types].xml"]), "");
  EXPECT_EQ(XmlFault(out["word/_rels/document.xml.rels"]), "");
  // The template's paragraph first, its page settings (with the header) last.
  const auto templateText = doc.find("Template paragraph");
  EXPECT_LT(templateText, doc.find("Date :"));
  EXPECT_LT(doc.find("The end"), doc.find("<w:sectPr>"));
  EXPECT_NE(doc.find("<w:headerReference w:type=\"default\" r:id=\"rId1\"/>"), std::string::npos);
  EXPECT_EQ(Count(doc, "<w:sectPr"), 1) << "the inserted document's page settings left out";

  EXPECT_NE(doc.find("<w:tab w:val=\"left\" w:pos=\"1701\"/>"), std::string::npos);
  EXPECT_NE(doc.find("<w:t xml:space=\"preserve\">Date :</w:t><w:tab/>"), std::string::npos);
  EXPECT_NE(doc.find("<w:rFonts w:ascii=\"Arial\""), std::string::npos);
  EXPECT_NE(doc.find("<w:sz w:val=\"24\"/>"), std::string::npos);
  EXPECT_NE(doc.find("<w:br w:type=\"page\"/>"), std::string::npos);
  EXPECT_NE(doc.find("<w:jc w:val=\"center\"/>"), std::string::npos);

  const auto tables = Tables(doc);
  ASSERT_EQ(tables.size(), 2u);  // the report's and the inserted document's
  const std::vector<std::vector<int>> shape = {{1, 1, 1}, {1, 2}, {1, 1, 1}, {1, 1, 1}};
  EXPECT_EQ(tables[0].rows, shape);
  EXPECT_EQ(tables[0].grid.size(), 3u);
  EXPECT_NE(tables[0].properties.find("<w:tblW w:w=\"0\" w:type=\"auto\"/>"), std::string::npos);

  // Both pictures, each with its own relationship to a part in the package, and
  // drawing ids that are unique.
  EXPECT_EQ(Count(doc, "<w:drawing>"), 2);
  EXPECT_EQ(Count(doc, "w14:paraId"), 0);
  const std::string& rels = out["word/_rels/document.xml.rels"];
  std::set<std::string> ids;
  xml::Scanner scanner(doc);
  while (auto t = scanner.Next()) {
    if (t->kind != xml::Token::Kind::kStartTag && t->kind != xml::Token::Kind::kEmptyTag) continue;
    const auto a = xml::ParseAttributes(std::string_view(doc).substr(t->begin, t->end - t->begin));
    if (t->name == "wp:docPr") {
      EXPECT_TRUE(ids.insert(*xml::AttributeOf(a, "id")).second);
    }
    if (auto embed = xml::AttributeOf(a, "r:embed")) {
      const auto at = rels.find("Id=\"" + *embed + "\"");
      ASSERT_NE(at, std::string::npos) << *embed;
      const auto target = rels.find("Target=\"", at) + 8;
      const std::string part = "word/" + rels.substr(target, rels.find('"', target) - target);
      EXPECT_TRUE(out.contains(part)) << part;
    }
  }
  EXPECT_EQ(ids.size(), 2u);
}

// ---- Text -------------------------------------------------------------------------------

TEST_F(DocxWriterTest, escapesMarkupAndDropsWhatXmlForbids) {
  DocxWriter w(template_);
  w.TypeText("a&b <c> \"d\" 'e'\x01\x0B f\xFF g\xC3\xA8");  // two controls, a stray byte, è
  w.AppendCellText(0 + (w.InsertTable(1, 1, ColumnWidths::kEven), 1), 1, 1, "x\ty\nz<");
  Files out = SaveAndRead(w);
  const std::string& doc = out["word/document.xml"];
  EXPECT_EQ(XmlFault(doc), "");
  EXPECT_NE(doc.find("a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos; f\xEF\xBF\xBD g\xC3\xA8"),
            std::string::npos);
  EXPECT_EQ(doc.find('\x01'), std::string::npos);
  EXPECT_EQ(doc.find('\x0B'), std::string::npos);
  // In a cell: the tab, then a second paragraph.
  EXPECT_NE(doc.find("x</w:t><w:tab/><w:t xml:space=\"preserve\">y</w:t></w:r></w:p><w:p>"),
            std::string::npos);
}

TEST_F(DocxWriterTest, paragraphFormatStaysWithItsParagraph) {
  DocxWriter w(template_);
  w.SetAlignment(Alignment::kCentre);
  w.TypeText("centred");
  w.EndParagraph();
  w.TypeText("still centred");
  w.EndParagraph();
  w.SetAlignment(Alignment::kLeft);
  w.TypeText("left");
  const std::string doc = SaveAndRead(w)["word/document.xml"];
  const auto centred = doc.rfind("<w:jc w:val=\"center\"/>", doc.find("still centred"));
  EXPECT_GT(centred, doc.find("centred"));
  EXPECT_GT(doc.rfind("<w:jc w:val=\"left\"/>", doc.find(">left<")), doc.find("still centred"));
}

// ---- Tables -----------------------------------------------------------------------------

TEST_F(DocxWriterTest, mergeKeepsTextsAsParagraphsAndDropsEmptyOnes) {
  DocxWriter w(template_);
  w.InsertTable(2, 4, ColumnWidths::kEven);
  w.TypeText("one");
  w.NextCell();
  w.NextCell();  // the second cell stays empty
  w.TypeText("three");
  w.MoveToEnd();
  w.MergeCells(1, 1, 1, 3);
  w.AppendCellText(1, 1, 2, "four");  // the fourth cell is now the second
  w.SetCellBold(1, 1, 2, true);
  const std::string doc = SaveAndRead(w)["word/document.xml"];
  const auto tables = Tables(doc);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].rows, (std::vector<std::vector<int>>{{3, 1}, {1, 1, 1, 1}}));
  // "one" and "three" in paragraphs of their own, nothing left of the empty cell.
  const auto one = doc.find(">one<"), three = doc.find(">three<");
  ASSERT_LT(one, three);
  EXPECT_EQ(Count(doc.substr(one, three - one), "</w:p><w:p>"), 1);
  EXPECT_NE(
      doc.find("<w:b w:val=\"1\"/><w:bCs w:val=\"1\"/></w:rPr><w:t xml:space=\"preserve\">four"),
      std::string::npos);
  // Every cell holds a paragraph.
  EXPECT_EQ(Count(doc, "<w:tc>"), 6);
  EXPECT_EQ(Count(doc, "</w:tcPr><w:p"), 6);
  // Even columns: a fixed layout over the text width (11906 less two 1134 margins).
  EXPECT_EQ(tables[0].grid, (std::vector<int>{2409, 2409, 2409, 2409}));
  EXPECT_NE(tables[0].properties.find("<w:tblLayout w:type=\"fixed\"/>"), std::string::npos);
  EXPECT_NE(tables[0].properties.find("<w:tblW w:w=\"9638\" w:type=\"dxa\"/>"), std::string::npos);
  EXPECT_NE(tables[0].properties.find("<w:insideV w:val=\"single\""), std::string::npos);
}

TEST_F(DocxWriterTest, autoFitSizesColumnsToTheirTextWithinThePage) {
  DocxWriter w(template_);
  w.SetFontSize(10);
  w.InsertTable(2, 3, ColumnWidths::kEven);
  w.AppendCellText(1, 1, 1, "x");
  w.AppendCellText(1, 2, 2, "a much longer text than the others");
  w.AppendCellText(1, 1, 3, "mid text");
  w.AutoFitColumns(1);
  w.MoveToEnd();
  w.InsertTable(1, 2, ColumnWidths::kFitContents);
  w.AppendCellText(2, 1, 1, std::string(400, 'w'));  // far wider than the page
  const auto tables = Tables(SaveAndRead(w)["word/document.xml"]);
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_LT(tables[0].grid[0], tables[0].grid[2]);
  EXPECT_LT(tables[0].grid[2], tables[0].grid[1]);
  EXPECT_NE(tables[0].properties.find("autofit"), std::string::npos);
  EXPECT_LE(tables[1].grid[0] + tables[1].grid[1], 9638);
}

TEST_F(DocxWriterTest, cellAndTableFormatAtTheCursor) {
  DocxWriter w(template_);
  w.InsertTable(1, 2, ColumnWidths::kEven);
  w.SetTableAlignmentAtCursor(Alignment::kCentre);
  w.NextCell();
  w.RemoveCellLeftBorderAtCursor();
  w.CentreCellVerticallyAtCursor();
  const std::string doc = SaveAndRead(w)["word/document.xml"];
  const auto tables = Tables(doc);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_NE(tables[0].properties.find("<w:jc w:val=\"center\"/>"), std::string::npos);
  // The line between the two cells is gone from both sides; the second is centred.
  EXPECT_NE(doc.find("<w:tcBorders><w:right w:val=\"nil\"/></w:tcBorders></w:tcPr>"),
            std::string::npos);
  EXPECT_NE(doc.find("<w:tcBorders><w:left w:val=\"nil\"/></w:tcBorders><w:vAlign "
                     "w:val=\"center\"/></w:tcPr>"),
            std::string::npos);
}

TEST_F(DocxWriterTest, refusesCellsAndTablesThatDoNotExist) {
  DocxWriter w(template_);
  w.InsertTable(2, 2, ColumnWidths::kEven);
  w.MergeCells(1, 1, 1, 2);
  struct Case {
    const char* what;
    std::function<void()> call;
    std::string named;
  };
  const Case cases[] = {
      {"table 2", [&] { w.RowCount(2); }, "no table 2"},
      {"row 3", [&] { w.SetRowBold(1, 3, true); }, "no row 3"},
      {"merged away", [&] { w.AppendCellText(1, 1, 2, "x"); }, "no cell 2"},
      {"column 0", [&] { w.SetCellBold(1, 2, 0, true); }, "no cell 0"},
  };
  for (const auto& c : cases) {
    const ReportError e = Thrown(c.call);
    EXPECT_EQ(e.number(), kSubscriptOutOfRange) << c.what;
    EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << c.what << ": " << e.what();
  }
  w.MoveToEnd();
  EXPECT_EQ(Thrown([&] { w.NextCell(); }).number(), kInvalidArgument);
}

// ---- Pictures ---------------------------------------------------------------------------

TEST_F(DocxWriterTest, picturesTakeTheirSizeScaledDownToTheRoom) {
  // The text is 9638 x 14287 twips (EMU = twips x 635); a cell of an even two-column table
  // is half the width less its margins: 4603 twips.
  struct Case {
    const char* what;
    std::string bytes;
    const char* file;
    bool inCell;
    long cx, cy;
  };
  const Case cases[] = {
      {"96 px at the default 96 dpi", Png(96, 48), "a.png", false, 914400, 457200},
      {"300 px at 11811 px/m (300 dpi)", Png(300, 150, 11811), "b.png", false, 914402, 457201},
      {"150 px JPEG at 150 dpi", JpegHeader(150, 75, 1, 150), "c.jpg", false, 914400, 457200},
      {"100 px JPEG at 100 dots/cm", JpegHeader(100, 100, 2, 100), "d.jpg", false, 360000, 360000},
      {"wider than the text", Png(4000, 100), "e.png", false, 6120130, 153003},
      {"taller than the text", Png(10, 20000), "f.png", false, 4536, 9072245},
      {"wider than the cell", Png(2000, 100), "g.png", true, 2922905, 146145},
  };
  DocxWriter w(template_);
  for (const auto& c : cases) {
    WriteFile(dir_ / c.file, c.bytes);
    if (c.inCell) w.InsertTable(1, 2, ColumnWidths::kEven);
    w.InsertPicture(dir_ / c.file);
    w.MoveToEnd();
    w.EndParagraph();
  }
  Files out = SaveAndRead(w);
  const auto extents = Extents(out["word/document.xml"]);
  ASSERT_EQ(extents.size(), std::size(cases));
  for (std::size_t i = 0; i < extents.size(); ++i) {
    EXPECT_NEAR(extents[i].first, cases[i].cx, 2) << cases[i].what;
    EXPECT_NEAR(extents[i].second, cases[i].cy, 2) << cases[i].what;
  }
  EXPECT_NE(out["[Content_Types].xml"].find("Extension=\"jpeg\" ContentType=\"image/jpeg\""),
            std::string::npos);
  EXPECT_EQ(out["word/media/vimage3.jpeg"], cases[2].bytes);
}

TEST_F(DocxWriterTest, unreadablePictureNamesTheFile) {
  WriteFile(dir_ / "notes.png", "just some text");
  WriteFile(dir_ / "cut.png", Png(10, 10).substr(0, 20));
  struct Case {
    const char* file;
    int number;
  };
  for (const Case c : {Case{"missing.png", kFileNotFound}, Case{"notes.png", kPathFileAccessError},
                       Case{"cut.png", kPathFileAccessError}}) {
    DocxWriter w(template_);
    const ReportError e = Thrown([&] { w.InsertPicture(dir_ / c.file); });
    EXPECT_EQ(e.number(), c.number) << c.file;
    EXPECT_NE(std::string(e.what()).find((dir_ / c.file).string()), std::string::npos) << e.what();
  }
}

// ---- Templates and inserted documents that cannot be used -------------------------------

TEST_F(DocxWriterTest, unusableTemplateOrDocumentNamesTheFile) {
  WriteFile(dir_ / "text.docx", "not a zip package");
  Files noBody = TemplatePackage();
  noBody["word/document.xml"] = std::string("<w:document xmlns:w=\"") + kW + "\"><w:body><w:p>";
  WriteZip(dir_ / "broken.docx", noBody);
  Files noMain = TemplatePackage();
  noMain.erase("word/document.xml");
  WriteZip(dir_ / "nomain.docx", noMain);
  struct Case {
    const char* file;
    int number;
  };
  for (const Case c :
       {Case{"missing.docx", kFileNotFound}, Case{"text.docx", kPathFileAccessError},
        Case{"broken.docx", kPathFileAccessError}, Case{"nomain.docx", kPathFileAccessError}}) {
    const fs::path file = dir_ / c.file;
    const ReportError asTemplate = Thrown([&] { DocxWriter w(file); });
    EXPECT_EQ(asTemplate.number(), c.number) << c.file;
    EXPECT_NE(std::string(asTemplate.what()).find(file.string()), std::string::npos)
        << asTemplate.what();
    DocxWriter w(template_);
    const ReportError inserted = Thrown([&] { w.InsertDocument(file); });
    EXPECT_EQ(inserted.number(), c.number) << c.file;
    EXPECT_NE(std::string(inserted.what()).find(file.string()), std::string::npos)
        << inserted.what();
  }
}

// ---- Saving -----------------------------------------------------------------------------

TEST_F(DocxWriterTest, savingIntoAMissingFolderNamesTheFile) {
  DocxWriter w(template_);
  w.TypeText("x");
  const fs::path file = dir_ / "no such folder" / "report.docx";
  const ReportError e = Thrown([&] { w.Save(file); });
  EXPECT_EQ(e.number(), kPathFileAccessError);
  EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
}

TEST_F(DocxWriterTest, neverReplacesAnExistingFileNorLeavesATemporary) {
  const fs::path file = dir_ / "report.docx";
  WriteFile(file, "an earlier report");
  DocxWriter w(template_);
  w.TypeText("x");
  const ReportError e = Thrown([&] { w.Save(file); });
  EXPECT_EQ(e.number(), 58);
  EXPECT_NE(std::string(e.what()).find("file already exists"), std::string::npos) << e.what();
  EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "an earlier report");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"intest.docx", "report.docx"}));
  // The same document saves under a free name, and again as a second report.
  w.Save(dir_ / "second.docx");
  EXPECT_EQ(XmlFault(ReadZip(dir_ / "second.docx")["word/document.xml"]), "");
}

// A report of the largest size the builder makes: a results table of 80 rows and 13
// columns, the data and legend tables, written well within the time a user waits.
TEST_F(DocxWriterTest, writesALargeReportQuickly) {
  const auto start = std::chrono::steady_clock::now();
  DocxWriter w(template_);
  w.SetFontName("Arial");
  w.SetFontSize(8);
  for (const auto& [rows, columns] : {std::pair{16, 3}, std::pair{80, 13}, std::pair{16, 2}}) {
    w.InsertTable(rows, columns, ColumnWidths::kFitContents);
    const int t = w.TableCount();
    for (int i = 1; i <= rows; ++i)
      for (int j = 1; j <= columns; ++j) w.AppendCellText(t, i, j, "12345.6");
    w.AutoFitColumns(t);
    w.SetRowBold(t, 1, true);
    w.MoveToEnd();
    w.EndParagraph();
  }
  w.Save(dir_ / "large.docx");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 0.5);
  EXPECT_EQ(Tables(ReadZip(dir_ / "large.docx")["word/document.xml"])[1].rows.size(), 80u);
}

// The document the package reader checks (tests/report/read_docx.py): written to the file
// that VESTRA_DOCX_SAMPLE names, skipped otherwise.
TEST(DocxWriterSample, writesTheSampleForTheReader) {
  const char* target = std::getenv("VESTRA_DOCX_SAMPLE");
  if (!target) GTEST_SKIP() << "VESTRA_DOCX_SAMPLE not set";
  const fs::path file(target);
  const fs::path dir = file.parent_path() / "docx-sample-inputs";
  fs::create_directories(dir);
  fs::remove(file);
  WriteZip(dir / "intest.docx", TemplatePackage());
  DocxWriter w(dir / "intest.docx");
  WriteSample(w, dir);
  w.Save(file);
}

}  // namespace
}  // namespace vestra::report
