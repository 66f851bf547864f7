#include "screen_fixture.h"

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
  const SeriesTraits* traits = FindSeries(series);
  if (!traits || traits->screen != ScreenKind::kStandard) return nullptr;
  std::unique_ptr<SelectionScreen> screen = DispatchSeries(session, ui, *traits);
  return std::unique_ptr<StandardScreen>(static_cast<StandardScreen*>(screen.release()));
}

std::vector<std::vector<std::string>> ModelRows(const StandardScreen& screen) {
  const auto& rows = screen.form.Grd.Rows;
  if (rows.size() <= 2) return {};
  return {rows.begin() + 2, rows.end()};
}

int Column(const StandardScreen& screen, std::string_view symbol) {
  if (screen.form.Grd.Rows.empty()) return -1;
  const auto& headings = screen.form.Grd.Rows[0];
  for (std::size_t i = 0; i < headings.size(); ++i)
    if (headings[i] == symbol) return static_cast<int>(i);
  return -1;
}

}  // namespace vestra::screens::testing
