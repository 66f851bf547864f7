#include "report/xml_writer.h"

#include <cstdint>
#include <stdexcept>

#include "engine/shown_text.h"

namespace vestra::report::xml {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// XML 1.0's Char production: tab, newline, carriage return and everything from the space
// up, less the surrogates and U+FFFE/U+FFFF.
bool AllowedInXml(std::uint32_t c) {
  if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

// The length of the valid UTF-8 sequence at text[i] and its code point, or 0 when the
// bytes there are not one (overlong forms and encoded surrogates included).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  std::size_t n = 0;
  std::uint32_t min = 0;
  if (b0 < 0x80) {
    c = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    n = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return n;
}

bool IsNameChar(char c) {
  return c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '>' && c != '/' && c != '=' &&
         c != '<' && c != '"' && c != '\'';
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

[[noreturn]] void Broken(const char* what, std::size_t at) {
  throw std::runtime_error(std::string(what) + " at offset " + std::to_string(at));
}

// The value of an attribute with its references resolved (&amp; &#38; &#x26; ...).
std::string Unescape(std::string_view value, std::size_t at) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '&') {
      out += value[i];
      continue;
    }
    const std::size_t semi = value.find(';', i);
    if (semi == std::string_view::npos) Broken("an unterminated reference", at + i);
    const std::string_view ref = value.substr(i + 1, semi - i - 1);
    if (ref == "amp")
      out += '&';
    else if (ref == "lt")
      out += '<';
    else if (ref == "gt")
      out += '>';
    else if (ref == "quot")
      out += '"';
    else if (ref == "apos")
      out += '\'';
    else if (ref.size() > 1 && ref[0] == '#') {
      const bool hex = ref[1] == 'x';
      std::uint32_t c = 0;
      for (char d : ref.substr(hex ? 2 : 1)) {
        int v = -1;
        if (d >= '0' && d <= '9')
          v = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
          v = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
          v = d - 'A' + 10;
        if (v < 0 || c > 0x10FFFF) Broken("a bad character reference", at + i);
        c = c * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
      }
      if (!AllowedInXml(c)) Broken("a reference to a character XML forbids", at + i);
      AppendUtf8(out, c);
    } else {
      Broken("an unknown entity", at + i);
    }
    i = semi;
  }
  return out;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    switch (ch) {
      case '&':
        out += "&amp;";
        ++i;
        continue;
      case '<':
        out += "&lt;";
        ++i;
        continue;
      case '>':
        out += "&gt;";
        ++i;
        continue;
      case '"':
        out += "&quot;";
        ++i;
        continue;
      case '\'':
        out += "&apos;";
        ++i;
        continue;
      default:
        break;
    }
    std::uint32_t c = 0;
    const std::size_t n = DecodeUtf8(text, i, c);
    if (n == 0) {
      out += kReplacement;
      ++i;
      continue;
    }
    if (AllowedInXml(c)) out.append(text.substr(i, n));
    i += n;
  }
}

Writer& Writer::Start(std::string_view name) {
  CloseStartTag();
  out_ += '<';
  out_ += name;
  open_.push_back(name);
  startTagOpen_ = true;
  return *this;
}

Writer& Writer::Attribute(std::string_view name, std::string_view value) {
  if (!startTagOpen_) throw std::logic_error("an XML attribute outside a start tag");
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  AppendEscaped(out_, value);
  out_ += '"';
  return *this;
}

Writer& Writer::Attribute(std::string_view name, long long value) {
  return Attribute(name, std::to_string(value));
}

Writer& Writer::Text(std::string_view text) {
  CloseStartTag();
  AppendEscaped(out_, text);
  return *this;
}

Writer& Writer::Raw(std::string_view markup) {
  CloseStartTag();
  out_ += markup;
  return *this;
}

Writer& Writer::End() {
  if (open_.empty()) throw std::logic_error("an XML end tag with no element open");
  if (startTagOpen_) {
    out_ += "/>";
    startTagOpen_ = false;
  } else {
    out_ += "</";
    out_ += open_.back();
    out_ += '>';
  }
  open_.pop_back();
  return *this;
}

