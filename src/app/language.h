#pragma once

// The languages of the interface and what choosing one changes outside the windows:
// the language base, the captions of the main window and its toolbar, and the choice
// kept in the settings file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "app/texts.h"

namespace vestra {

struct Language {
  std::int16_t index;
  std::string_view code;          // ISO 639-1, as the text file is named (NN-xx.tsv)
  int chooserTextOffset;          // lblLingua caption from the text table, or 0 ...
  std::string_view chooserLabel;  // ... this fixed caption, the same in every language
};

inline constexpr std::array<Language, 15> kLanguages{{
    {0, "it", 90, ""},
    {1, "en", 91, ""},
    {2, "fr", 92, ""},
    {3, "de", 93, ""},
    {4, "es", 0, "Spagnolo"},
    {5, "hu", 0, "Ungherese"},
    {6, "el", 0, "Greco"},
    {7, "cs", 0, "Czech"},
    {8, "sv", 0, "Swedish"},
    {9, "ru", 0, "Russian"},
    {10, "pl", 0, "Polish"},
    {11, "hr", 0, "Croatian"},
    {12, "sr", 0, "Serbian"},
    {13, "sl", 0, "Slovene"},
    {14, "fi", 0, "Finnish"},
}};

// The caption of a menu item and, when the toolbar has a button for it, of that button
// (held as its tooltip text).
struct MenuCaption {
  std::string_view menu;
  std::string_view toolbarButton;  // empty: no toolbar button
  std::string text;
};

struct MainWindowCaptions {
  std::string caption;  // "Vestra - " + Text(60)
  std::vector<MenuCaption> menus;
};

// The main window's captions in the language of the texts.
MainWindowCaptions MainWindowTexts(const TextContext& texts);

// The language chooser: its caption Text(69) and the label of each language.
struct LanguageChooserTexts {
  std::string caption;
  std::array<std::string, 15> labels;
};
LanguageChooserTexts LanguageChooserCaptions(const TextContext& texts);

// Whether a window stays open when the language changes: only the main window
// ("Fmenu") and the chooser ("Flingua"); every other window would keep texts of the old
// language, so it is closed.
bool KeepsOpenOnLanguageChange(std::string_view windowName);

struct ApplyLanguageResult {
  MainWindowCaptions captions;
  IniWriteResult saved;  // Common/Multi; the interface warns when !saved.ok
};

// The non-window steps of applying settings.LangIndex: LangBase (overflow 6), the main
// window's captions, and Common/Multi written as the language-neutral number text
// (a blank and 4 for Spanish). The caller relabels the main window with the captions and
// closes the windows KeepsOpenOnLanguageChange rejects.
// file: where the choice is stored; nullptr for a run that keeps no settings file (the
// choice then lasts until the program ends) and at start-up, which applies the language
// the file already holds and so leaves the file alone.
ApplyLanguageResult ApplyLanguage(Settings& settings, SettingsFile* file);

}  // namespace vestra
