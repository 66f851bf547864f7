#include "report/report_builder.h"

#include <cstdio>
#include <system_error>

#include "engine/shown_text.h"
#include "report/report_error.h"
#include "screens/ducted_screen.h"
#include "screens/ec_screen.h"
#include "screens/field_rules.h"
#include "screens/standard_screen.h"

namespace vestra::report {

namespace {

using screens::CommonForm;
using screens::DuctedForm;
using screens::EcForm;

// The screen a report reads, by the kind of its form.
struct Source {
  const CommonForm* common = nullptr;
  const DuctedForm* ducted = nullptr;  // the ducted layout (KELM, ZOPH and their EC units)
  const EcForm* ec = nullptr;          // FDatiPEC, FDatiUmbra
  const screens::StandardForm* standard = nullptr;
  std::string_view name;
};

Source SourceOf(const screens::SelectionScreen* screen) {
  Source s;
  if (!screen) return s;
  s.common = &screen->Form();
  s.name = screen->Name();
  if (const auto* d = dynamic_cast<const screens::DuctedScreen*>(screen)) s.ducted = &d->form;
  if (const auto* e = dynamic_cast<const screens::EcScreenBase*>(screen)) s.ec = &e->form;
  if (const auto* p = dynamic_cast<const screens::StandardScreen*>(screen)) s.standard = &p->form;
  return s;
}

class Builder {
 public:
  Builder(DocumentWriter& w, const Composition& c, const screens::SelectionScreen* screen,
          const screens::Session& s, const std::function<void()>& progress)
      : w_(w), c_(c), source_(SourceOf(screen)), s_(s), progress_(progress) {}

  void Build() {
    Dots();
    PageHeader("");
    w_.MoveToEnd();
    w_.SetFontName("Arial");
    if (c_.Wants(Section::kPhoto)) PhotoPage();
    Title();
    if (c_.Wants(Section::kResults) && source_.common) SelectionData();
    if (c_.Wants(Section::kDimensions))
      PicturePage(Section::kDimensions, kDimensionsFolder, Row().Dimensioni);
    if (c_.Wants(Section::kSpecification)) SpecificationPage();
    if (c_.Wants(Section::kWiring)) PicturePage(Section::kWiring, kWiringFolder, Row().Schemi);
    if (c_.Wants(Section::kNotes)) NotesPage();
    Dots();
  }

 private:
  void Dots() {
    if (progress_) progress_();
  }

  const std::string& Caption(Section section) const {
    return c_.form.chkSelez[static_cast<std::size_t>(section)].Caption;
  }

  // The document row the sections that use a model's documents take.
  const DocumentRow& Row() const {
    static const DocumentRow kNone;
    const DocumentRow* row = c_.ChosenRow();
    return row ? *row : kNone;
  }

  // A document the catalogue names, in its folder; a fault naming it when it is not there.
  std::filesystem::path Document(std::string_view folder, const std::string& name,
                                 std::string_view what) const {
    const std::filesystem::path app(s_.settings.AppPath);
    if (auto found = FindDocumentFile(app, folder, name)) return *found;
    throw ReportError(
        53,
        "The " + std::string(what) + " " + QuotedValue((app / folder / name).string(), 240) +
            (name.empty() ? " is not named in the catalogue" : " is not in the program's folder"));
  }

  // Intest_Pagina: the date, customer and project, then the page's title.
  void PageHeader(const std::string& title) {
    const CompositionForm& f = c_.form;
    w_.SetAlignment(Alignment::kLeft);
    w_.AddTabStop(3);
    w_.SetBold(true);
    w_.SetFontSize(12);
    w_.TypeText(f.lbldata + " :\t" + f.txtData.Text);
    w_.EndParagraph();
    if (!f.txtcliente.Text.empty()) {
      w_.TypeText(f.lblcliente + " :\t" + f.txtcliente.Text);
      w_.EndParagraph();
    }
    if (!f.txtProgetto.Text.empty()) {
      w_.TypeText(f.lblProgetto + " :\t" + f.txtProgetto.Text);
      w_.EndParagraph();
    }
    w_.SetBold(false);
    w_.EndParagraph();
    w_.SetAlignment(Alignment::kCentre);
    w_.SetBold(true);
    w_.SetFontSize(16);
    w_.TypeText(title);
    w_.EndParagraph();
    w_.SetBold(false);
    w_.SetFontSize(10);
    w_.SetAlignment(Alignment::kLeft);
    w_.EndParagraph();
    w_.EndParagraph();
  }

