#include "cli/headless_report.h"

#include <array>
#include <ctime>

#include "app/settings.h"
#include "cli/headless.h"
#include "report/composition.h"
#include "report/docx_writer.h"
#include "report/report_builder.h"

namespace vestra::cli {

namespace {

using report::Section;

// The sections by the words a command line uses, in the dialog's order.
constexpr std::array<std::string_view, report::kSectionCount> kSectionNames{
    "photo", "specification", "results", "dimensions", "wiring", "notes"};

std::string SectionNames() {
  std::string names;
  for (const std::string_view name : kSectionNames)
    names += (names.empty() ? "" : ", ") + std::string(name);
  return names;
}

struct Now {
  report::ReportTime at;
  std::string date;  // DD/MM/YYYY, as the dialog shows today
};

Now LocalNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  Now now;
  now.at = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
  char date[40];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", now.at.day, now.at.month, now.at.year);
  now.date = date;
  return now;
}

}  // namespace

std::vector<int> ParseSections(std::string_view list) {
  std::vector<int> sections;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view word = list.substr(start, comma - start);
    int found = -1;
    for (int k = 0; k < report::kSectionCount; ++k)
      if (word == kSectionNames[static_cast<std::size_t>(k)] || word == std::to_string(k))
        found = k;
    if (found < 0)
      throw UsageError{"--sections: unknown section " + Echo(word) + "; the sections are " +
                       SectionNames() + " (or 0..5)"};
    sections.push_back(found);
    start = comma + 1;
  }
  return sections;
}

std::filesystem::path WriteReport(const screens::SelectionScreen& screen, screens::Session& session,
                                  const ReportRequest& request) {
  const Now now = LocalNow();
  report::Composition composition(session, std::string(screen.Traits().code),
                                  screen.Form().Grd.RowCount());
  composition.Activate(now.date);
  report::CompositionForm& f = composition.form;
  if (request.documentRow) {
    const int rows = static_cast<int>(composition.Rows().size());
    if (*request.documentRow < 0 || *request.documentRow >= rows) {
      std::string models;
      for (const std::string& m : f.CboModello.List) models += (models.empty() ? "" : ", ") + m;
      throw UsageError{"--doc-row " + std::to_string(*request.documentRow) + ": " +
                       std::string(screen.Traits().name) + " has " + std::to_string(rows) +
                       " document row(s)" + (models.empty() ? "" : " (0.. for " + models + ")")};
    }
    f.CboModello.ListIndex = *request.documentRow;
    composition.CboModello_Click();
  }
  f.txtcliente.Text = request.customer;
  f.txtProgetto.Text = request.project;
  f.txtNote.Text = request.notes;

  std::vector<int> sections;
  if (request.sections) {
    sections = *request.sections;
  } else {
    // Every section the dialog lets the user tick; the notes page only with notes.
    for (int k = 0; k < report::kSectionCount; ++k)
      if (f.chkSelez[static_cast<std::size_t>(k)].Enabled &&
          (k != static_cast<int>(Section::kNotes) || !request.notes.empty()))
        sections.push_back(k);
  }
  for (const int k : sections) {
    if (!f.chkSelez[static_cast<std::size_t>(k)].Enabled)
      throw UsageError{
          "--sections: " + std::string(kSectionNames[static_cast<std::size_t>(k)]) +
          " cannot be written for " + std::string(screen.Traits().name) +
          (k == static_cast<int>(Section::kResults)
               ? ": the calculation gave no rows"
               : ": the catalogue names no such document for it in the program folder")};
    composition.chkSelez_Click(k, true);
  }

  std::filesystem::path folder;
  if (request.folder) {
    folder = *request.folder;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
      throw UsageError{"--report: the folder " + Echo(*request.folder) + " is not there"};
  } else {
    folder = PrepareReportFolder(session.settings);
  }
  report::DocxWriter writer(std::filesystem::path(session.settings.AppPath) / "intest.docx");
  report::BuildReport(writer, composition, &screen, session);
  const std::filesystem::path file = report::NewReportFile(folder, now.at);
  writer.Save(file);
  return file;
}

}  // namespace vestra::cli