Writer& Writer::Empty(
    std::string_view name,
    std::initializer_list<std::pair<std::string_view, std::string_view>> attributes) {
  Start(name);
  for (const auto& [n, v] : attributes) Attribute(n, v);
  return End();
}

const std::string& Writer::Finish() {
  while (!open_.empty()) End();
  return out_;
}

void Writer::CloseStartTag() {
  if (startTagOpen_) {
    out_ += '>';
    startTagOpen_ = false;
  }
}

std::optional<Token> Scanner::Next() {
  if (pos_ >= text_.size()) return std::nullopt;
  Token t;
  t.begin = pos_;
  if (text_[pos_] != '<') {
    const std::size_t lt = text_.find('<', pos_);
    t.kind = Token::Kind::kText;
    t.end = pos_ = lt == std::string_view::npos ? text_.size() : lt;
    return t;
  }
  const auto skipTo = [&](std::string_view terminator, const char* what) {
    const std::size_t at = text_.find(terminator, pos_);
    if (at == std::string_view::npos) Broken(what, pos_);
    t.kind = Token::Kind::kOther;
    t.end = pos_ = at + terminator.size();
    return t;
  };
  const std::string_view rest = text_.substr(pos_);
  if (rest.starts_with("<!--")) return skipTo("-->", "an unterminated comment");
  if (rest.starts_with("<?")) return skipTo("?>", "an unterminated processing instruction");
  if (rest.starts_with("<![CDATA[")) return skipTo("]]>", "an unterminated CDATA section");
  if (rest.starts_with("<!")) return skipTo(">", "an unterminated declaration");

  // A tag: its end is the first '>' outside a quoted attribute value.
  std::size_t i = pos_ + 1;
  const bool endTag = i < text_.size() && text_[i] == '/';
  if (endTag) ++i;
  const std::size_t nameBegin = i;
  while (i < text_.size() && IsNameChar(text_[i])) ++i;
  if (i == nameBegin) Broken("a tag without a name", pos_);
  t.name = text_.substr(nameBegin, i - nameBegin);
  char quote = 0;
  for (; i < text_.size(); ++i) {
    const char c = text_[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      break;
    } else if (c == '<') {
      Broken("a '<' inside a tag", i);
    }
  }
  if (i >= text_.size()) Broken("an unterminated tag", pos_);
  t.end = pos_ = i + 1;
  if (endTag)
    t.kind = Token::Kind::kEndTag;
  else if (text_[i - 1] == '/')
    t.kind = Token::Kind::kEmptyTag;
  else
    t.kind = Token::Kind::kStartTag;
  return t;
}

Attributes ParseAttributes(std::string_view tag) {
  Attributes out;
  std::size_t i = 1;
  while (i < tag.size() && IsNameChar(tag[i])) ++i;  // the element's name
  for (;;) {
    while (i < tag.size() && IsSpace(tag[i])) ++i;
    if (i >= tag.size() || tag[i] == '>' || tag[i] == '/') break;
    const std::size_t nameBegin = i;
    while (i < tag.size() && IsNameChar(tag[i])) ++i;
    const std::string_view name = tag.substr(nameBegin, i - nameBegin);
    while (i < tag.size() && IsSpace(tag[i])) ++i;
    if (name.empty() || i >= tag.size() || tag[i] != '=') Broken("a broken attribute", i);
    ++i;
    while (i < tag.size() && IsSpace(tag[i])) ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) Broken("an unquoted attribute", i);
    const char quote = tag[i++];
    const std::size_t close = tag.find(quote, i);
    if (close == std::string_view::npos) Broken("an unterminated attribute value", i);
    out.emplace_back(name, Unescape(tag.substr(i, close - i), i));
    i = close + 1;
  }
  return out;
}

std::optional<std::string> AttributeOf(const Attributes& attributes, std::string_view name) {
  for (const auto& [n, v] : attributes)
    if (n == name) return v;
  return std::nullopt;
}

std::string_view PrefixOf(std::string_view name) {
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

std::string_view LocalNameOf(std::string_view name) {
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace vestra::report::xml
