#include "screen_fixture.h"

#include "app/numbers.h"
#include "app/texts.h"
#include "screens/dispatch.h"
#include "screens/series_traits.h"

namespace vestra::screens::testing {

std::unique_ptr<Session> ItalianSession(char decimalSeparator) {
  auto session = std::make_unique<Session>();
  session->settings.LangIndex = 0;
  session->settings.LangBase = LangBaseFor(0);
  session->settings.DecimalSeparator = std::string(1, decimalSeparator);
  return session;
}

std::unique_ptr<Session> CatalogueSession() {
  auto session = ItalianSession();
  session->store = std::make_unique<CatalogueStore>(VESTRA_CATALOGUE_DB);
  session->settings.DbVersion = session->store->ReadDataVersion();
  return session;
}

std::unique_ptr<StandardScreen> OpenStandardScreen(Session& session, RecordingUi& ui,
                                                   std::string_view series) {
  return OpenScreen<StandardScreen>(session, ui, series);
}

std::vector<std::vector<std::string>> ModelRows(const SelectionScreen& screen) {
  const auto& rows = screen.Form().Grd.Rows;
  if (rows.size() <= 2) return {};
  return {rows.begin() + 2, rows.end()};
}

int Column(const SelectionScreen& screen, std::string_view symbol) {
  if (screen.Form().Grd.Rows.empty()) return -1;
  const auto& headings = screen.Form().Grd.Rows[0];
  for (std::size_t i = 0; i < headings.size(); ++i)
    if (headings[i] == symbol) return static_cast<int>(i);
  return -1;
}

double Number(const std::string& cell, char decimalSeparator) {
  std::string text = cell;
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  if (text.rfind("< ", 0) == 0 || text.rfind("> ", 0) == 0) text = text.substr(2);
  return text.empty() ? 0 : LocaleNumber(text, decimalSeparator);
}

}  // namespace vestra::screens::testing
