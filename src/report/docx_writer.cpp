#include "report/docx_writer.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "report/report_error.h"
#include "report/xml_writer.h"

namespace vestra::report {

namespace {

constexpr std::string_view kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kImageRelType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
constexpr std::string_view kOfficeDocumentRelType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
constexpr std::string_view kPackageRelNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";

// The prefixes the writer's own XML uses, declared on the document's root when the
// template has not declared them already.
constexpr std::pair<std::string_view, std::string_view> kOwnNamespaces[] = {
    {"w", kWordNs},
    {"r", kRelNs},
    {"wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
    {"a", "http://schemas.openxmlformats.org/drawingml/2006/main"},
    {"pic", "http://schemas.openxmlformats.org/drawingml/2006/picture"},
};

// Sizes on the page: twips (1/20 pt) for the text, EMU (1/914400 inch) for drawings.
constexpr double kTwipsPerCm = 1440.0 / 2.54;
constexpr std::int64_t kEmuPerTwip = 635;
constexpr std::int64_t kEmuPerInch = 914400;
// The word processor's default cell margins, left and right (0.19 cm each).
constexpr int kCellMarginTwips = 108;
constexpr int kNarrowCellMarginTwips = 36;
// A picture file that gives no density is laid out as the screen shows it.
constexpr double kDefaultDpi = 96.0;

std::string Quoted(const std::filesystem::path& file) {
  return "\"" + file.string() + "\"";
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// ---- The package ------------------------------------------------------------------------

using Parts = std::vector<DocxWriter::Part>;

// Every part of a zip package, read whole. `what` says what the file is for the messages.
Parts ReadPackage(const std::filesystem::path& file, const std::string& what) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw ReportError(kFileNotFound, "The " + what + " " + Quoted(file) + " was not found");
  int error = 0;
  zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY, &error);
  if (!zip) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, error);
    const std::string cause = error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS
                                  ? "it is not a Word document (.docx)"
                                  : zip_error_strerror(&ze);
    zip_error_fini(&ze);
    throw ReportError(kPathFileAccessError,
                      "The " + what + " " + Quoted(file) + " cannot be read: " + cause);
  }
  Parts parts;
  const zip_int64_t count = zip_get_num_entries(zip, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    const auto index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(zip, index, 0);
    std::string bytes;
    bool ok = name && zip_stat_index(zip, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
    if (ok && std::string_view(name).ends_with('/')) continue;  // a folder entry
    if (ok) {
      bytes.resize(st.size);
      zip_file_t* f = zip_fopen_index(zip, index, 0);
      ok = f && zip_fread(f, bytes.data(), st.size) == static_cast<zip_int64_t>(st.size);
      if (f) zip_fclose(f);
    }
    if (!ok) {
      const std::string cause = zip_strerror(zip);
      zip_close(zip);
      throw ReportError(kPathFileAccessError, "The " + what + " " + Quoted(file) +
                                                  " is damaged: the part " + (name ? name : "?") +
                                                  " cannot be read (" + cause + ")");
    }
    parts.push_back({name, std::move(bytes)});
  }
  zip_close(zip);
  return parts;
}

const DocxWriter::Part* FindPart(const Parts& parts, std::string_view name) {
  for (const auto& p : parts)
    if (p.name == name) return &p;
  return nullptr;
}

// A relationship target resolved against the folder of the part that holds it
// ("media/image1.png" from "word/" is "word/media/image1.png").
std::string ResolvePartName(const std::string& folder, const std::string& target) {
  if (target.starts_with('/')) return target.substr(1);
  std::vector<std::string> segments;
  std::string path = folder + target;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    const std::string seg = path.substr(start, slash - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = slash + 1;
  }
  std::string out;
  for (const auto& s : segments) out += (out.empty() ? "" : "/") + s;
  return out;
}

struct SourceRelationship {
  std::string id, type, target;
  bool external = false;
};

std::vector<SourceRelationship> ReadRelationships(const std::string& xmlText) {
  std::vector<SourceRelationship> out;
  xml::Scanner scanner(xmlText);
  while (auto t = scanner.Next()) {
    if ((t->kind != xml::Token::Kind::kEmptyTag && t->kind != xml::Token::Kind::kStartTag) ||
        xml::LocalNameOf(t->name) != "Relationship")
      continue;
    const auto attrs =
        xml::ParseAttributes(std::string_view(xmlText).substr(t->begin, t->end - t->begin));
    SourceRelationship r;
    r.id = xml::AttributeOf(attrs, "Id").value_or("");
    r.type = xml::AttributeOf(attrs, "Type").value_or("");
    r.target = xml::AttributeOf(attrs, "Target").value_or("");
    r.external = xml::AttributeOf(attrs, "TargetMode").value_or("") == "External";
    out.push_back(std::move(r));
  }
  return out;
}

// The main document part of a package, from its package relationships.
std::string MainPartName(const Parts& parts) {
  const auto* rels = FindPart(parts, "_rels/.rels");
  if (!rels) return {};
  for (const auto& r : ReadRelationships(rels->bytes))
    if (r.type == kOfficeDocumentRelType) return ResolvePartName("", r.target);
  return {};
}

std::string FolderOf(const std::string& partName) {
  const std::size_t slash = partName.rfind('/');
  return slash == std::string::npos ? std::string() : partName.substr(0, slash + 1);
}

std::string RelsPartOf(const std::string& partName) {
  const std::size_t slash = partName.rfind('/');
  const std::string base = slash == std::string::npos ? partName : partName.substr(slash + 1);
  return FolderOf(partName) + "_rels/" + base + ".rels";
}

// The content type a package gives a part: its Override, else the Default of its extension.
std::string ContentTypeOf(const std::string& contentTypesXml, const std::string& partName) {
  const std::size_t dot = partName.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : Lower(partName.substr(dot + 1));
  std::string byDefault;
  xml::Scanner scanner(contentTypesXml);
  while (auto t = scanner.Next()) {
    if (t->kind != xml::Token::Kind::kEmptyTag && t->kind != xml::Token::Kind::kStartTag) continue;
    const std::string_view local = xml::LocalNameOf(t->name);
    if (local != "Override" && local != "Default") continue;
    const auto attrs =
        xml::ParseAttributes(std::string_view(contentTypesXml).substr(t->begin, t->end - t->begin));
    const std::string type = xml::AttributeOf(attrs, "ContentType").value_or("");
    if (local == "Override" && xml::AttributeOf(attrs, "PartName") == "/" + partName) return type;
    if (local == "Default" && Lower(xml::AttributeOf(attrs, "Extension").value_or("")) == extension)
      byDefault = type;
  }
  return byDefault;
}

// ---- A document part's body -------------------------------------------------------------

// Where things are in a document part: its root's start tag and namespace declarations,
// the body's children and the final page settings.
struct BodyLayout {
  xml::Token root;
  std::vector<std::pair<std::string, std::string>> namespaces;  // prefix, URI
  std::string wordPrefix;
  std::size_t contentBegin = 0;  // just after <w:body>
  std::size_t contentEnd = 0;    // the final <w:sectPr>, or </w:body> when there is none
  std::size_t sectPrEnd = 0;     // one past the final sectPr (0 when none)
};

std::string PrefixFor(const std::vector<std::pair<std::string, std::string>>& namespaces,
                      std::string_view uri) {
  for (const auto& [prefix, u] : namespaces)
    if (u == uri) return prefix;
  return {};
}

BodyLayout ReadBodyLayout(const std::string& text) {
  BodyLayout layout;
  xml::Scanner scanner(text);
  std::optional<xml::Token> root;
  int depth = 0;
  std::string body, sectPr;
  bool inBody = false;
  std::size_t lastChildBegin = 0;
  std::string_view lastChildName;
  while (auto t = scanner.Next()) {
    const bool start = t->kind == xml::Token::Kind::kStartTag;
    const bool empty = t->kind == xml::Token::Kind::kEmptyTag;
    const bool end = t->kind == xml::Token::Kind::kEndTag;
    if (!start && !empty && !end) continue;
    if (!root) {
      if (!start) throw std::runtime_error("the document part has no root element");
      root = t;
      for (const auto& [name, value] :
           xml::ParseAttributes(std::string_view(text).substr(t->begin, t->end - t->begin))) {
        if (name.starts_with("xmlns:")) layout.namespaces.emplace_back(name.substr(6), value);
      }
      layout.wordPrefix = PrefixFor(layout.namespaces, kWordNs);
      if (layout.wordPrefix.empty())
        throw std::runtime_error("the document part is not WordprocessingML");
      body = layout.wordPrefix + ":body";
      sectPr = layout.wordPrefix + ":sectPr";
      depth = 1;
      continue;
    }
    if (start || empty) {
      if (depth == 1 && t->name == body && start) {
        inBody = true;
        layout.contentBegin = t->end;
      } else if (inBody && depth == 2) {
        lastChildBegin = t->begin;
        lastChildName = t->name;
      }
      if (start) ++depth;
      if (inBody && depth == 2 && empty) layout.sectPrEnd = t->end;  // an empty child
      continue;
    }
    --depth;
    if (inBody && depth == 2) layout.sectPrEnd = t->end;  // end of a body child
    if (inBody && depth == 1) {
      // </w:body>: the content ends before the final page settings, if the body has them.
      if (lastChildName == sectPr) {
        layout.contentEnd = lastChildBegin;
      } else {
        layout.contentEnd = t->begin;
        layout.sectPrEnd = 0;
      }
      layout.root = *root;
      return layout;
    }
  }
  throw std::runtime_error("the document part has no body");
}

// ---- Pictures ---------------------------------------------------------------------------

struct PictureInfo {
  std::string extension;  // "png" or "jpeg"
  std::string contentType;
  std::uint32_t width = 0, height = 0;  // pixels
  double dpiX = kDefaultDpi, dpiY = kDefaultDpi;
};

std::uint32_t Be32(const std::string& b, std::size_t i) {
  return (std::uint32_t(std::uint8_t(b[i])) << 24) | (std::uint32_t(std::uint8_t(b[i + 1])) << 16) |
         (std::uint32_t(std::uint8_t(b[i + 2])) << 8) | std::uint32_t(std::uint8_t(b[i + 3]));
}
std::uint32_t Be16(const std::string& b, std::size_t i) {
  return (std::uint32_t(std::uint8_t(b[i])) << 8) | std::uint32_t(std::uint8_t(b[i + 1]));
}

// A PNG's size from its IHDR chunk and its density from pHYs (pixels per metre), which
// comes before the image data when present.
std::optional<PictureInfo> ReadPng(const std::string& b) {
  static constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
  if (!std::string_view(b).starts_with(kSignature)) return std::nullopt;
  PictureInfo info{"png", "image/png"};
  if (b.size() < 33 || b.compare(12, 4, "IHDR") != 0) throw std::runtime_error("no PNG header");
  info.width = Be32(b, 16);
  info.height = Be32(b, 20);
  for (std::size_t i = 8; i + 8 <= b.size();) {
    const std::uint32_t length = Be32(b, i);
    const std::string_view type(b.data() + i + 4, 4);
    if (type == "IDAT" || type == "IEND" || length > b.size() - i - 8) break;
    if (type == "pHYs" && length >= 9 && std::uint8_t(b[i + 16]) == 1) {
      const double perMetreX = Be32(b, i + 8), perMetreY = Be32(b, i + 12);
      if (perMetreX > 0 && perMetreY > 0) {
        info.dpiX = perMetreX * 0.0254;
        info.dpiY = perMetreY * 0.0254;
      }
    }
    i += 12 + std::size_t(length);
  }
  return info;
}

// A JPEG's size from its frame header (SOFn) and its density from the JFIF APP0 segment.
std::optional<PictureInfo> ReadJpeg(const std::string& b) {
  if (b.size() < 4 || std::uint8_t(b[0]) != 0xFF || std::uint8_t(b[1]) != 0xD8) return std::nullopt;
  PictureInfo info{"jpeg", "image/jpeg"};
  for (std::size_t i = 2; i + 4 <= b.size();) {
    if (std::uint8_t(b[i]) != 0xFF) throw std::runtime_error("a broken JPEG segment");
    const std::uint8_t marker = std::uint8_t(b[i + 1]);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += 2;
      continue;
    }
    const std::size_t length = Be16(b, i + 2);
    if (length < 2 || i + 2 + length > b.size()) break;
    const std::size_t data = i + 4;
    if (marker == 0xE0 && length >= 16 && b.compare(data, 5, std::string("JFIF\0", 5)) == 0) {
      const int units = std::uint8_t(b[data + 7]);
      const double x = Be16(b, data + 8), y = Be16(b, data + 10);
      if (x > 0 && y > 0 && (units == 1 || units == 2)) {
        const double factor = units == 1 ? 1.0 : 2.54;  // dots per inch or per centimetre
        info.dpiX = x * factor;
        info.dpiY = y * factor;
      }
    }
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && length >= 7) {
      info.height = Be16(b, data + 1);
      info.width = Be16(b, data + 3);
      return info;
    }
    if (marker == 0xDA || marker == 0xD9) break;  // image data before any frame header
    i += 2 + length;
  }
  throw std::runtime_error("no JPEG frame header");
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- Text width, for the columns the word processor would size to their contents --------