  void PhotoPage() {
    Dots();
    const DocumentRow& row = Row();
    const std::filesystem::path photo = Document(kPhotoFolder, row.Foto, "product photo");
    w_.InsertTable(1, 2, ColumnWidths::kEven);
    w_.SetBold(true);
    w_.SetFontSize(24);
    w_.TypeText(row.Serie + " " + row.Modello);
    w_.SetBold(true);
    w_.SetFontSize(18);
    for (int i = 0; i < 4; ++i) w_.EndParagraph();
    w_.TypeText(row.BreveDesc);
    for (int i = 0; i < 3; ++i) w_.EndParagraph();
    w_.NextCell();
    w_.InsertPicture(photo);
    w_.SetAlignment(Alignment::kCentre);
    w_.RemoveCellLeftBorderAtCursor();
    w_.CentreCellVerticallyAtCursor();
  }

  void Title() {
    w_.MoveToEnd();
    for (int i = 0; i < 3; ++i) w_.EndParagraph();
    w_.SetAlignment(Alignment::kCentre);
    w_.InsertTable(1, 1, ColumnWidths::kFitContents);
    w_.SetBold(true);
    w_.SetFontSize(24);
    w_.TypeText(s_.Text(167));
    w_.SetTableAlignmentAtCursor(Alignment::kCentre);
    w_.MoveToEnd();
    w_.SetBold(true);
    w_.SetFontSize(12);
  }

  // One row of the data table: the label, the cooling value centred, the heating value;
  // the cursor goes on to the next row (a new one after the last).
  void DataRow(const std::string& label, const std::string& cooling, const std::string& heating) {
    w_.TypeText(label);
    w_.NextCell();
    w_.SetAlignment(Alignment::kCentre);
    w_.TypeText(cooling);
    w_.NextCell();
    w_.TypeText(heating);
    w_.NextCell();
    w_.SetAlignment(Alignment::kLeft);
  }

  static std::string With(const std::string& value, const std::string& unit) {
    return value + unit;
  }
  static std::string IfTyped(const screens::TextBox& field, const std::string& suffix) {
    return field.Text.empty() ? "" : field.Text + suffix;
  }

