#pragma once

// The program's identity and the rules behind the main window's status line, its
// documentation and about items, the information window's texts, and the one routine
// that hands a document, a web address or a mail address to the desktop.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/texts.h"

namespace vestra {

inline constexpr std::string_view kProgramName = "Vestra";
inline constexpr std::string_view kProgramVersion = "6.8";

// The maker's addresses. The web host also serves the data book.
inline constexpr std::string_view kMakerWebAddress = "https://www.oska.example";
inline constexpr std::string_view kMakerMailAddress = "info@oska.example";
inline constexpr std::array<std::string_view, 3> kMakerAddressLines{{
    "Oska S.p.A. - Via dell'Industria 12",
    "20090 Segrate (MI) - Italia",
    "Tel. +39 02 5550 1200 - Fax +39 02 5550 1299",
}};

// "Ver. 6.8 DB. " + the catalogue's data version: the status line and the information
// window show the same line.
std::string VersionLine(std::string_view dbVersion);

// The data-book page in the user's language: the Italian pages (IDLang=0) for Italian,
// the English ones (IDLang=1) for every other language.
std::string DocumentationAddress(std::int16_t langBase);

// The about box: the application line and the second text, which read the same in every
// language.
struct AboutBoxTexts {
  std::string application;  // "Vestra 6.8"
  std::string other;        // "Programma di selezione", CR LF, "realizzato dalla Oska S.p.A."
};
AboutBoxTexts AboutTexts();

// The information window, as it loads.
struct InfoWindowTexts {
  std::string description;  // lblDescri: Text(60) + " Vestra"
  std::string version;      // lblVer
  std::string fine;         // cmdfine: Text(30)
  std::string web;          // Label1: "Internet : " + the web address
  std::string mail;         // Label6: "E-Mail : " + the mail address
  std::string webTarget;    // what a click on Label1 opens
  std::string mailTarget;   // what a click on Label6 opens: "mailto:" + the address
};
InfoWindowTexts InfoTexts(const TextContext& texts, std::string_view dbVersion);

// ---- handing a document to the desktop --------------------------------------------------

// What the desktop answered, numbered as the program has always reported it: 32 or less
// is a failure, the number telling which.
enum ShellOpenResult : int {
  kShellUnknownError = 0,
  kShellFileNotFound = 2,
  kShellPathNotFound = 3,
  kShellAccessDenied = 5,
  kShellNoAssociation = 31,
  kShellOpened = 33,  // anything above 32
};

inline constexpr std::string_view kDocumentationNotFound = "Documentazione non trovata";

// The path a name stands for: kind "D" a file of the documents root's "Documenti"
// folder, kind "W" a file of the program folder's "Descrizioni" folder, any other kind
// (the empty one included; the comparison is case-sensitive) the name itself - a web
// address, a "mailto:" address or a full path.
std::string DocumentPath(std::string_view name, std::string_view kind, const Settings& settings);

// The text of a failed open ("File not found" ...); "Unknown error" for a number without one.
std::string OpenFailureText(int shellResult);

// OpenDocument: builds the path; an empty name shows "Documentazione non trovata" and
// gives false. Otherwise the desktop is asked to open the path; a failure shows its text,
// " on " and the path. Returns true whether the desktop managed or not: callers go on.
bool OpenDocument(std::string_view name, std::string_view kind, const Settings& settings,
                  const std::function<int(const std::string& path)>& open,
                  const std::function<void(const std::string& message)>& showMessage);

}  // namespace vestra