// An estimate of a paragraph's width in twips: the average advance of a proportional face
// is a little over half its size (bold a little more), a tab about four characters.
int EstimatedWidthTwips(const DocxWriter::Paragraph& p,
                        const std::vector<DocxWriter::Picture>& pictures) {
  double twips = 0;
  for (const auto& run : p.runs) {
    if (run.picture >= 0) {
      twips += double(pictures[std::size_t(run.picture)].widthEmu) / kEmuPerTwip;
      continue;
    }
    const double points = run.format.halfPoints.value_or(22) / 2.0;
    const double advance = points * 20 * (run.format.bold.value_or(false) ? 0.61 : 0.56);
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      const auto c = std::uint8_t(run.text[i]);
      if ((c & 0xC0) == 0x80) continue;  // a UTF-8 continuation byte
      twips += c == '\t' ? 4 * advance : advance;
    }
  }
  return int(std::ceil(twips));
}

// The widest word of a paragraph in twips: what a column cannot be narrower than without
// breaking a word (a picture counts as one word).
int EstimatedLongestWordTwips(const DocxWriter::Paragraph& p,
                              const std::vector<DocxWriter::Picture>& pictures) {
  double widest = 0, word = 0;
  for (const auto& run : p.runs) {
    if (run.picture >= 0) {
      widest = std::max(widest, double(pictures[std::size_t(run.picture)].widthEmu) / kEmuPerTwip);
      word = 0;
      continue;
    }
    const double points = run.format.halfPoints.value_or(22) / 2.0;
    const double advance = points * 20 * (run.format.bold.value_or(false) ? 0.61 : 0.56);
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      const auto c = std::uint8_t(run.text[i]);
      if ((c & 0xC0) == 0x80) continue;
      if (c == ' ' || c == '\t') {
        word = 0;
        continue;
      }
      word += advance;
      widest = std::max(widest, word);
    }
  }
  return int(std::ceil(widest));
}

