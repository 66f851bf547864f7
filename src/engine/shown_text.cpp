#include "engine/shown_text.h"

#include <cstdio>

namespace vestra {
namespace {

std::string Hex(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", value & 0xFFu);
  return buffer;
}

}  // namespace

Utf8Character DecodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1, true};
  // The well-formed sequences of the Unicode standard (table 3-7): no overlong forms, no
  // surrogates, nothing beyond U+10FFFF.
  std::size_t trailing = 0;
  char32_t code = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailing = 1;
    code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailing = 2;
    code = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailing = 3;
    code = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {0, 1, false};
  }
  std::size_t length = 1;
  for (std::size_t k = 0; k < trailing; ++k) {
    if (at + length >= text.size()) return {0, length, false};
    const unsigned char next = byte(at + length);
    if (next < low || next > high) return {0, length, false};
    low = 0x80;
    high = 0xBF;
    code = (code << 6) | (next & 0x3Fu);
    ++length;
  }
  return {code, length, true};
}

std::string QuotedValue(std::string_view text, std::size_t maxChars) {
  std::string out = "\"";
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (chars == maxChars) {
      out += "...";
      break;
    }
    const Utf8Character c = DecodeUtf8(text, i);
    if (!c.valid) {
      for (std::size_t k = 0; k < c.length; ++k)
        out += Hex(static_cast<unsigned char>(text[i + k]));
    } else if (IsControlCharacter(c.code)) {
      out += Hex(static_cast<unsigned>(c.code));
    } else if (c.code == '"' || c.code == '\\') {
      out += '\\';
      out += static_cast<char>(c.code);
    } else {
      out.append(text.substr(i, c.length));
    }
    i += c.length;
    ++chars;
  }
  return out + "\"";
}

std::optional<std::string> PrintableTextFault(std::string_view text) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Character c = DecodeUtf8(text, i);
    ++chars;
    if (!c.valid)
      return "a byte that is not UTF-8 (" + Hex(static_cast<unsigned char>(text[i])) +
             ") at character " + std::to_string(chars);
    if (IsControlCharacter(c.code))
      return "a control character (" + Hex(static_cast<unsigned>(c.code)) + ") at character " +
             std::to_string(chars);
    i += c.length;
  }
  return std::nullopt;
}

std::string WithValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Character c = DecodeUtf8(text, i);
    if (c.valid)
      out.append(text.substr(i, c.length));
    else
      out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
    i += c.length;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace vestra
