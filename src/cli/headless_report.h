#pragma once

// The report of a selection written without a window, as the composition dialog's Print
// writes it: the sections asked for (by default every section the dialog lets the user
// tick, the notes page when notes are given), the customer, project and notes, the model
// whose documents are used.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screens/selection_screen.h"
#include "screens/session.h"

namespace vestra::cli {

struct ReportRequest {
  std::optional<std::string> folder;  // where to write; the settings' output folder when absent
  std::optional<std::vector<int>> sections;  // the dialog's boxes chkSelez(0..5)
  std::string customer, project, notes;
  std::optional<int> documentRow;  // the model list's entry, from 0
};

// "photo,results,notes" or "0,2,5" as the dialog's box numbers; a UsageError for any
// other word, naming the section names.
std::vector<int> ParseSections(std::string_view list);

// Writes the report of the screen's last calculation; its file. A section the dialog
// would not let the user tick, a document row the series does not have, or a folder
// that is not there is a UsageError; a report that cannot be written raises the
// report's error, naming the file.
std::filesystem::path WriteReport(const screens::SelectionScreen& screen, screens::Session& session,
                                  const ReportRequest& request);

}  // namespace vestra::cli
