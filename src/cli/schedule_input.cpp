#include "cli/schedule_input.h"

#include <zip.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "engine/shown_text.h"

namespace vestra::cli {

namespace {

bool IsBlank(const std::vector<std::string>& cells) {
  for (const std::string& cell : cells)
    if (cell.find_first_not_of(" \t") != std::string::npos) return false;
  return true;
}

// ---- CSV ---------------------------------------------------------------------------------

// The separator of the first line: ";" when it holds more semicolons than commas outside
// quotes (the spreadsheets of a comma-decimal locale write those), else ",".
char DetectSeparator(const std::string& text) {
  int commas = 0, semicolons = 0;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    commas += c == ',';
    semicolons += c == ';';
  }
  return semicolons > commas ? ';' : ',';
}

// ---- XLSX ---------------------------------------------------------------------------------

// One step through an XML text: an element opened (or empty), an element closed, or text.
struct XmlToken {
  enum Kind { kOpen, kClose, kText, kEnd } kind = kEnd;
  std::string name;                               // the local name, its prefix left out
  std::map<std::string, std::string> attributes;  // by local name
  bool empty = false;                             // <c/>
  std::string text;
};

std::string LocalName(const std::string& name) {
  const std::size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

// The text of an XML text or attribute value with its entities resolved.
std::string Unescaped(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const std::size_t semicolon = raw[i] == '&' ? raw.find(';', i) : std::string_view::npos;
    if (semicolon == std::string_view::npos) {
      out += raw[i];
      continue;
    }
    const std::string_view entity = raw.substr(i + 1, semicolon - i - 1);
    if (entity == "amp")
      out += '&';
    else if (entity == "lt")
      out += '<';
    else if (entity == "gt")
      out += '>';
    else if (entity == "quot")
      out += '"';
    else if (entity == "apos")
      out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      const std::string digits(entity.substr(hex ? 2 : 1));
      // A reference beyond every character (or too long to read) is U+FFFD.
      const unsigned long code = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
      AppendUtf8(out, code > 0x10FFFF ? 0xFFFD : static_cast<char32_t>(code));
    } else {
      out += raw.substr(i, semicolon - i + 1);
    }
    i = semicolon;
  }
  return out;
}

class XmlReader {
 public:
  XmlReader(std::string text, std::string part) : text_(std::move(text)), part_(std::move(part)) {}

  XmlToken Next() {
    while (pos_ < text_.size()) {
      if (text_[pos_] != '<') {
        const std::size_t end = text_.find('<', pos_);
        XmlToken t;
        t.kind = XmlToken::kText;
        t.text = Unescaped(std::string_view(text_).substr(pos_, end - pos_));
        pos_ = end == std::string::npos ? text_.size() : end;
        return t;
      }
      if (text_.compare(pos_, 9, "<![CDATA[") == 0) {
        const std::size_t end = Find("]]>", pos_);
        XmlToken t;
        t.kind = XmlToken::kText;
        t.text = text_.substr(pos_ + 9, end - pos_ - 9);
        pos_ = end + 3;
        return t;
      }
      if (text_.compare(pos_, 4, "<!--") == 0) {
        pos_ = Find("-->", pos_) + 3;
        continue;
      }
      if (text_.compare(pos_, 2, "<?") == 0 || text_.compare(pos_, 2, "<!") == 0) {
        pos_ = Find(">", pos_) + 1;
        continue;
      }
      const std::size_t end = Find(">", pos_);
      std::string_view tag = std::string_view(text_).substr(pos_ + 1, end - pos_ - 1);
      pos_ = end + 1;
      XmlToken t;
      if (!tag.empty() && tag[0] == '/') {
        t.kind = XmlToken::kClose;
        t.name = LocalName(std::string(Trim(tag.substr(1))));
        return t;
      }
      t.kind = XmlToken::kOpen;
      if (!tag.empty() && tag.back() == '/') {
        t.empty = true;
        tag.remove_suffix(1);
      }
      std::size_t i = 0;
      while (i < tag.size() && !IsSpace(tag[i])) ++i;
      t.name = LocalName(std::string(tag.substr(0, i)));
      while (i < tag.size()) {
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        const std::size_t eq = tag.find('=', i);
        if (eq == std::string_view::npos) break;
        const std::string key = LocalName(std::string(Trim(tag.substr(i, eq - i))));
        std::size_t q = eq + 1;
        while (q < tag.size() && IsSpace(tag[q])) ++q;
        if (q >= tag.size() || (tag[q] != '"' && tag[q] != '\''))
          throw InputError{part_ + ": an attribute without quotes in <" + t.name + ">"};
        const std::size_t close = tag.find(tag[q], q + 1);
        if (close == std::string_view::npos)
          throw InputError{part_ + ": an attribute not closed in <" + t.name + ">"};
        t.attributes[key] = Unescaped(tag.substr(q + 1, close - q - 1));
        i = close + 1;
      }
      return t;
    }
    return {};
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
  }
  std::size_t Find(const char* what, std::size_t from) const {
    const std::size_t at = text_.find(what, from);
    if (at == std::string::npos) throw InputError{part_ + ": the XML ends inside a tag"};
    return at;
  }

