#pragma once

// The XML of a DOCX package: a writer that builds a part's text in one growing string,
// and a scanner for the little the DOCX writer reads of a template's or another
// document's parts (where the body ends, the relationships, the namespace declarations).
//
// Every text that reaches the writer is the user's or the catalogue's: it may hold control
// characters or bytes that are not UTF-8. XML 1.0 forbids most control characters, and a
// word processor refuses a whole package for one bad byte, so the writer drops the
// forbidden characters and replaces invalid UTF-8 with U+FFFD instead of passing them on.

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vestra::report::xml {

// `text` appended to `out` with & < > " ' escaped, characters XML 1.0 forbids dropped and
// invalid UTF-8 sequences replaced by U+FFFD.
void AppendEscaped(std::string& out, std::string_view text);

// Elements written one after another into one string. Attributes go after Start and before
// anything else in the element; an element with nothing inside is closed as <name/>.
// Names are the caller's literals and are not checked.
class Writer {
 public:
  Writer() = default;
  explicit Writer(std::size_t reserve) { out_.reserve(reserve); }

  Writer& Start(std::string_view name);
  Writer& Attribute(std::string_view name, std::string_view value);
  Writer& Attribute(std::string_view name, long long value);
  Writer& Text(std::string_view text);
  // Markup that is already well-formed XML (a part copied from another document).
  Writer& Raw(std::string_view markup);
  Writer& End();
  // An element with attributes only: Start, the attributes, End.
  Writer& Empty(std::string_view name,
                std::initializer_list<std::pair<std::string_view, std::string_view>> attributes);

  // The XML so far, every element closed.
  const std::string& Finish();

 private:
  void CloseStartTag();

  std::string out_;
  std::vector<std::string_view> open_;
  bool startTagOpen_ = false;
};

// One piece of markup found by the scanner, as offsets into the scanned text.
struct Token {
  enum class Kind { kStartTag, kEndTag, kEmptyTag, kText, kOther };
  Kind kind = Kind::kOther;
  std::size_t begin = 0;  // the '<' of a tag, the first character of a text
  std::size_t end = 0;    // one past the '>' of a tag, one past the text
  std::string_view name;  // the qualified name of a tag
};

// The markup of an XML text one token at a time: tags, texts, and comments, processing
// instructions, CDATA sections and the document type as kOther. Next returns nothing at
// the end and throws std::runtime_error (with the offset) on markup that is not XML.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}
  std::optional<Token> Next();
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The attributes of a start or empty tag, names as written and values with the
// character and entity references resolved. Throws std::runtime_error on a broken tag.
using Attributes = std::vector<std::pair<std::string_view, std::string>>;
Attributes ParseAttributes(std::string_view tag);
// The value of one attribute, if the tag has it.
std::optional<std::string> AttributeOf(const Attributes& attributes, std::string_view name);

// The prefix of a qualified name ("w" of "w:body"), empty when it has none, and its
// local part.
std::string_view PrefixOf(std::string_view name);
std::string_view LocalNameOf(std::string_view name);

}  // namespace vestra::report::xml
