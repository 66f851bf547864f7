#include "report/composition.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace vestra::report {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The entry of a folder whose name matches without regard to case.
std::optional<std::filesystem::path> FindEntry(const std::filesystem::path& folder,
                                               std::string_view name, bool wantFolder) {
  std::error_code ec;
  const std::string wanted = Upper(name);
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (Upper(it->path().filename().string()) != wanted) continue;
    const bool isFolder = it->is_directory(ec);
    if (!ec && isFolder == wantFolder && (wantFolder || it->is_regular_file(ec))) return it->path();
  }
  return std::nullopt;
}

// A name of one file: no folder part, not "." or "..".
bool PlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\:") == std::string_view::npos &&
         std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::optional<std::filesystem::path> FindDocumentFile(const std::filesystem::path& programFolder,
                                                      std::string_view folder,
                                                      std::string_view name) {
  if (!PlainFileName(name)) return std::nullopt;
  const std::optional<std::filesystem::path> dir = FindEntry(programFolder, folder, true);
  if (!dir) return std::nullopt;
  return FindEntry(*dir, name, false);
}

Composition::Composition(const screens::Session& session, std::string series, int resultRows)
    : session_(session), series_(std::move(series)), resultRows_(resultRows) {}

void Composition::ReadRows() {
  rows_.clear();
  if (!session_.store) return;
  const Settings& s = session_.settings;
  const std::string query = "select * from DocXModello where Lingua = ? And Serie = ?";
  const auto code = static_cast<std::size_t>(s.LangIndex);
  const std::string language = code < s.LangCodes.size() ? s.LangCodes[code] : "";
  for (const std::string& lingua : {language, s.DefaultLang}) {
    Recordset records = session_.store->OpenRecordset(query, {lingua, series_});
    // Every row the catalogue lists is read: a series is not cut at some count of models.
    for (records.MoveFirst(); !records.IsEof(); records.MoveNext()) {
      rows_.push_back({records.Field("Serie").AppendedToEmptyText(),
                       records.Field("Modello").AppendedToEmptyText(),
                       records.Field("Foto").AppendedToEmptyText(),
                       records.Field("Dimensioni").AppendedToEmptyText(),
                       records.Field("Capitolato").AppendedToEmptyText(),
                       records.Field("Schemi").AppendedToEmptyText(),
                       records.Field("BreveDesc").AppendedToEmptyText()});
    }
    if (!rows_.empty()) return;
  }
}

void Composition::Activate(std::string_view today) {
  CompositionForm& f = form;
  const screens::Session& s = session_;
  f.HeightTwips = kCompositionHeightTwips;
  f.Caption = s.Text(71);
  f.lbldata = s.Text(161);
  f.lblcliente = s.Text(18);
  f.lblProgetto = s.Text(162);
  f.lblSezioni = s.Text(163);
  constexpr std::array<int, kSectionCount> kCaptions{164, 24, 66, 27, 73, 165};
  for (int k = 0; k < kSectionCount; ++k)
    f.chkSelez[static_cast<std::size_t>(k)].Caption =
        s.Text(kCaptions[static_cast<std::size_t>(k)]);
  f.cmdStampa.Caption = s.Text(74);
  f.cmdAnnulla.Caption = s.Text(13);
  f.lblAttesa.Visible = false;
  f.lblAttesa.Caption.clear();
  f.cmdStampa.Enabled = true;
  f.CboModello.Clear();
  f.txtData.Text = std::string(today);
  f.Visible = true;

  ReadRows();
  auto box = [&](Section section) -> screens::CheckBox& {
    return f.chkSelez[static_cast<std::size_t>(section)];
  };
  for (const Section section :
       {Section::kPhoto, Section::kSpecification, Section::kDimensions, Section::kWiring})
    box(section).Enabled = false;
  if (rows_.empty()) {
    f.CboModello.Visible = false;
  } else {
    for (const DocumentRow& row : rows_) f.CboModello.AddItem(row.Modello);
    f.CboModello.Visible = f.CboModello.ListCount() >= 2;
    f.CboModello.ListIndex = 0;
    // The boxes follow the first row's documents, those the program folder holds.
    const std::filesystem::path app(s.settings.AppPath);
    const DocumentRow& first = rows_.front();
    box(Section::kPhoto).Enabled = FindDocumentFile(app, kPhotoFolder, first.Foto).has_value();
    box(Section::kSpecification).Enabled =
        FindDocumentFile(app, kSpecificationFolder, first.Capitolato).has_value();
    box(Section::kDimensions).Enabled =
        FindDocumentFile(app, kDimensionsFolder, first.Dimensioni).has_value();
    box(Section::kWiring).Enabled = FindDocumentFile(app, kWiringFolder, first.Schemi).has_value();
  }
  // A box that cannot be ticked is not ticked.
  for (screens::CheckBox& b : f.chkSelez)
    if (!b.Enabled) b.Value = false;
  box(Section::kResults).Enabled = resultRows_ > 1;
  if (!box(Section::kResults).Enabled) box(Section::kResults).Value = false;
  CboModello_Click();
  chkSelez_Click(static_cast<int>(Section::kNotes), box(Section::kNotes).Value);
}

void Composition::CboModello_Click() {
  form.imgModello.reset();
  const DocumentRow* row = ChosenRow();
  if (!row || row->Foto.empty()) return;
  form.imgModello =
      FindDocumentFile(std::filesystem::path(session_.settings.AppPath), kPhotoFolder, row->Foto);
}

void Composition::chkSelez_Click(int index, bool value) {
  CompositionForm& f = form;
  if (index < 0 || index >= kSectionCount) return;
  f.chkSelez[static_cast<std::size_t>(index)].Value = value;
  f.frmModello.Visible =
      Wants(Section::kPhoto) || Wants(Section::kSpecification) || Wants(Section::kDimensions);
  const bool notes = Wants(Section::kNotes);
  f.txtNote.Enabled = notes;
  f.HeightTwips = notes ? kCompositionHeightWithNotesTwips : kCompositionHeightTwips;
}

void Composition::cmdAnnulla_Click() {
  form.Visible = false;
}

void Composition::BeginPrint() {
  form.lblAttesa.Caption = session_.Text(166);
  form.lblAttesa.Visible = true;
  form.cmdStampa.Enabled = false;
}

void Composition::ProgressDot() {
  form.lblAttesa.Caption += " . ";
}

void Composition::Saving(const std::filesystem::path& file) {
  form.lblAttesa.Caption = session_.Text(168) + file.string();
}

void Composition::EndPrint(bool written) {
  form.cmdStampa.Enabled = true;
  if (!written) form.lblAttesa.Visible = false;
}

bool Composition::Wants(Section section) const {
  const screens::CheckBox& b = form.chkSelez[static_cast<std::size_t>(section)];
  return b.Value && b.Enabled;
}

const DocumentRow* Composition::ChosenRow() const {
  const int i = form.CboModello.ListIndex;
  if (i < 0 || i >= static_cast<int>(rows_.size())) return nullptr;
  return &rows_[static_cast<std::size_t>(i)];
}

}  // namespace vestra::report
