#include "app/language.h"

#include "app/numbers.h"

namespace vestra {

MainWindowCaptions MainWindowTexts(const TextContext& texts) {
  MainWindowCaptions c;
  c.caption = "Vestra - " + texts(60);
  c.menus = {
      {"mnuFile", "", texts(2)},
      {"mnuDefprt", "SSdefprt", texts(33)},
      {"mnufine", "", texts(3)},
      {"mnuUnmis", "SSunmis", texts(4)},
      {"mnuscelta", "", texts(38)},
      {"mnuprod(0)", "SSprod(0)", texts(7)},
      {"mnuprod(1)", "SSprod(1)", texts(8)},
      {"mnuprod(2)", "SSprod(2)", texts(87)},
      {"mnuprod(3)", "SSprod(3)", texts(88)},
      {"mnuprod(4)", "SSprod(4)", texts(124)},
      {"mnuprod(5)", "SSprod(5)", texts(136)},
      {"mnuprod(6)", "SSprod(6)", texts(137)},
      {"mnuprod(7)", "SSprod(7)", texts(156)},
      // Series names that read the same in every language.
      {"mnuprod(8)", "SSprod(8)", "DARNE"},
      {"mnuprod(9)", "SSprod(9)", texts(139) + " Z7"},
      {"mnuprod(10)", "SSprod(10)", texts(139) + " Pelvo"},
      {"mnuprod(12)", "SSprod(12)", "Cassette QUIVO"},
      {"mnuDocumentazione", "", texts(127)},
      {"mnulingua", "SSlingua", texts(69)},
      {"mnuInfooska", "", texts(34)},
      {"mnuInfo", "", texts(35)},
  };
  return c;
}

LanguageChooserTexts LanguageChooserCaptions(const TextContext& texts) {
  LanguageChooserTexts c;
  c.caption = texts(69);
  for (const Language& language : kLanguages) {
    c.labels[static_cast<std::size_t>(language.index)] = language.chooserTextOffset != 0
                                                             ? texts(language.chooserTextOffset)
                                                             : std::string(language.chooserLabel);
  }
  return c;
}

bool KeepsOpenOnLanguageChange(std::string_view windowName) {
  return windowName == "Fmenu" || windowName == "Flingua";
}

ApplyLanguageResult ApplyLanguage(Settings& settings, SettingsFile* file) {
  ApplyLanguageResult result;
  settings.LangBase = LangBaseFor(settings.LangIndex);
  result.captions = MainWindowTexts(TextContext(settings.LangBase));
  if (file)
    result.saved = file->WriteIni("Common", "Multi", NeutralNumberText(settings.LangIndex));
  else
    result.saved.ok = true;
  return result;
}

}  // namespace vestra