// ---- The serialiser ---------------------------------------------------------------------

void WriteRunFormat(xml::Writer& out, const DocxWriter::CharFormat& f) {
  if (!f.font && !f.bold && !f.halfPoints) return;
  out.Start("w:rPr");
  if (f.font)
    out.Empty("w:rFonts", {{"w:ascii", *f.font}, {"w:hAnsi", *f.font}, {"w:cs", *f.font}});
  if (f.bold) {
    out.Empty("w:b", {{"w:val", *f.bold ? "1" : "0"}});
    out.Empty("w:bCs", {{"w:val", *f.bold ? "1" : "0"}});
  }
  if (f.halfPoints) {
    const std::string size = std::to_string(*f.halfPoints);
    out.Empty("w:sz", {{"w:val", size}});
    out.Empty("w:szCs", {{"w:val", size}});
  }
  out.End();
}

}  // namespace

// ---- Opening the template ---------------------------------------------------------------

DocxWriter::DocxWriter(const std::filesystem::path& templateFile) : template_(templateFile) {
  parts_ = ReadPackage(templateFile, "report template");
  const auto fail = [&](const std::string& cause) {
    throw ReportError(kPathFileAccessError, "The report template " + Quoted(templateFile) +
                                                " is not a usable Word document: " + cause);
  };
  mainPart_ = MainPartName(parts_);
  const Part* main = FindPart(parts_, mainPart_);
  if (mainPart_.empty() || !main) fail("it has no main document part");
  if (!FindPart(parts_, "[Content_Types].xml")) fail("it has no [Content_Types].xml");
  mainFolder_ = FolderOf(mainPart_);
  relsPart_ = RelsPartOf(mainPart_);
  if (!FindPart(parts_, relsPart_)) parts_.push_back({relsPart_, {}});

  try {
    const std::string& text = main->bytes;
    const BodyLayout layout = ReadBodyLayout(text);
    beforeRoot_ = text.substr(0, layout.root.begin);
    rootStartTag_ = text.substr(layout.root.begin, layout.root.end - layout.root.begin);
    beforeContent_ = text.substr(layout.root.end, layout.contentEnd - layout.root.end);
    afterContent_ = text.substr(layout.contentEnd);
    declaredNamespaces_ = layout.namespaces;
    if (layout.wordPrefix != "w")
      fail("its document part names the WordprocessingML namespace \"" + layout.wordPrefix +
           "\" instead of \"w\"");
    for (const auto& [prefix, uri] : kOwnNamespaces) {
      const auto found = std::find_if(declaredNamespaces_.begin(), declaredNamespaces_.end(),
                                      [&](const auto& d) { return d.first == prefix; });
      if (found == declaredNamespaces_.end()) {
        extraNamespaces_.emplace_back(prefix, uri);
        declaredNamespaces_.emplace_back(prefix, uri);
      } else if (found->second != uri) {
        fail("its document part binds the prefix \"" + std::string(prefix) +
             "\" to another namespace");
      }
    }

    // The page: its size and margins (twips) set the room for pictures and even columns.
    int pageW = 11906, pageH = 16838, left = 1134, right = 1134, top = 1417, bottom = 1134;
    std::string_view sectPr(text);
    sectPr = layout.sectPrEnd
                 ? sectPr.substr(layout.contentEnd, layout.sectPrEnd - layout.contentEnd)
                 : std::string_view();
    xml::Scanner scanner(sectPr);
    const auto number = [](const xml::Attributes& a, std::string_view name, int& v) {
      if (auto s = xml::AttributeOf(a, name)) {
        try {
          v = std::abs(std::stoi(*s));
        } catch (const std::exception&) {
        }
      }
    };
    while (auto t = scanner.Next()) {
      if (t->kind != xml::Token::Kind::kEmptyTag && t->kind != xml::Token::Kind::kStartTag)
        continue;
      const auto attrs = xml::ParseAttributes(sectPr.substr(t->begin, t->end - t->begin));
      if (t->name == "w:pgSz") {
        number(attrs, "w:w", pageW);
        number(attrs, "w:h", pageH);
      } else if (t->name == "w:pgMar") {
        number(attrs, "w:left", left);
        number(attrs, "w:right", right);
        number(attrs, "w:top", top);
        number(attrs, "w:bottom", bottom);
      }
    }
    pageWidthTwips_ = pageW;
    textWidthTwips_ = std::max(pageW - left - right, 1440);
    textHeightTwips_ = std::max(pageH - top - bottom, 1440);

    // Drawing ids are unique in a document: the report's own follow the template's.
    xml::Scanner all(text);
    while (auto t = all.Next()) {
      if (t->kind == xml::Token::Kind::kEmptyTag && xml::LocalNameOf(t->name) == "docPr") {
        const auto attrs =
            xml::ParseAttributes(std::string_view(text).substr(t->begin, t->end - t->begin));
        int id = 0;
        number(attrs, "id", id);
        nextDrawingId_ = std::max(nextDrawingId_, id + 1);
      }
    }

    for (const auto& r : ReadRelationships(FindPart(parts_, relsPart_)->bytes))
      usedRelationshipIds_.push_back(r.id);
    const std::string& types = FindPart(parts_, "[Content_Types].xml")->bytes;
    xml::Scanner typesScanner(types);
    while (auto t = typesScanner.Next()) {
      if (xml::LocalNameOf(t->name) != "Default" || t->kind == xml::Token::Kind::kEndTag) continue;
      const auto attrs =
          xml::ParseAttributes(std::string_view(types).substr(t->begin, t->end - t->begin));
      if (auto e = xml::AttributeOf(attrs, "Extension")) knownExtensions_.push_back(Lower(*e));
    }
  } catch (const std::runtime_error& e) {
    if (dynamic_cast<const ReportError*>(&e)) throw;
    fail(e.what());
  }

  body_.emplace_back(Paragraph{});
}

DocxWriter::~DocxWriter() = default;

// ---- The cursor and the text ------------------------------------------------------------

DocxWriter::Paragraph& DocxWriter::Current() {
  if (cursor_.table >= 0) return CurrentCell().paragraphs.back();
  return std::get<Paragraph>(body_.back());
}

DocxWriter::Cell& DocxWriter::CurrentCell() {
  return tables_[std::size_t(cursor_.table)]
      .rows[std::size_t(cursor_.row)]
      .cells[std::size_t(cursor_.cell)];
}

void DocxWriter::MoveToEnd() {
  cursor_ = Cursor{};
}

void DocxWriter::NewParagraph(std::vector<Paragraph>& container) {
  Paragraph next;
  next.format = container.back().format;
  next.mark = format_;
  container.push_back(std::move(next));
}

void DocxWriter::EndParagraph() {
  Current().mark = format_;
  if (cursor_.table >= 0) {
    NewParagraph(CurrentCell().paragraphs);
    return;
  }
  Paragraph next;
  next.format = Current().format;
  next.mark = format_;
  body_.emplace_back(std::move(next));
}

void DocxWriter::AppendRun(Paragraph& paragraph, std::string_view text) {
  if (text.empty()) return;
  if (!paragraph.runs.empty()) {
    Run& last = paragraph.runs.back();
    if (last.picture < 0 && !last.pageBreak && last.format == format_) {
      last.text += text;
      return;
    }
  }
  paragraph.runs.push_back(Run{format_, std::string(text)});
}

// A "\n" (or the "\r\n" and "\r" of texts pasted from elsewhere) ends the paragraph.
void DocxWriter::TypeText(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
    AppendRun(Current(), text.substr(start, i - start));
    if (i == text.size()) break;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    EndParagraph();
    start = i + 1;
  }
}

