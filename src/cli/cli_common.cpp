#include "cli/cli_common.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "engine/shown_text.h"

namespace vestra::cli {

std::optional<double> ParseNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  double value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Character c = DecodeUtf8(text, i);
    if (!c.valid) {
      out += "\xEF\xBF\xBD";  // U+FFFD: the output stays valid JSON and valid UTF-8
    } else if (c.code == '"') {
      out += "\\\"";
    } else if (c.code == '\\') {
      out += "\\\\";
    } else if (c.code == '\n') {
      out += "\\n";
    } else if (c.code == '\r') {
      out += "\\r";
    } else if (c.code == '\t') {
      out += "\\t";
    } else if (IsControlCharacter(c.code)) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c.code));
      out += buffer;
    } else {
      out.append(text.substr(i, c.length));
    }
    i += c.length;
  }
  return out + "\"";
}

std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ", ";
    out += JsonString(fields[i].first) + ": " + fields[i].second;
  }
  return out + "}";
}

namespace {

// Reads the flat object; each method returns false after setting error.
class FlatJsonReader {
 public:
  FlatJsonReader(std::string_view text, std::string& error) : text_(text), error_(error) {}

  bool Object(FlatJsonObject& object) {
    SkipSpace();
    if (!Expect('{', "the input must be one JSON object")) return false;
    SkipSpace();
    if (Peek() == '}') {
      ++pos_;
    } else {
      for (;;) {
        std::string key;
        SkipSpace();
        if (Peek() != '"') return Fail("expected a key in double quotes");
        if (!String(key)) return false;
        if (object.Find(key)) return Fail("key \"" + key + "\" appears twice");
        SkipSpace();
        if (!Expect(':', "expected ':' after key \"" + key + "\"")) return false;
        SkipSpace();
        JsonValue value;
        if (!Value(key, value)) return false;
        object.fields.emplace_back(std::move(key), std::move(value));
        SkipSpace();
        if (Peek() == ',') {
          ++pos_;
          continue;
        }
        if (!Expect('}', "expected ',' or '}'")) return false;
        break;
      }
    }
    SkipSpace();
    if (pos_ != text_.size()) return Fail("unexpected text after the object");
    return true;
  }

 private:
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  bool Fail(const std::string& message) {
    error_ = message + " (at character " + std::to_string(pos_ + 1) + ")";
    return false;
  }

  bool Expect(char c, const std::string& message) {
    if (Peek() != c) return Fail(message);
    ++pos_;
    return true;
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool Value(const std::string& key, JsonValue& value) {
    const char c = Peek();
    if (c == '"') {
      value.kind = JsonValue::Kind::kString;
      return String(value.text);
    }
    if (c == '{' || c == '[')
      return Fail("the value of \"" + key + "\" must be a number or a text");
    if (Literal("true")) {
      value.kind = JsonValue::Kind::kBool;
      value.boolean = true;
      return true;
    }
    if (Literal("false")) {
      value.kind = JsonValue::Kind::kBool;
      value.boolean = false;
      return true;
    }
    if (Literal("null")) {
      value.kind = JsonValue::Kind::kNull;
      return true;
    }
    return Number(key, value);
  }

  // The JSON number grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
  bool Number(const std::string& key, JsonValue& value) {
    const std::size_t start = pos_;
    auto digits = [this] {
      const std::size_t from = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ > from;
    };
    if (Peek() == '-') ++pos_;
    if (Peek() == '0')
      ++pos_;
    else if (!digits())
      return Fail("the value of \"" + key + "\" is not a JSON value");
    if (Peek() == '.') {
      ++pos_;
      if (!digits()) return Fail("the value of \"" + key + "\" is not a JSON number");
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (!digits()) return Fail("the value of \"" + key + "\" is not a JSON number");
    }
    value.kind = JsonValue::Kind::kNumber;
    value.text = std::string(text_.substr(start, pos_ - start));
    const std::optional<double> number = ParseNumber(value.text);
    if (!number) return Fail("the value of \"" + key + "\" is not a finite number");
    value.number = *number;
    return true;
  }

  bool Hex4(unsigned& code) {
    if (pos_ + 4 > text_.size()) return Fail("incomplete \\u escape");
    code = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = text_[pos_++];
      code <<= 4;
      if (h >= '0' && h <= '9')
        code |= static_cast<unsigned>(h - '0');
      else if (h >= 'a' && h <= 'f')
        code |= static_cast<unsigned>(h - 'a' + 10);
      else if (h >= 'A' && h <= 'F')
        code |= static_cast<unsigned>(h - 'A' + 10);
      else
        return Fail("bad \\u escape");
    }
    return true;
  }

  bool String(std::string& out) {
    ++pos_;  // opening quote
    for (;;) {
      if (pos_ >= text_.size()) return Fail("unterminated text");
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("control character in a text");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return Fail("unterminated text");
      const char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned code = 0;
          if (!Hex4(code)) return false;
          if (code >= 0xD800 && code < 0xDC00) {
            unsigned low = 0;
            if (!Literal("\\u") || !Hex4(low) || low < 0xDC00 || low >= 0xE000)
              return Fail("unpaired surrogate in a \\u escape");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            return Fail("unpaired surrogate in a \\u escape");
          }
          AppendUtf8(out, static_cast<char32_t>(code));
          break;
        }
        default:
          return Fail(std::string("bad escape \\") + e);
      }
    }
  }

  std::string_view text_;
  std::string& error_;
  std::size_t pos_ = 0;
};

}  // namespace

const JsonValue* FlatJsonObject::Find(std::string_view key) const {
  for (const auto& [name, value] : fields)
    if (name == key) return &value;
  return nullptr;
}

std::optional<FlatJsonObject> ParseFlatJsonObject(std::string_view text, std::string& error) {
  FlatJsonObject object;
  FlatJsonReader reader(text, error);
  if (!reader.Object(object)) return std::nullopt;
  return object;
}

void PrintError(std::string_view tool, std::string_view message) {
  std::cerr << tool << ": " << message << '\n';
}

}  // namespace vestra::cli