  void SelectionData() {
    Dots();
    const CommonForm& f = *source_.common;
    const DuctedForm* d = source_.ducted;
    w_.PageBreak();
    PageHeader(Caption(Section::kResults));
    w_.TypeText(" ");
    w_.EndParagraph();
    w_.SetBold(false);
    w_.SetFontSize(10);
    const std::string degrees = " °C";
    const bool q70 = c_.Series() == "Q70";
    int table = 0;
    if (q70) {
      w_.InsertTable(5, 2, ColumnWidths::kEven);
      table = w_.TableCount();
      const std::string rows[5][2] = {{" ", s_.Text(65)},
                                      {f.lblTbs[1].Caption, f.txtTsa1[1].Text + degrees},
                                      {f.lblTw1[1].Caption, f.txtTw1[1].Text + degrees},
                                      {f.lblTw2[1].Caption, f.txtTw2[1].Text + degrees},
                                      {source_.standard ? source_.standard->lblVel.Caption : "",
                                       source_.standard ? source_.standard->cboVel.Text() : ""}};
      for (int r = 0; r < 5; ++r) {
        w_.TypeText(rows[r][0]);
        w_.NextCell();
        w_.SetAlignment(Alignment::kCentre);
        w_.TypeText(rows[r][1]);
        w_.SetAlignment(Alignment::kLeft);
        if (r < 4) w_.NextCell();
      }
    } else {
      w_.InsertTable(7, 3, ColumnWidths::kFitContents);
      table = w_.TableCount();
      DataRow(" ", s_.Text(62), s_.Text(65));
      if (d) {
        DataRow(d->frmRicircoloF.Caption, "", "");
        DataRow(d->lblTbsric[0].Caption, d->txtTsa1ric[0].Text + degrees,
                d->txtTsa1ric[1].Text + degrees);
        DataRow(d->lbltburic.Caption, d->txtTburic.Text + degrees, "");
        DataRow(d->lblUrric.Caption, d->txtUrric.Text + " %", "");
        DataRow(d->frmRinnovoF.Caption, "", "");
        DataRow(d->lblTbsrin[0].Caption, d->txtTsa1rin[0].Text + degrees,
                d->txtTsa1rin[1].Text + degrees);
        DataRow(d->lbltburin.Caption, d->txttburin.Text + degrees, "");
        DataRow(d->lblurrin.Caption, d->txturrin.Text + " %", "");
      } else {
        DataRow(f.lblTbs[0].Caption, f.txtTsa1[0].Text + degrees, f.txtTsa1[1].Text + degrees);
        DataRow(f.lbltbu.Caption, f.txtTbu.Text + degrees, "");
        DataRow(f.lblUR.Caption, f.txtUr.Text + " %", "");
      }
      DataRow(f.lblTw1[0].Caption, f.txtTw1[0].Text + degrees, f.txtTw1[1].Text + degrees);
      DataRow(f.lblTw2[0].Caption, IfTyped(f.txtTw2[0], degrees), IfTyped(f.txtTw2[1], degrees));
      DataRow(f.lblQw[0].Caption, IfTyped(f.txtQw[0], " " + f.lblumQw[0].Caption),
              IfTyped(f.txtQw[1], " " + f.lblumQw[1].Caption));
      DataRow(f.lblPsu.Caption, f.txtpsu.Text + " " + f.lblumDpa.Caption, "");
      // The total air flow of the units that are rated at one: the ducted units and the
      // EC units (FDatiPEC, and FDatiUmbra, which reports with the same layout).
      const screens::TextBox* flow = d            ? &d->txtqatot
                                     : source_.ec ? &source_.ec->txtqatot
                                                  : nullptr;
      const bool flowShown = flow && screens::PresenceValue(*flow) > 0;
      if (flowShown) {
        const screens::Label& label = d ? d->lblQaTot : source_.ec->lblQaTot;
        const screens::Label& unit = d ? d->lblUmQA : source_.ec->lblUmQA;
        DataRow(label.Caption, flow->Text + " " + unit.Caption, "");
      }
      DataRow(f.lblglic.Caption, f.txtGlic.Text + " %", "");
      // The fixed-speed units' speed (the EC units are rated at an air flow instead).
      const bool ecScreen = source_.ec || source_.name == screens::DuctedEcScreen::kName;
      if (!ecScreen) {
        const screens::Label& label = d ? d->lblVel : source_.standard->lblVel;
        const screens::ComboBox& speeds = d ? d->cboVel : source_.standard->cboVel;
        DataRow(label.Caption, speeds.Text(), "");
      }
      DataRow(f.frmPressione.Caption, " ", "");
      DataRow(f.lblDistanza.Caption, f.txtDistanza.Text, "");
      DataRow(f.lblDirezione.Caption, f.cboDirezione.Text(), "");
      w_.MoveToEnd();
      if (d) {
        for (const int row : {2, 6}) {
          w_.MergeCells(table, row, 1, 3);
          w_.SetRowBold(table, row, true);
        }
      }
      const int rows = w_.RowCount(table);
      for (const int row : {rows - 2, rows - 1, rows}) w_.MergeCells(table, row, 2, 3);
      if (d && flowShown) w_.MergeCells(table, rows - 3, 2, 3);
    }
    w_.MoveToEnd();
    w_.SetRowBold(table, 1, true);
    if (d) {
      w_.TypeText(" ");
      w_.EndParagraph();
      w_.SetBold(true);
      w_.TypeText(s_.Text(5) + " : ");
      w_.SetBold(false);
      for (std::size_t i = 1; i < d->chkAcc.size(); ++i)
        if (d->chkAcc[i].Value) w_.TypeText(" - " + d->chkAcc[i].Caption);
    }
    ResultsTable();
    Legend();
  }

