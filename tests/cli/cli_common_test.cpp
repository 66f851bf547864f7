#include "cli/cli_common.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/shown_text.h"

namespace vestra::cli {
namespace {

TEST(JsonString, escapesEveryControlCharacterAndReplacesBytesThatAreNotUtf8) {
  const std::string fffd = "\xEF\xBF\xBD";
  struct Case {
    std::string text;
    std::string json;
  } cases[] = {
      {"MIRAL 20", R"("MIRAL 20")"},
      {"say \"hi\" \\", R"("say \"hi\" \\")"},
      {"a\tb\nc\rd", R"("a\tb\nc\rd")"},
      {std::string("nul\0", 4), R"("nul\u0000")"},
      {"\x1B\x7F\xC2\x85", R"("\u001B\u007F\u0085")"},
      {"Caf\xC3\xA9 \xCE\x9C", "\"Caf\xC3\xA9 \xCE\x9C\""},
      {"M\xFF 20", "\"M" + fffd + " 20\""},
      {"\xC3", "\"" + fffd + "\""},
  };
  for (const Case& c : cases) {
    const std::string json = JsonString(c.text);
    EXPECT_EQ(json, c.json);
    // What a JSON reader needs: one line of valid UTF-8 without raw control characters.
    EXPECT_EQ(PrintableTextFault(json), std::nullopt) << json;
  }
}

TEST(JsonString, readsBackAsTheTextItEncodes) {
  const std::string text = "T 20\t4p \"x\" \x01\xC3\xA9";
  std::string error;
  const auto object = ParseFlatJsonObject(JsonObject({{"name", JsonString(text)}}), error);
  ASSERT_TRUE(object) << error;
  EXPECT_EQ(object->Find("name")->text, text);
}

}  // namespace
}  // namespace vestra::cli
