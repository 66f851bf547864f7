#pragma once

// The report composition dialog FStampa as logic: the date, customer and project of the
// report, the sections it will hold, the model whose documents it uses (photo, drawing,
// specification text, wiring diagram, short description, listed per series and language
// in the catalogue's DocXModello), the notes. A section whose document the catalogue
// names but the program's folders do not hold cannot be ticked.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/store.h"
#include "screens/controls.h"
#include "screens/session.h"

namespace vestra::report {

// One DocXModello record: a model's documents (file names in their folders).
struct DocumentRow {
  std::string Serie, Modello, Foto, Dimensioni, Capitolato, Schemi, BreveDesc;
};

// The report's sections, in the order of the dialog's boxes chkSelez(0..5).
enum class Section {
  kPhoto = 0,
  kSpecification = 1,
  kResults = 2,
  kDimensions = 3,
  kWiring = 4,
  kNotes = 5,
};
inline constexpr int kSectionCount = 6;

// The folders beside the program that hold the documents.
inline constexpr std::string_view kPhotoFolder = "FotoW";
inline constexpr std::string_view kSpecificationFolder = "descrizioni";
inline constexpr std::string_view kDimensionsFolder = "dimensionali";
inline constexpr std::string_view kWiringFolder = "schemi";

// A document named by the catalogue, in its folder under the program folder: folder and
// file matched without regard to case. Nothing when the name is empty or reaches out of
// the folder (a path, "..") or no such file is there.
std::optional<std::filesystem::path> FindDocumentFile(const std::filesystem::path& programFolder,
                                                      std::string_view folder,
                                                      std::string_view name);

// The dialog's state, by control name.
struct CompositionForm {
  std::string Caption;
  std::string lbldata, lblcliente, lblProgetto, lblSezioni;
  screens::TextBox txtData, txtcliente, txtProgetto, txtNote;
  std::array<screens::CheckBox, kSectionCount> chkSelez;
  screens::Panel frmModello;
  screens::ComboBox CboModello;
  // The photo the preview shows; empty for none.
  std::optional<std::filesystem::path> imgModello;
  screens::Label lblAttesa;
  screens::Button cmdStampa, cmdAnnulla;
  int HeightTwips = 5400;
  bool Visible = false;
};

// The dialog's height without and with the notes box.
inline constexpr int kCompositionHeightTwips = 5400;
inline constexpr int kCompositionHeightWithNotesTwips = 6700;

class Composition {
 public:
  // For the series `series` (the code the catalogue's documents are listed under), whose
  // screen's results table holds `resultRows` rows, headings included.
  Composition(const screens::Session& session, std::string series, int resultRows);

  // The dialog becomes active: captions, today's date ("DD/MM/YYYY"), the document rows of
  // the series in the program's language (or in the default document language when it
  // has none), the model list, and the section boxes that can be ticked.
  void Activate(std::string_view today);
  // Another model's documents: the preview shows its photo.
  void CboModello_Click();
  // A section box clicked to `value`: the model frame shows for the sections that use a
  // model's documents, the notes box grows the dialog.
  void chkSelez_Click(int index, bool value);
  // Cancel: the dialog hides, what was typed stays.
  void cmdAnnulla_Click();

  // The progress of Print: the waiting message shown and Print disabled while the report
  // is built, a dot after each section, the file named while it is saved; at the end Print
  // enabled again, the message hidden when the report was not written.
  void BeginPrint();
  void ProgressDot();
  void Saving(const std::filesystem::path& file);
  void EndPrint(bool written);

  // Whether a section is ticked (and can be).
  bool Wants(Section section) const;
  // The document row chosen (the model list's position); nullptr when there is none.
  const DocumentRow* ChosenRow() const;
  const std::vector<DocumentRow>& Rows() const { return rows_; }
  const std::string& Series() const { return series_; }
  // The result rows of the serving screen.
  void SetResultRows(int rows) { resultRows_ = rows; }

  CompositionForm form;

 private:
  void ReadRows();

  const screens::Session& session_;
  std::string series_;
  int resultRows_ = 0;
  std::vector<DocumentRow> rows_;
};

}  // namespace vestra::report