void DocxWriter::SetFontName(std::string_view name) {
  format_.font = std::string(name);
}
void DocxWriter::SetBold(bool bold) {
  format_.bold = bold;
}
void DocxWriter::SetFontSize(double points) {
  if (!std::isfinite(points) || points < 1 || points > 1638)
    throw ReportError(kInvalidArgument,
                      "A font size of " + std::to_string(points) + " points is outside 1 to 1638");
  format_.halfPoints = int(std::lround(points * 2));
}
void DocxWriter::SetAlignment(Alignment alignment) {
  Current().format.alignment = alignment;
}

void DocxWriter::AddTabStop(double centimetres) {
  if (!std::isfinite(centimetres) || centimetres < 0 || centimetres > 55.87)
    throw ReportError(kInvalidArgument, "A tab stop at " + std::to_string(centimetres) +
                                            " cm is outside the page (0 to 55.87 cm)");
  const int twips = int(std::lround(centimetres * kTwipsPerCm));
  auto& stops = Current().format.tabStopsTwips;
  const auto at = std::lower_bound(stops.begin(), stops.end(), twips);
  if (at == stops.end() || *at != twips) stops.insert(at, twips);
}

void DocxWriter::PageBreak() {
  Run br;
  br.format = format_;
  br.pageBreak = true;
  Current().runs.push_back(std::move(br));
  EndParagraph();
}

// ---- Pictures ---------------------------------------------------------------------------

std::string DocxWriter::NewRelationshipId() {
  for (;;) {
    std::string id = "rIdV" + std::to_string(usedRelationshipIds_.size() + 1);
    if (std::find(usedRelationshipIds_.begin(), usedRelationshipIds_.end(), id) ==
        usedRelationshipIds_.end()) {
      usedRelationshipIds_.push_back(id);
      return id;
    }
    usedRelationshipIds_.push_back(id + "-taken");
  }
}

std::string DocxWriter::NewMediaName(std::string_view extension) {
  for (;;) {
    std::string name =
        mainFolder_ + "media/vimage" + std::to_string(nextMedia_++) + "." + std::string(extension);
    if (!FindPart(parts_, name)) return name;
  }
}

void DocxWriter::AddPart(std::string name, std::string bytes) {
  parts_.push_back({std::move(name), std::move(bytes)});
}

int DocxWriter::AvailableWidthTwips() const {
  if (cursor_.table < 0) return textWidthTwips_;
  const Table& t = tables_[std::size_t(cursor_.table)];
  const Cell& c = t.rows[std::size_t(cursor_.row)].cells[std::size_t(cursor_.cell)];
  const int cell = t.widths == ColumnWidths::kEven && !t.autoFit
                       ? textWidthTwips_ * c.span / t.columns
                       : textWidthTwips_;
  return std::max(cell - 2 * kCellMarginTwips, 144);
}

void DocxWriter::InsertPicture(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw ReportError(kFileNotFound, "The picture " + Quoted(file) + " was not found");
  std::string bytes = ReadFile(file);
  PictureInfo info;
  try {
    auto read = ReadPng(bytes);
    if (!read) read = ReadJpeg(bytes);
    if (!read)
      throw ReportError(kPathFileAccessError,
                        "The picture " + Quoted(file) + " is neither a PNG nor a JPEG picture");
    info = *read;
  } catch (const ReportError&) {
    throw;
  } catch (const std::exception& e) {
    throw ReportError(kPathFileAccessError,
                      "The picture " + Quoted(file) + " is damaged: " + e.what());
  }
  if (info.width == 0 || info.height == 0 || info.width > 100000 || info.height > 100000)
    throw ReportError(kPathFileAccessError, "The picture " + Quoted(file) + " gives a size of " +
                                                std::to_string(info.width) + " x " +
                                                std::to_string(info.height) + " pixels");

  // Its own size, scaled down (never up) to the room on the page or in the cell.
  double cx = info.width / info.dpiX * kEmuPerInch;
  double cy = info.height / info.dpiY * kEmuPerInch;
  const double maxX = double(AvailableWidthTwips()) * kEmuPerTwip;
  const double maxY = double(textHeightTwips_) * kEmuPerTwip;
  const double scale = std::min({1.0, maxX / cx, maxY / cy});

  Picture picture;
  picture.partName = NewMediaName(info.extension);
  picture.relId = NewRelationshipId();
  picture.description = file.filename().string();
  picture.widthEmu = std::max<std::int64_t>(1, std::llround(cx * scale));
  picture.heightEmu = std::max<std::int64_t>(1, std::llround(cy * scale));
  newRelationships_.push_back(
      {picture.relId, std::string(kImageRelType), picture.partName.substr(mainFolder_.size())});
  if (std::find(knownExtensions_.begin(), knownExtensions_.end(), info.extension) ==
      knownExtensions_.end()) {
    knownExtensions_.push_back(info.extension);
    newDefaults_.emplace_back(info.extension, info.contentType);
  }
  AddPart(picture.partName, std::move(bytes));
  pictures_.push_back(std::move(picture));

  Run run;
  run.format = format_;
  run.picture = int(pictures_.size()) - 1;
  Current().runs.push_back(std::move(run));
}

// ---- Another document's body ------------------------------------------------------------