  void ResultsTable() {
    Dots();
    const screens::ResultsGrid& grid = source_.common->Grd;
    w_.TypeText(" ");
    w_.EndParagraph();
    const int nr = grid.RowCount();
    const int nk = grid.Cols;
    if (nr < 1 || nk < 1) return;
    w_.SetBold(false);
    w_.SetFontSize(nk > 10 ? 8 : 10);
    w_.InsertTable(nr, nk, ColumnWidths::kFitContents);
    const int table = w_.TableCount();
    for (int i = 1; i <= nr; ++i)
      for (int j = 1; j <= nk; ++j) w_.AppendCellText(table, i, j, grid.Cell(i - 1, j - 1));
    w_.AutoFitColumns(table);
    w_.SetRowBold(table, 1, true);
    if (nr >= 2) w_.SetRowBold(table, 2, true);
    w_.MoveToEnd();
    w_.EndParagraph();
  }

  void Legend() {
    Dots();
    const CommonForm& f = *source_.common;
    w_.SetBold(true);
    w_.TypeText(s_.Text(160));
    w_.EndParagraph();
    w_.TypeText(" ");
    w_.EndParagraph();
    w_.SetBold(false);
    w_.SetFontSize(10);
    const std::string& series = c_.Series();
    const bool miral = series == "MIRAL" || series == "MIRALP";
    const int n = series == "TORVA" ? 15 : miral ? 14 : 13;
    w_.InsertTable(n + 1, 2, ColumnWidths::kEven);
    const int table = w_.TableCount();
    for (int k = 0; k <= n; ++k) {
      // The MIRAL legends end with the power input, in the pair after the TORVA ones.
      const auto pair = static_cast<std::size_t>(miral && k == 14 ? 16 : k);
      w_.AppendCellText(table, k + 1, 1, f.lblLegSim[pair].Caption);
      w_.SetCellBold(table, k + 1, 1, true);
      w_.AppendCellText(table, k + 1, 2, f.lblLegDes[pair].Caption);
    }
    w_.AutoFitColumns(table);
    w_.MoveToEnd();
  }

  void PicturePage(Section section, std::string_view folder, const std::string& name) {
    Dots();
    const std::filesystem::path picture = Document(
        folder, name, section == Section::kDimensions ? "dimensional drawing" : "wiring diagram");
    w_.PageBreak();
    PageHeader(Caption(section));
    w_.SetAlignment(Alignment::kCentre);
    w_.InsertPicture(picture);
    w_.EndParagraph();
    w_.MoveToEnd();
  }

  void SpecificationPage() {
    Dots();
    const std::filesystem::path text =
        Document(kSpecificationFolder, Row().Capitolato, "specification text");
    w_.PageBreak();
    PageHeader(Caption(Section::kSpecification));
    w_.InsertDocument(text);
    w_.MoveToEnd();
  }

  void NotesPage() {
    Dots();
    w_.PageBreak();
    PageHeader(Caption(Section::kNotes));
    w_.TypeText(c_.form.txtNote.Text);
    w_.MoveToEnd();
  }

  DocumentWriter& w_;
  const Composition& c_;
  Source source_;
  const screens::Session& s_;
  const std::function<void()>& progress_;
};

}  // namespace

void BuildReport(DocumentWriter& writer, const Composition& composition,
                 const screens::SelectionScreen* source, const screens::Session& session,
                 const std::function<void()>& progress) {
  Builder(writer, composition, source, session, progress).Build();
}

std::filesystem::path NewReportFile(const std::filesystem::path& folder, const ReportTime& at) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "Doc%02d%02d%02d-%02d%02d%02d", at.day, at.month,
                at.year % 100, at.hour, at.minute, at.second);
  std::error_code ec;
  for (int n = 1;; ++n) {
    const std::string name = std::string(stamp) + (n > 1 ? "-" + std::to_string(n) : "") + ".docx";
    const std::filesystem::path file = folder / name;
    if (!std::filesystem::exists(file, ec)) return file;
  }
}

}  // namespace vestra::report
