#pragma once

// The profile (INI) file format of the settings file, on the file's text. Sections and
// keys are found regardless of letter case; values are trimmed of surrounding blanks
// and of one pair of enclosing quotes. Lines starting with ";" or "#" are comments.
// When a section or key appears twice, the first one counts.
//
// Setting a value rewrites that one line and keeps the rest of the file as it was -
// comments, blank lines, the order and spelling of the other keys, the line endings -
// because the file is also kept by hand and by the installer.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vestra {

// Longest value the settings reader returns: the profile service reads into a buffer of
// 256 characters, its last one the terminator.
inline constexpr std::size_t kIniValueMaxChars = 255;

// The value of section/key in the file text, nullopt when the section or the key is
// absent. The value is cut to kIniValueMaxChars characters.
std::optional<std::string> IniLookup(std::string_view content, std::string_view section,
                                     std::string_view key);

// The values of a file text read once and asked for many keys: the text is kept, its
// sections are found in one pass, and the keys of a section are indexed the first time a
// key of that section is asked for (a section the program never asks for costs nothing
// beyond its text). Gives what IniLookup would.
class IniValues {
 public:
  IniValues() = default;
  explicit IniValues(std::string content);

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

 private:
  struct Section {
    std::size_t begin = 0;  // the line after its header
    std::size_t end = 0;    // the next header, or the end of the text
    mutable std::optional<std::map<std::string, std::string>> keys;  // lower-case key -> value
  };
  std::string content_;
  std::map<std::string, Section> sections_;  // lower-case name -> its first occurrence
};

// The file text with section/key set to value (written exactly as given after "="):
// an existing key line is rewritten in place, a missing key is added after the last key
// of its section, a missing section is added at the end of the file.
std::string IniSetValue(std::string_view content, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace vestra