void DocxWriter::InsertDocument(const std::filesystem::path& file) {
  if (cursor_.table >= 0)
    throw ReportError(kInvalidArgument,
                      "The document " + Quoted(file) + " cannot be inserted inside a table cell");
  const Parts source = ReadPackage(file, "document");
  const auto fail = [&](const std::string& cause) {
    throw ReportError(kPathFileAccessError,
                      "The document " + Quoted(file) + " cannot be inserted: " + cause);
  };
  const std::string mainName = MainPartName(source);
  const Part* main = FindPart(source, mainName);
  if (mainName.empty() || !main) fail("it has no main document part");
  const Part* rels = FindPart(source, RelsPartOf(mainName));
  const Part* types = FindPart(source, "[Content_Types].xml");

  std::string copied;
  std::vector<std::pair<std::string, std::string>> remapped;  // source id, new id
  std::vector<std::pair<std::string, std::string>> namespacesToAdd;
  int nextDrawingId = nextDrawingId_;
  std::vector<Part> newParts;
  std::vector<Relationship> newRelationships;
  std::vector<std::pair<std::string, std::string>> newOverrides;
  std::vector<std::string> usedIds = usedRelationshipIds_;
  try {
    const std::string& text = main->bytes;
    const BodyLayout layout = ReadBodyLayout(text);
    const std::string relPrefix = PrefixFor(layout.namespaces, kRelNs);
    for (const auto& [prefix, uri] : layout.namespaces) {
      const auto found = std::find_if(declaredNamespaces_.begin(), declaredNamespaces_.end(),
                                      [&](const auto& d) { return d.first == prefix; });
      if (found == declaredNamespaces_.end())
        namespacesToAdd.emplace_back(prefix, uri);
      else if (found->second != uri)
        fail("it binds the prefix \"" + prefix + "\" to the namespace " + uri +
             ", which the report uses for " + found->second);
    }
    const std::vector<SourceRelationship> sourceRels =
        rels ? ReadRelationships(rels->bytes) : std::vector<SourceRelationship>{};
    const std::string sourceFolder = FolderOf(mainName);

    const auto newId = [&]() {
      for (int n = int(usedIds.size()) + 1;; ++n) {
        std::string id = "rIdV" + std::to_string(n);
        if (std::find(usedIds.begin(), usedIds.end(), id) == usedIds.end()) {
          usedIds.push_back(id);
          return id;
        }
      }
    };
    // A relationship of the copied XML made again in the report: a picture is copied with
    // it, an outside link kept; anything else would dangle, so the document is refused.
    const auto remap = [&](const std::string& id) -> std::string {
      for (const auto& [from, to] : remapped)
        if (from == id) return to;
      const auto r = std::find_if(sourceRels.begin(), sourceRels.end(),
                                  [&](const auto& s) { return s.id == id; });
      if (r == sourceRels.end())
        fail("it refers to a relationship \"" + id + "\" it does not have");
      std::string to = newId();
      if (r->external) {
        newRelationships.push_back({to, r->type, r->target, true});
      } else if (r->type == kImageRelType) {
        const std::string partName = ResolvePartName(sourceFolder, r->target);
        const Part* media = FindPart(source, partName);
        if (!media) fail("its picture " + partName + " is missing");
        const std::size_t dot = partName.rfind('.');
        const std::string extension =
            dot == std::string::npos ? "bin" : Lower(partName.substr(dot + 1));
        std::string name;
        for (;;) {
          name = mainFolder_ + "media/vimage" + std::to_string(nextMedia_++) + "." + extension;
          if (!FindPart(parts_, name)) break;
        }
        newParts.push_back({name, media->bytes});
        const std::string type = types ? ContentTypeOf(types->bytes, partName) : std::string();
        newOverrides.emplace_back("/" + name, type.empty() ? "application/octet-stream" : type);
        newRelationships.push_back({to, r->type, name.substr(mainFolder_.size()), false});
      } else {
        const std::size_t slash = r->type.rfind('/');
        fail("it holds a part of the kind \"" + r->type.substr(slash + 1) +
             "\", which the report cannot carry over");
      }
      remapped.emplace_back(id, to);
      return to;
    };

    copied.reserve(layout.contentEnd - layout.contentBegin);
    const std::string_view content =
        std::string_view(text).substr(layout.contentBegin, layout.contentEnd - layout.contentBegin);
    const std::string sectPr = layout.wordPrefix + ":sectPr";
    xml::Scanner scanner(content);
    std::size_t copiedUpTo = 0;
    int skipDepth = 0;  // inside a section break of the other document, which is left out
    while (auto t = scanner.Next()) {
      const bool start = t->kind == xml::Token::Kind::kStartTag;
      const bool empty = t->kind == xml::Token::Kind::kEmptyTag;
      const bool end = t->kind == xml::Token::Kind::kEndTag;
      if (skipDepth > 0) {
        if (start) ++skipDepth;
        if (end) --skipDepth;
        copiedUpTo = t->end;
        continue;
      }
      if ((start || empty) && t->name == sectPr) {
        copied.append(content.substr(copiedUpTo, t->begin - copiedUpTo));
        copiedUpTo = t->end;
        if (start) skipDepth = 1;
        continue;
      }
      if (!start && !empty) continue;
      const std::string_view tag = content.substr(t->begin, t->end - t->begin);
      const bool drawingId = xml::LocalNameOf(t->name) == "docPr";
      const bool references =
          !relPrefix.empty() && tag.find(relPrefix + ":") != std::string_view::npos;
      const bool paraIds = tag.find("w14:paraId") != std::string_view::npos ||
                           tag.find("w14:textId") != std::string_view::npos;
      if (!drawingId && !references && !paraIds) continue;
      xml::Attributes attrs = xml::ParseAttributes(tag);
      std::string rewritten = "<" + std::string(t->name);
      for (auto& [name, value] : attrs) {
        // Paragraph ids must be unique in a document; the word processor makes new ones.
        if (name == "w14:paraId" || name == "w14:textId") continue;
        if (drawingId && name == "id") value = std::to_string(nextDrawingId++);
        if (!relPrefix.empty() && xml::PrefixOf(name) == relPrefix) value = remap(value);
        rewritten += ' ';
        rewritten += name;
        rewritten += "=\"";
        xml::AppendEscaped(rewritten, value);
        rewritten += '"';
      }
      rewritten += empty ? "/>" : ">";
      copied.append(content.substr(copiedUpTo, t->begin - copiedUpTo));
      copied += rewritten;
      copiedUpTo = t->end;
    }
    copied.append(content.substr(copiedUpTo));
  } catch (const ReportError&) {
    throw;
  } catch (const std::exception& e) {
    fail(std::string("its document part is not well-formed XML (") + e.what() + ")");
  }

  // Nothing of the other document enters the report until all of it has been read.
  nextDrawingId_ = nextDrawingId;
  usedRelationshipIds_ = std::move(usedIds);
  for (auto& p : newParts) parts_.push_back(std::move(p));
  for (auto& r : newRelationships) newRelationships_.push_back(std::move(r));
  for (auto& o : newOverrides) newOverrides_.push_back(std::move(o));
  for (auto& n : namespacesToAdd) {
    declaredNamespaces_.push_back(n);
    extraNamespaces_.push_back(std::move(n));
  }

  // Like a paste at an empty paragraph: the document goes before it, the cursor stays in
  // it. A paragraph with text is kept before the document.
  PlaceBeforeCursor(Copied{std::move(copied)}, false);
}

// A block (a table, another document's body) put where the cursor's paragraph is: before
// it when it is empty - it then follows the block - else after it, with a new paragraph
// of the same format following. `apartFromTable` keeps a block off a table just before
// it, which it would otherwise run into.
void DocxWriter::PlaceBeforeCursor(Block block, bool apartFromTable) {
  Paragraph& here = Current();
  const bool afterTable = apartFromTable && body_.size() >= 2 &&
                          std::holds_alternative<TableRef>(body_[body_.size() - 2]);
  if (here.runs.empty() && !afterTable) {
    Paragraph keep = std::move(here);
    body_.back() = std::move(block);
    body_.emplace_back(std::move(keep));
    return;
  }
  here.mark = format_;
  Paragraph next;
  next.format = here.format;
  next.mark = format_;
  body_.emplace_back(std::move(block));
  body_.emplace_back(std::move(next));
}

// ---- Tables -----------------------------------------------------------------------------

void DocxWriter::InsertTable(int rows, int columns, ColumnWidths widths) {
  if (cursor_.table >= 0)
    throw ReportError(kInvalidArgument, "A table cannot be inserted inside table " +
                                            std::to_string(cursor_.table + 1));
  // The word processor's limits: 63 columns, 32767 rows.
  if (rows < 1 || rows > 32767 || columns < 1 || columns > 63)
    throw ReportError(kInvalidArgument, "A table of " + std::to_string(rows) + " rows and " +
                                            std::to_string(columns) +
                                            " columns is outside 1 to 32767 rows, 1 to 63 columns");
  Paragraph& here = Current();
  Paragraph cellParagraph;
  cellParagraph.format = here.format;
  cellParagraph.mark = format_;
  Table table;
  table.columns = columns;
  table.widths = widths;
  table.rows.assign(std::size_t(rows),
                    Row{std::vector<Cell>(std::size_t(columns), Cell{{cellParagraph}})});
  tables_.push_back(std::move(table));

  PlaceBeforeCursor(TableRef{int(tables_.size()) - 1}, true);
  cursor_ = Cursor{int(tables_.size()) - 1, 0, 0};
}

void DocxWriter::NextCell() {
  if (cursor_.table < 0)
    throw ReportError(kInvalidArgument, "The cursor is not in a table: there is no next cell");
  Table& t = tables_[std::size_t(cursor_.table)];
  auto& row = t.rows[std::size_t(cursor_.row)];
  if (std::size_t(cursor_.cell) + 1 < row.cells.size()) {
    ++cursor_.cell;
    return;
  }
  if (std::size_t(cursor_.row) + 1 < t.rows.size()) {
    ++cursor_.row;
    cursor_.cell = 0;
    return;
  }
  // A new row like the last: its cells take the paragraph format of the cells above.
  Row added;
  for (int c = 0; c < t.columns; ++c) {
    const Cell& above = row.cells[std::min(std::size_t(c), row.cells.size() - 1)];
    Paragraph p;
    p.format = above.paragraphs.back().format;
    p.mark = format_;
    added.cells.push_back(Cell{{std::move(p)}});
  }
  t.rows.push_back(std::move(added));
  ++cursor_.row;
  cursor_.cell = 0;
}

