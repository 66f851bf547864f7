#include "app/shell.h"

namespace vestra {

std::string VersionLine(std::string_view dbVersion) {
  return "Ver. " + std::string(kProgramVersion) + " DB. " + std::string(dbVersion);
}

std::string DocumentationAddress(std::int16_t langBase) {
  return std::string(kMakerWebAddress) +
         "/databook/index.php?IDLang=" + (langBase == 100 ? "0" : "1");
}

AboutBoxTexts AboutTexts() {
  return {std::string(kProgramName) + " " + std::string(kProgramVersion),
          "Programma di selezione\r\nrealizzato dalla Oska S.p.A."};
}

InfoWindowTexts InfoTexts(const TextContext& texts, std::string_view dbVersion) {
  InfoWindowTexts t;
  // Text(60) keeps its trailing blank in Italian, so the line shows two blanks there.
  t.description = texts(60) + " " + std::string(kProgramName);
  t.version = VersionLine(dbVersion);
  t.fine = texts(30);
  t.web = "Internet : " + std::string(kMakerWebAddress);
  t.mail = "E-Mail : " + std::string(kMakerMailAddress);
  t.webTarget = std::string(kMakerWebAddress);
  t.mailTarget = "mailto:" + std::string(kMakerMailAddress);
  return t;
}

std::string DocumentPath(std::string_view name, std::string_view kind, const Settings& settings) {
  if (kind == "D") return settings.CdromPath + "Documenti" + kPathSeparator + std::string(name);
  if (kind == "W") {
    std::string folder = settings.AppPath;
    if (!folder.empty() && folder.back() == kPathSeparator) folder.pop_back();
    return folder + kPathSeparator + "Descrizioni" + kPathSeparator + std::string(name);
  }
  return std::string(name);
}

std::string OpenFailureText(int shellResult) {
  switch (shellResult) {
    case 2:
      return "File not found";
    case 3:
      return "Path not found";
    case 5:
      return "Access denied";
    case 8:
      return "Out of memory";
    case 11:
      return "Invalid EXE file or error in EXE image";
    case 26:
      return "A sharing violation occurred";
    case 27:
      return "Incomplete or invalid file association";
    case 28:
      return "DDE Time out";
    case 29:
      return "DDE transaction failed";
    case 30:
      return "DDE busy";
    case 31:
      return "No association for file extension";
    case 32:
      return "DLL not found";
    default:
      return "Unknown error";
  }
}

bool OpenDocument(std::string_view name, std::string_view kind, const Settings& settings,
                  const std::function<int(const std::string& path)>& open,
                  const std::function<void(const std::string& message)>& showMessage) {
  const std::string path = DocumentPath(name, kind, settings);
  if (name.empty()) {
    showMessage(std::string(kDocumentationNotFound));
    return false;
  }
  const int result = open(path);
  if (result <= 32) showMessage(OpenFailureText(result) + " on " + path);
  return true;
}

}  // namespace vestra