  std::string text_;
  std::string part_;
  std::size_t pos_ = 0;
};

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

class Package {
 public:
  explicit Package(const std::string& path) : path_(path) {
    int code = 0;
    archive_.reset(zip_open(path.c_str(), ZIP_RDONLY, &code));
    if (!archive_) {
      zip_error_t error;
      zip_error_init_with_code(&error, code);
      const std::string cause = zip_error_strerror(&error);
      zip_error_fini(&error);
      throw InputError{"cannot read " + path + " as a workbook: " + cause};
    }
  }

  // A part of the package; nullopt when the package does not hold it.
  std::optional<std::string> Part(const std::string& name) const {
    zip_stat_t stat;
    if (zip_stat(archive_.get(), name.c_str(), 0, &stat) != 0) return std::nullopt;
    zip_file_t* file = zip_fopen(archive_.get(), name.c_str(), 0);
    if (!file)
      throw InputError{"cannot read " + path_ + ": " + name + ": " + zip_strerror(archive_.get())};
    std::string data(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size)
      throw InputError{"cannot read " + path_ + ": " + name + " is damaged"};
    return data;
  }

  std::string Required(const std::string& name) const {
    std::optional<std::string> part = Part(name);
    if (!part) throw InputError{path_ + " is not a workbook: it holds no " + name};
    return *part;
  }

 private:
  std::string path_;
  std::unique_ptr<zip_t, ZipCloser> archive_;
};

// The part of the workbook's first sheet, as its relationships name it.
std::string FirstSheetPart(const Package& package, const std::string& path) {
  XmlReader workbook(package.Required("xl/workbook.xml"), path + ": xl/workbook.xml");
  std::string id;
  for (XmlToken t = workbook.Next(); t.kind != XmlToken::kEnd; t = workbook.Next())
    if (t.kind == XmlToken::kOpen && t.name == "sheet") {
      id = t.attributes["id"];
      break;
    }
  if (id.empty()) throw InputError{path + ": the workbook has no sheet"};
  XmlReader rels(package.Required("xl/_rels/workbook.xml.rels"),
                 path + ": xl/_rels/workbook.xml.rels");
  for (XmlToken t = rels.Next(); t.kind != XmlToken::kEnd; t = rels.Next())
    if (t.kind == XmlToken::kOpen && t.name == "Relationship" && t.attributes["Id"] == id) {
      const std::string target = t.attributes["Target"];
      return target.starts_with('/') ? target.substr(1) : "xl/" + target;
    }
  throw InputError{path + ": the first sheet's part (" + id + ") is not in the workbook"};
}

std::vector<std::string> SharedStrings(const Package& package, const std::string& path) {
  std::vector<std::string> strings;
  const std::optional<std::string> part = package.Part("xl/sharedStrings.xml");
  if (!part) return strings;
  XmlReader reader(*part, path + ": xl/sharedStrings.xml");
  int phonetic = 0;  // the reading aids of East Asian text are not the cell's text
  bool inText = false;
  for (XmlToken t = reader.Next(); t.kind != XmlToken::kEnd; t = reader.Next()) {
    if (t.kind == XmlToken::kOpen && t.name == "si") strings.emplace_back();
    if (t.kind == XmlToken::kOpen && t.name == "rPh" && !t.empty) ++phonetic;
    if (t.kind == XmlToken::kClose && t.name == "rPh") --phonetic;
    if (t.kind == XmlToken::kOpen && t.name == "t") inText = !t.empty;
    if (t.kind == XmlToken::kClose && t.name == "t") inText = false;
    if (t.kind == XmlToken::kText && inText && phonetic == 0 && !strings.empty())
      strings.back() += t.text;
  }
  return strings;
}

// The column of a cell reference ("C12" -> 2); nullopt for a reference without letters.
std::optional<std::size_t> ColumnOf(const std::string& reference) {
  std::size_t column = 0;
  std::size_t letters = 0;
  for (const char c : reference) {
    if (c >= 'A' && c <= 'Z')
      column = column * 26 + static_cast<std::size_t>(c - 'A' + 1);
    else
      break;
    ++letters;
  }
  if (letters == 0 || letters > 3) return std::nullopt;
  return column - 1;
}