int DocxWriter::TableCount() const {
  return int(tables_.size());
}

const DocxWriter::Table& DocxWriter::TableAt(int table, const char* operation) const {
  if (table < 1 || table > int(tables_.size()))
    throw ReportError(kSubscriptOutOfRange, std::string(operation) + ": there is no table " +
                                                std::to_string(table) + " (the document has " +
                                                std::to_string(tables_.size()) + ")");
  return tables_[std::size_t(table - 1)];
}

DocxWriter::Table& DocxWriter::TableAt(int table, const char* operation) {
  return const_cast<Table&>(std::as_const(*this).TableAt(table, operation));
}

int DocxWriter::RowCount(int table) const {
  return int(TableAt(table, "RowCount").rows.size());
}

DocxWriter::Cell& DocxWriter::CellAt(int table, int row, int column, const char* operation) {
  Table& t = TableAt(table, operation);
  if (row < 1 || row > int(t.rows.size()))
    throw ReportError(kSubscriptOutOfRange,
                      std::string(operation) + ": table " + std::to_string(table) + " has no row " +
                          std::to_string(row) + " (it has " + std::to_string(t.rows.size()) + ")");
  auto& cells = t.rows[std::size_t(row - 1)].cells;
  if (column < 1 || column > int(cells.size()))
    throw ReportError(kSubscriptOutOfRange,
                      std::string(operation) + ": row " + std::to_string(row) + " of table " +
                          std::to_string(table) + " has no cell " + std::to_string(column) +
                          " (it has " + std::to_string(cells.size()) + ")");
  return cells[std::size_t(column - 1)];
}

void DocxWriter::MergeCells(int table, int row, int firstColumn, int lastColumn) {
  CellAt(table, row, firstColumn, "MergeCells");
  CellAt(table, row, lastColumn, "MergeCells");
  if (lastColumn <= firstColumn) {
    if (lastColumn == firstColumn) return;
    throw ReportError(kInvalidArgument, "MergeCells: cells " + std::to_string(firstColumn) +
                                            " to " + std::to_string(lastColumn) + " of row " +
                                            std::to_string(row) + " of table " +
                                            std::to_string(table) + " are in the wrong order");
  }
  Table& t = tables_[std::size_t(table - 1)];
  auto& cells = t.rows[std::size_t(row - 1)].cells;
  const auto first = cells.begin() + (firstColumn - 1);
  const auto last = cells.begin() + lastColumn;  // one past
  // The merged cell keeps each cell's text as its own paragraphs; empty ones are dropped,
  // but a cell keeps one paragraph, as the word processor needs.
  Cell merged = *first;
  merged.span = 0;
  merged.paragraphs.clear();
  for (auto c = first; c != last; ++c) {
    merged.span += c->span;
    for (auto& p : c->paragraphs)
      if (!p.runs.empty()) merged.paragraphs.push_back(std::move(p));
  }
  if (merged.paragraphs.empty()) merged.paragraphs.push_back(first->paragraphs.front());
  // The cursor, if in the row, stays in the same cell or in what it became.
  if (cursor_.table == table - 1 && cursor_.row == row - 1 && cursor_.cell >= firstColumn - 1)
    cursor_.cell =
        cursor_.cell < lastColumn ? firstColumn - 1 : cursor_.cell - (lastColumn - firstColumn);
  *first = std::move(merged);
  cells.erase(first + 1, last);
}

void DocxWriter::AppendCellText(int table, int row, int column, std::string_view text) {
  Cell& cell = CellAt(table, row, column, "AppendCellText");
  TypeInto(cell.paragraphs, text);
}

void DocxWriter::TypeInto(std::vector<Paragraph>& container, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
    AppendRun(container.back(), text.substr(start, i - start));
    if (i == text.size()) break;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    container.back().mark = format_;
    NewParagraph(container);
    start = i + 1;
  }
}

namespace {
void MakeBold(DocxWriter::Cell& cell, bool bold) {
  for (auto& p : cell.paragraphs) {
    p.mark.bold = bold;
    for (auto& r : p.runs) r.format.bold = bold;
  }
}
}  // namespace

void DocxWriter::SetCellBold(int table, int row, int column, bool bold) {
  MakeBold(CellAt(table, row, column, "SetCellBold"), bold);
}

void DocxWriter::SetRowBold(int table, int row, bool bold) {
  CellAt(table, row, 1, "SetRowBold");
  for (auto& cell : tables_[std::size_t(table - 1)].rows[std::size_t(row - 1)].cells)
    MakeBold(cell, bold);
}

void DocxWriter::AutoFitColumns(int table) {
  TableAt(table, "AutoFitColumns").autoFit = true;
}

void DocxWriter::SetTableAlignmentAtCursor(Alignment alignment) {
  if (cursor_.table < 0)
    throw ReportError(kInvalidArgument, "SetTableAlignmentAtCursor: the cursor is not in a table");
  tables_[std::size_t(cursor_.table)].alignment = alignment;
}

void DocxWriter::RemoveCellLeftBorderAtCursor() {
  if (cursor_.table < 0)
    throw ReportError(kInvalidArgument,
                      "RemoveCellLeftBorderAtCursor: the cursor is not in a table");
  CurrentCell().noLeftBorder = true;
}

void DocxWriter::CentreCellVerticallyAtCursor() {
  if (cursor_.table < 0)
    throw ReportError(kInvalidArgument,
                      "CentreCellVerticallyAtCursor: the cursor is not in a table");
  CurrentCell().centredVertically = true;
}

// ---- Writing the XML --------------------------------------------------------------------

// Column widths in twips: even over the text width, or, for a table sized to its contents,
// each column as wide as its widest text (the word processor's autofit), scaled down to the
// text width when together they are wider.
// Each column's widest word with the margins: what it cannot be narrower than.
std::vector<int> DocxWriter::WordWidthsTwips(const Table& t, int marginTwips) const {
  const std::size_t n = std::size_t(t.columns);
  std::vector<int> words(n, 2 * marginTwips + 120);
  for (const auto& row : t.rows) {
    std::size_t col = 0;
    for (const auto& c : row.cells) {
      if (c.span == 1 && col < n)
        for (const auto& p : c.paragraphs)
          words[col] =
              std::max(words[col], EstimatedLongestWordTwips(p, pictures_) + 2 * marginTwips + 40);
      col += std::size_t(c.span);
    }
  }
  return words;
}

