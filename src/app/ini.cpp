#include "app/ini.h"

#include <algorithm>
#include <vector>

namespace vestra {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// The first n characters of UTF-8 text.
std::string CutToChars(std::string_view s, std::size_t n) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool starts = (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
    if (starts && chars++ == n) return std::string(s.substr(0, i));
  }
  return std::string(s);
}

struct Line {
  std::string_view text;        // without its line end
  std::string_view terminator;  // "\n", "\r\n" or empty for an unterminated last line
};

enum class LineKind { kOther, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section name or key
  std::string_view value;  // trimmed value of a key line
};

ParsedLine Parse(std::string_view text) {
  ParsedLine p;
  const std::string_view t = Trim(text);
  if (t.empty() || t.front() == ';' || t.front() == '#') return p;
  if (t.front() == '[') {
    const auto close = t.find(']');
    p.kind = LineKind::kSection;
    p.name =
        Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return p;
  }
  const auto eq = t.find('=');
  if (eq == std::string_view::npos) return p;
  p.name = Trim(t.substr(0, eq));
  if (p.name.empty()) return p;
  p.kind = LineKind::kKey;
  p.value = Trim(t.substr(eq + 1));
  return p;
}

struct Document {
  std::string_view bom;
  std::vector<Line> lines;
  std::string_view newline = "\n";  // the file's own line end, for added lines
};

Document Split(std::string_view content) {
  Document doc;
  if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    doc.bom = content.substr(0, kUtf8Bom.size());
    content.remove_prefix(kUtf8Bom.size());
  }
  while (!content.empty()) {
    const auto nl = content.find('\n');
    Line line;
    if (nl == std::string_view::npos) {
      line.text = content;
      content = {};
    } else {
      const bool crlf = nl > 0 && content[nl - 1] == '\r';
      line.text = content.substr(0, crlf ? nl - 1 : nl);
      line.terminator = content.substr(crlf ? nl - 1 : nl, crlf ? 2 : 1);
      if (crlf) doc.newline = "\r\n";
      content.remove_prefix(nl + 1);
    }
    doc.lines.push_back(line);
  }
  return doc;
}

// Where a section lies: its header line and the line after its last line.
struct SectionRange {
  std::size_t header = 0;
  std::size_t end = 0;
};

std::optional<SectionRange> FindSection(const Document& doc, std::string_view section) {
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const ParsedLine p = Parse(doc.lines[i].text);
    if (p.kind != LineKind::kSection || !SameName(p.name, section)) continue;
    SectionRange range{i, i + 1};
    while (range.end < doc.lines.size() &&
           Parse(doc.lines[range.end].text).kind != LineKind::kSection)
      ++range.end;
    return range;
  }
  return std::nullopt;
}

std::string_view Unquoted(std::string_view v) {
  if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
    return v.substr(1, v.size() - 2);
  return v;
}

template <typename Lines>
std::string Join(std::string_view bom, const Lines& lines) {
  std::string out(bom);
  for (const auto& line : lines) {
    out += line.text;
    out += line.terminator;
  }
  return out;
}

}  // namespace

namespace {

// Calls visit(text, begin of the next line) for each line of content[from, to), without
// its line end.
template <typename Visit>
void ForEachLine(std::string_view content, std::size_t from, std::size_t to, Visit visit) {
  while (from < to) {
    std::size_t nl = content.find('\n', from);
    if (nl == std::string_view::npos || nl > to) nl = to;
    std::string_view text = content.substr(from, nl - from);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    from = nl + 1;
    visit(text, std::min(from, to));
  }
}

}  // namespace

IniValues::IniValues(std::string content) : content_(std::move(content)) {
  const std::size_t start =
      std::string_view(content_).substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
  Section* open = nullptr;  // the first occurrence being read, or null in a repeated one
  std::size_t lineStart = start;
  ForEachLine(content_, start, content_.size(), [&](std::string_view text, std::size_t next) {
    const ParsedLine p = Parse(text);
    if (p.kind == LineKind::kSection) {
      if (open) open->end = lineStart;
      const auto [it, first] = sections_.try_emplace(LowerCase(p.name));
      open = first ? &it->second : nullptr;
      if (open) open->begin = open->end = next;
    }
    lineStart = next;
  });
  if (open) open->end = content_.size();
}

std::optional<std::string> IniValues::Find(std::string_view section, std::string_view key) const {
  const auto it = sections_.find(LowerCase(section));
  if (it == sections_.end()) return std::nullopt;
  const Section& s = it->second;
  if (!s.keys) {
    s.keys.emplace();
    // The first line of a key counts.
    ForEachLine(content_, s.begin, s.end, [&](std::string_view text, std::size_t) {
      const ParsedLine p = Parse(text);
      if (p.kind == LineKind::kKey)
        s.keys->try_emplace(LowerCase(p.name), CutToChars(Unquoted(p.value), kIniValueMaxChars));
    });
  }
  const auto value = s.keys->find(LowerCase(key));
  if (value == s.keys->end()) return std::nullopt;
  return value->second;
}

std::optional<std::string> IniLookup(std::string_view content, std::string_view section,
                                     std::string_view key) {
  return IniValues(std::string(content)).Find(section, key);
}

std::string IniSetValue(std::string_view content, std::string_view section, std::string_view key,
                        std::string_view value) {
  const Document doc = Split(content);
  struct OutLine {
    std::string text;
    std::string terminator;
  };
  std::vector<OutLine> out;
  out.reserve(doc.lines.size() + 3);
  for (const Line& line : doc.lines)
    out.push_back({std::string(line.text), std::string(line.terminator)});
  const std::string newLine = std::string(key) + "=" + std::string(value);
  const std::string newline(doc.newline);
  // A line that gets a successor needs a line end of its own.
  auto terminate = [&](std::size_t i) {
    if (out[i].terminator.empty()) out[i].terminator = newline;
  };

  if (const auto range = FindSection(doc, section)) {
    std::size_t lastKey = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      const ParsedLine p = Parse(doc.lines[i].text);
      if (p.kind != LineKind::kKey) continue;
      if (SameName(p.name, key)) {
        // Rewrite in place, keeping the indentation and the key as spelt in the file.
        const std::string_view text = doc.lines[i].text;
        const std::size_t indent = std::min(text.find_first_not_of(" \t"), text.size());
        out[i].text =
            std::string(text.substr(0, indent)) + std::string(p.name) + "=" + std::string(value);
        return Join(doc.bom, out);
      }
      lastKey = i;
    }
    terminate(lastKey);
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastKey) + 1, {newLine, newline});
  } else {
    if (!out.empty()) {
      terminate(out.size() - 1);
      if (!Trim(out.back().text).empty()) out.push_back({"", newline});
    }
    std::string header(1, '[');
    header.append(section).append(1, ']');
    out.push_back({std::move(header), newline});
    out.push_back({newLine, newline});
  }
  return Join(doc.bom, out);
}

}  // namespace vestra