// A stored number as a person would type it: the shortest text that reads back as the
// same value ("2.9999999999999998E-2" -> "0.03").
std::string NumberText(const std::string& stored) {
  char* end = nullptr;
  const double value = std::strtod(stored.c_str(), &end);
  if (stored.empty() || *end != '\0') return stored;
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc{}) return stored;
  return std::string(buffer, result.ptr);
}

InputTable ReadWorkbook(const std::string& path) {
  const Package package(path);
  const std::string sheetPart = FirstSheetPart(package, path);
  const std::vector<std::string> strings = SharedStrings(package, path);
  XmlReader sheet(package.Required(sheetPart), path + ": " + sheetPart);

  InputTable table;
  table.fromWorkbook = true;
  InputRecord record;
  bool inRow = false;
  std::size_t column = 0;
  std::string type, reference, value;
  enum { kNone, kValue, kInline } reading = kNone;
  int lastRow = 0;
  for (XmlToken t = sheet.Next(); t.kind != XmlToken::kEnd; t = sheet.Next()) {
    if (t.kind == XmlToken::kOpen && t.name == "row") {
      record = {};
      const std::string r = t.attributes["r"];
      record.line = r.empty() ? lastRow + 1 : std::atoi(r.c_str());
      lastRow = record.line;
      column = 0;
      inRow = !t.empty;
    } else if (t.kind == XmlToken::kClose && t.name == "row") {
      if (!IsBlank(record.cells)) table.records.push_back(std::move(record));
      inRow = false;
    } else if (inRow && t.kind == XmlToken::kOpen && t.name == "c") {
      type = t.attributes["t"];
      reference = t.attributes["r"];
      value.clear();
      if (!reference.empty()) {
        const std::optional<std::size_t> at = ColumnOf(reference);
        if (!at)
          throw InputError{path + ": row " + std::to_string(record.line) + ": a cell reference " +
                           reference + " without a column"};
        column = *at;
      }
      if (t.empty) ++column;
    } else if (inRow && t.kind == XmlToken::kClose && t.name == "c") {
      std::string text = value;
      if (type == "s") {
        char* end = nullptr;
        const unsigned long index = std::strtoul(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || index >= strings.size())
          throw InputError{path + ": cell " + reference + ": shared string " + value +
                           " is not in the workbook"};
        text = strings[index];
      } else if (type.empty() || type == "n") {
        text = NumberText(value);
      }
      if (record.cells.size() <= column) record.cells.resize(column + 1);
      record.cells[column] = text;
      ++column;
    } else if (inRow && t.kind == XmlToken::kOpen && !t.empty && t.name == "v") {
      reading = kValue;
    } else if (inRow && t.kind == XmlToken::kOpen && !t.empty && t.name == "t" &&
               type == "inlineStr") {
      reading = kInline;
    } else if (t.kind == XmlToken::kClose && (t.name == "v" || t.name == "t")) {
      reading = kNone;
    } else if (t.kind == XmlToken::kText && reading != kNone) {
      value += t.text;
    }
  }
  return table;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError{"cannot read " + path + ": " + std::strerror(errno)};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw InputError{"cannot read " + path + ": " + std::strerror(errno)};
  return text;
}

}  // namespace

InputTable ParseCsv(std::string text, const std::string& name) {
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  const char separator = DetectSeparator(text);
  InputTable table;
  InputRecord record{1, {""}};
  int line = 1;
  bool quoted = false;
  bool afterQuote = false;  // a quoted field closed: only a separator or a line end may follow
  int quoteLine = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        record.cells.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
        afterQuote = true;
      } else {
        if (c == '\n') ++line;
        record.cells.back() += c;
      }
      continue;
    }
    if (c == separator) {
      record.cells.emplace_back();
      afterQuote = false;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (!IsBlank(record.cells)) table.records.push_back(std::move(record));
      ++line;
      record = {line, {""}};
      afterQuote = false;
    } else if (afterQuote) {
      throw InputError{name + ": line " + std::to_string(line) +
                       ": text after the closing quote of a field"};
    } else if (c == '"' && record.cells.back().find_first_not_of(" \t") == std::string::npos) {
      record.cells.back().clear();
      quoted = true;
      quoteLine = line;
    } else {
      record.cells.back() += c;
    }
  }
  if (quoted)
    throw InputError{name + ": line " + std::to_string(quoteLine) +
                     ": a quoted field is not closed"};
  if (!IsBlank(record.cells)) table.records.push_back(std::move(record));
  return table;
}

InputTable ReadSchedule(const std::string& path) {
  const std::string text = ReadFile(path);
  if (text.starts_with("PK\x03\x04")) return ReadWorkbook(path);
  return ParseCsv(text, path);
}

}  // namespace vestra::cli