std::vector<int> DocxWriter::ColumnWidthsTwips(const Table& t, int marginTwips) const {
  const std::size_t n = std::size_t(t.columns);
  if (t.widths == ColumnWidths::kEven && !t.autoFit)
    return std::vector<int>(n, textWidthTwips_ / t.columns);
  const int kMinimum = 2 * marginTwips + 120;
  std::vector<int> widths(n, kMinimum);
  const auto need = [&](const Cell& c) {
    int w = 0;
    for (const auto& p : c.paragraphs) w = std::max(w, EstimatedWidthTwips(p, pictures_));
    return w + 2 * marginTwips + 40;
  };
  for (const auto& row : t.rows) {
    std::size_t col = 0;
    for (const auto& c : row.cells) {
      if (c.span == 1 && col < n) widths[col] = std::max(widths[col], need(c));
      col += std::size_t(c.span);
    }
  }
  // A merged cell wider than the columns it covers widens them evenly.
  for (const auto& row : t.rows) {
    std::size_t col = 0;
    for (const auto& c : row.cells) {
      if (c.span > 1 && col + std::size_t(c.span) <= n) {
        int have = 0;
        for (int k = 0; k < c.span; ++k) have += widths[col + std::size_t(k)];
        const int missing = need(c) - have;
        if (missing > 0)
          for (int k = 0; k < c.span; ++k) widths[col + std::size_t(k)] += missing / c.span + 1;
      }
      col += std::size_t(c.span);
    }
  }
  long total = 0;
  for (int w : widths) total += w;
  if (total <= textWidthTwips_) return widths;
  // Too wide for the page: as the word processor wraps texts at their blanks first, every
  // column keeps at least its widest word, and what is left of the page is shared in
  // proportion to how much more each column would need for its texts on one line.
  std::vector<int> words = WordWidthsTwips(t, marginTwips);
  long least = 0, more = 0;
  for (std::size_t k = 0; k < n; ++k) {
    words[k] = std::min(words[k], widths[k]);
    least += words[k];
    more += widths[k] - words[k];
  }
  if (least >= textWidthTwips_) {
    // Even the words do not fit: every column narrowed in the same proportion.
    for (std::size_t k = 0; k < n; ++k)
      widths[k] = int(double(words[k]) * textWidthTwips_ / double(least));
    return widths;
  }
  const double share = more > 0 ? double(textWidthTwips_ - least) / double(more) : 0;
  for (std::size_t k = 0; k < n; ++k)
    widths[k] = words[k] + int(double(widths[k] - words[k]) * share);
  return widths;
}

void DocxWriter::WriteParagraph(xml::Writer& out, const Paragraph& p, bool inCell) const {
  out.Start("w:p");
  const bool hasFormat = inCell || p.format.alignment || !p.format.tabStopsTwips.empty() ||
                         p.mark.font || p.mark.bold || p.mark.halfPoints;
  if (hasFormat) {
    out.Start("w:pPr");
    if (!p.format.tabStopsTwips.empty()) {
      out.Start("w:tabs");
      for (int pos : p.format.tabStopsTwips)
        out.Empty("w:tab", {{"w:val", "left"}, {"w:pos", std::to_string(pos)}});
      out.End();
    }
    // In a cell, single lines with no space after, as the plain grid table style has them,
    // whatever spacing the template gives its body text.
    if (inCell)
      out.Empty("w:spacing", {{"w:after", "0"}, {"w:line", "240"}, {"w:lineRule", "auto"}});
    if (p.format.alignment)
      out.Empty("w:jc", {{"w:val", *p.format.alignment == Alignment::kCentre ? "center" : "left"}});
    WriteRunFormat(out, p.mark);
    out.End();
  }
  for (const auto& run : p.runs) {
    out.Start("w:r");
    WriteRunFormat(out, run.format);
    if (run.pageBreak) {
      out.Empty("w:br", {{"w:type", "page"}});
    } else if (run.picture >= 0) {
      const Picture& pic = pictures_[std::size_t(run.picture)];
      const std::string cx = std::to_string(pic.widthEmu), cy = std::to_string(pic.heightEmu);
      // Ids of drawings follow those of the template and of the inserted documents.
      const std::string id = std::to_string(nextDrawingId_ + run.picture);
      const std::string name = "Picture " + id;
      out.Start("w:drawing").Start("wp:inline");
      for (const char* d : {"distT", "distB", "distL", "distR"}) out.Attribute(d, "0");
      out.Empty("wp:extent", {{"cx", cx}, {"cy", cy}});
      out.Empty("wp:effectExtent", {{"l", "0"}, {"t", "0"}, {"r", "0"}, {"b", "0"}});
      out.Empty("wp:docPr", {{"id", id}, {"name", name}, {"descr", pic.description}});
      out.Start("wp:cNvGraphicFramePr")
          .Empty("a:graphicFrameLocks", {{"noChangeAspect", "1"}})
          .End();
      out.Start("a:graphic").Start("a:graphicData");
      out.Attribute("uri", "http://schemas.openxmlformats.org/drawingml/2006/picture");
      out.Start("pic:pic");
      out.Start("pic:nvPicPr")
          .Empty("pic:cNvPr", {{"id", "0"}, {"name", pic.description}})
          .Start("pic:cNvPicPr")
          .Empty("a:picLocks", {{"noChangeAspect", "1"}, {"noChangeArrowheads", "1"}})
          .End()
          .End();
      out.Start("pic:blipFill")
          .Empty("a:blip", {{"r:embed", pic.relId}})
          .Start("a:stretch")
          .Empty("a:fillRect", {})
          .End()
          .End();
      out.Start("pic:spPr").Start("a:xfrm");
      out.Empty("a:off", {{"x", "0"}, {"y", "0"}}).Empty("a:ext", {{"cx", cx}, {"cy", cy}}).End();
      out.Start("a:prstGeom").Attribute("prst", "rect").Empty("a:avLst", {}).End();
      out.End();              // spPr
      out.End().End().End();  // pic, graphicData, graphic
      out.End().End();        // inline, drawing
    } else {
      std::size_t start = 0;
      const std::string& text = run.text;
      for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\t') continue;
        if (i > start)
          out.Start("w:t")
              .Attribute("xml:space", "preserve")
              .Text(std::string_view(text).substr(start, i - start))
              .End();
        if (i < text.size()) out.Empty("w:tab", {});
        start = i + 1;
      }
    }
    out.End();
  }
  out.End();
}

int DocxWriter::CellMarginTwips(const Table& t) const {
  if (t.widths == ColumnWidths::kEven && !t.autoFit) return kCellMarginTwips;
  // A wide results table (sixteen columns at 8 points) would break its numbers inside the
  // word processor's margins; with narrow ones its words keep whole.
  long words = 0;
  for (int w : WordWidthsTwips(t, kCellMarginTwips)) words += w;
  return words > textWidthTwips_ ? kNarrowCellMarginTwips : kCellMarginTwips;
}

