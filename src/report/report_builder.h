#pragma once

// The report: a page header with the date, customer and project, the product's photo
// page, the "Selezione Tecnica" title, the selection data of the screen the report was
// asked from (its conditions, its accessories), its results table and legend, the
// dimensional drawing, the tender specification text, the wiring diagram and the notes -
// the sections the composition dialog ticked, in that order. The texts are the screen's
// own, as shown; nothing is converted.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "report/composition.h"
#include "report/document_writer.h"
#include "screens/selection_screen.h"
#include "screens/session.h"

namespace vestra::report {

// Writes the sections into `writer`, which holds the template already. `source` is the
// screen whose Print button asked for the report (nullptr: no selection data, whatever is
// ticked). `progress` runs after each section (the dialog's dots).
void BuildReport(DocumentWriter& writer, const Composition& composition,
                 const screens::SelectionScreen* source, const screens::Session& session,
                 const std::function<void()>& progress = {});

// A moment of the report's name, as the clock gives it.
struct ReportTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "Doc" + DDMMYY-HHMMSS + ".docx" in `folder`; when a file of that name is there already
// (two reports in one second), "-2", "-3" ... before the extension.
std::filesystem::path NewReportFile(const std::filesystem::path& folder, const ReportTime& at);

}  // namespace vestra::report