void DocxWriter::WriteTable(xml::Writer& out, const Table& t) const {
  const int margin = CellMarginTwips(t);
  const std::vector<int> widths = ColumnWidthsTwips(t, margin);
  const bool fixed = t.widths == ColumnWidths::kEven && !t.autoFit;
  out.Start("w:tbl").Start("w:tblPr");
  if (fixed)
    out.Empty("w:tblW", {{"w:w", std::to_string(textWidthTwips_)}, {"w:type", "dxa"}});
  else
    out.Empty("w:tblW", {{"w:w", "0"}, {"w:type", "auto"}});
  if (t.alignment)
    out.Empty("w:jc", {{"w:val", *t.alignment == Alignment::kCentre ? "center" : "left"}});
  // Single lines round every cell, as the word processor's plain grid table has them.
  out.Start("w:tblBorders");
  for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"})
    out.Empty(side, {{"w:val", "single"}, {"w:sz", "4"}, {"w:space", "0"}, {"w:color", "auto"}});
  out.End();
  out.Empty("w:tblLayout", {{"w:type", fixed ? "fixed" : "autofit"}});
  out.Start("w:tblCellMar");
  out.Empty("w:left", {{"w:w", std::to_string(margin)}, {"w:type", "dxa"}});
  out.Empty("w:right", {{"w:w", std::to_string(margin)}, {"w:type", "dxa"}});
  out.End();
  out.End();  // tblPr
  out.Start("w:tblGrid");
  for (int w : widths) out.Empty("w:gridCol", {{"w:w", std::to_string(w)}});
  out.End();
  for (const auto& row : t.rows) {
    out.Start("w:tr");
    std::size_t col = 0;
    for (std::size_t k = 0; k < row.cells.size(); ++k) {
      const Cell& c = row.cells[k];
      int width = 0;
      for (int s = 0; s < c.span && col + std::size_t(s) < widths.size(); ++s)
        width += widths[col + std::size_t(s)];
      col += std::size_t(c.span);
      // A cell without a left border also takes away the right border of its neighbour,
      // or the line between them would still be drawn.
      const bool noRight = k + 1 < row.cells.size() && row.cells[k + 1].noLeftBorder;
      out.Start("w:tc").Start("w:tcPr");
      out.Empty("w:tcW", {{"w:w", std::to_string(width)}, {"w:type", "dxa"}});
      if (c.span > 1) out.Empty("w:gridSpan", {{"w:val", std::to_string(c.span)}});
      if (c.noLeftBorder || noRight) {
        out.Start("w:tcBorders");
        if (c.noLeftBorder) out.Empty("w:left", {{"w:val", "nil"}});
        if (noRight) out.Empty("w:right", {{"w:val", "nil"}});
        out.End();
      }
      if (c.centredVertically) out.Empty("w:vAlign", {{"w:val", "center"}});
      out.End();  // tcPr
      for (const auto& p : c.paragraphs) WriteParagraph(out, p, true);
      if (c.paragraphs.empty()) out.Empty("w:p", {});
      out.End();  // tc
    }
    out.End();  // tr
  }
  out.End();  // tbl
}

std::string DocxWriter::DocumentXml() const {
  xml::Writer out(beforeContent_.size() + afterContent_.size() + 64 * 1024);
  out.Raw(beforeRoot_);
  // The root's own declarations, then those the report's content needs.
  std::string_view root(rootStartTag_);
  const bool emptyRoot = root.ends_with("/>");
  std::string declarations;
  for (const auto& [prefix, uri] : extraNamespaces_) {
    declarations += " xmlns:" + prefix + "=\"";
    xml::AppendEscaped(declarations, uri);
    declarations += '"';
  }
  out.Raw(root.substr(0, root.size() - (emptyRoot ? 2 : 1)));
  out.Raw(declarations);
  out.Raw(">");
  out.Raw(beforeContent_);
  for (const auto& block : body_) {
    if (const auto* p = std::get_if<Paragraph>(&block))
      WriteParagraph(out, *p, false);
    else if (const auto* t = std::get_if<TableRef>(&block))
      WriteTable(out, tables_[std::size_t(t->index)]);
    else
      out.Raw(std::get<Copied>(block).xml);
  }
  out.Raw(afterContent_);
  return out.Finish();
}

std::string DocxWriter::RelationshipsXml() const {
  const std::string& existing = FindPart(parts_, relsPart_)->bytes;
  std::string added;
  for (const auto& r : newRelationships_) {
    xml::Writer w;
    w.Start("Relationship")
        .Attribute("Id", r.id)
        .Attribute("Type", r.type)
        .Attribute("Target", r.target);
    if (r.external) w.Attribute("TargetMode", "External");
    added += w.Finish();
  }
  const std::size_t close = existing.rfind("</Relationships>");
  if (close == std::string::npos) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
           "xmlns=\"" +
           std::string(kPackageRelNs) + "\">" + added + "</Relationships>";
  }
  return existing.substr(0, close) + added + existing.substr(close);
}

std::string DocxWriter::ContentTypesXml() const {
  const std::string& existing = FindPart(parts_, "[Content_Types].xml")->bytes;
  std::string added;
  for (const auto& [extension, type] : newDefaults_) {
    xml::Writer w;
    w.Empty("Default", {{"Extension", extension}, {"ContentType", type}});
    added += w.Finish();
  }
  for (const auto& [part, type] : newOverrides_) {
    xml::Writer w;
    w.Empty("Override", {{"PartName", part}, {"ContentType", type}});
    added += w.Finish();
  }
  const std::size_t close = existing.rfind("</Types>");
  if (close == std::string::npos)
    throw ReportError(kPathFileAccessError, "The report template " + Quoted(template_) +
                                                " has a [Content_Types].xml without </Types>");
  return existing.substr(0, close) + added + existing.substr(close);
}

// ---- Saving -----------------------------------------------------------------------------

void DocxWriter::Save(const std::filesystem::path& file) {
  const auto fail = [&](int number, const std::string& cause) {
    throw ReportError(number, "The report " + Quoted(file) + " cannot be saved: " + cause);
  };
  std::error_code ec;
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (!std::filesystem::is_directory(folder, ec))
    fail(kPathFileAccessError, "the folder " + Quoted(folder) + " does not exist");
  if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
    fail(58, "file already exists");

  // The parts, written as they will be stored; libzip reads them from these buffers.
  std::vector<std::pair<std::string, std::string>> written;
  written.reserve(parts_.size());
  written.emplace_back("[Content_Types].xml", ContentTypesXml());
  for (const auto& p : parts_) {
    if (p.name == "[Content_Types].xml") continue;
    if (p.name == mainPart_)
      written.emplace_back(p.name, DocumentXml());
    else if (p.name == relsPart_)
      written.emplace_back(p.name, RelationshipsXml());
    else
      written.emplace_back(p.name, p.bytes);
  }

  // A temporary name beside the report, never one that exists.
  zip_t* zip = nullptr;
  std::filesystem::path temporary;
  std::string cause;
  for (int attempt = 0; attempt < 100 && !zip; ++attempt) {
    temporary = folder / ("." + file.filename().string() + "." + std::to_string(::getpid()) + "-" +
                          std::to_string(attempt) + ".tmp");
    int error = 0;
    zip = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
    if (!zip && error != ZIP_ER_EXISTS) {
      zip_error_t ze;
      zip_error_init_with_code(&ze, error);
      cause = zip_error_strerror(&ze);
      zip_error_fini(&ze);
      fail(kPathFileAccessError,
           "a temporary file cannot be made in " + Quoted(folder) + " (" + cause + ")");
    }
  }
  if (!zip) fail(kPathFileAccessError, "no free temporary name in " + Quoted(folder));

  const auto discard = [&](const std::string& why) {
    zip_discard(zip);
    std::filesystem::remove(temporary, ec);
    fail(kPathFileAccessError, why);
  };
  for (const auto& [name, bytes] : written) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    if (!source) discard("the part " + name + " cannot be stored (" + zip_strerror(zip) + ")");
    const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      discard("the part " + name + " cannot be stored (" + zip_strerror(zip) + ")");
    }
    // Pictures are compressed already; deflating them again costs time and saves nothing.
    const bool media = name.ends_with(".png") || name.ends_with(".jpeg") || name.ends_with(".jpg");
    zip_set_file_compression(zip, zip_uint64_t(index), media ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
  }
  if (zip_close(zip) != 0) {
    const std::string why = zip_strerror(zip);
    discard("it cannot be written in " + Quoted(folder) + " (" + why + ")");
  }

  // Into place without replacing a file that appeared meanwhile: a rename that refuses an
  // existing name, or, where the file system has none, a second link and the temporary's
  // removal.
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0)
    return;
  int error = errno;
  if (error == EINVAL || error == ENOSYS) {
    if (::link(temporary.c_str(), file.c_str()) == 0) {
      std::filesystem::remove(temporary, ec);
      return;
    }
    error = errno;
  }
  std::filesystem::remove(temporary, ec);
  if (error == EEXIST) fail(58, "file already exists");
  fail(kPathFileAccessError, std::strerror(error));
}

}  // namespace vestra::report
