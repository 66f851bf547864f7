// The report's structure, written into a recording writer from screens calculated on the
// catalogue the build makes: which sections appear and in what order, the selection data
// table of each screen layout with its merges, the results table and its font size, the
// legend rows per series, and the report's file name.

#include "report/report_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "../data/fixture.h"
#include "../screens/screen_fixture.h"
#include "report/recording_writer.h"
#include "report/report_error.h"
#include "screens/ducted_screen.h"
#include "screens/ec_screen.h"
#include "screens/standard_screen.h"

namespace vestra::report {
namespace {

using screens::Control;
using screens::Ctl;
using screens::testing::CatalogueSession;
using screens::testing::RecordingUi;

// A screen of a series calculated at its defaults, and a composition for its report with
// the program folder of the build (which holds the catalogue's documents).
struct Report {
  std::unique_ptr<screens::Session> session = CatalogueSession();
  RecordingUi ui;
  std::unique_ptr<screens::SelectionScreen> screen;
  std::unique_ptr<Composition> composition;
  RecordingWriter writer;

  explicit Report(std::string_view series,
                  const std::function<void(screens::SelectionScreen&)>& prepare = {}) {
    session->settings.AppPath = VESTRA_PROGRAM_FOLDER "/";
    session->settings.LangCodes[0] = "ITA";
    session->settings.DefaultLang = "ENG";
    screen = screens::DispatchSeries(*session, ui, *screens::FindSeries(series));
    if (prepare) prepare(*screen);
    screen->cmdCalcola_Click();
    composition = std::make_unique<Composition>(*session, std::string(screen->Traits().code),
                                                screen->Form().Grd.RowCount());
    composition->Activate("11/12/2026");
    for (int k = 0; k < kSectionCount; ++k) composition->chkSelez_Click(k, false);
  }
  void Tick(Section section) { composition->chkSelez_Click(static_cast<int>(section), true); }
  void Build() { BuildReport(writer, *composition, screen.get(), *session); }
  // The selection data table: the one after the title.
  const RecordingWriter::Table& Data() const { return writer.At(2); }
  std::vector<int> Spans(int row) const {
    std::vector<int> spans;
    for (const auto& cell : Data().rows[static_cast<std::size_t>(row - 1)])
      spans.push_back(cell.span);
    return spans;
  }
};

TEST(ReportBuilder, withNoSectionTickedHoldsTheHeaderAndTheTitleOnly) {
  Report r("MIRAL");
  r.composition->form.txtcliente.Text = "Studio Rossi";
  r.Build();
  const std::vector<std::string> paragraphs = r.writer.Paragraphs();
  ASSERT_GE(paragraphs.size(), 3u);
  EXPECT_EQ(paragraphs[0], "Data :\t11/12/2026");
  EXPECT_EQ(paragraphs[1], "Cliente :\tStudio Rossi");
  ASSERT_EQ(r.writer.TableCount(), 1);
  EXPECT_EQ(r.writer.RowTexts(1, 1), std::vector<std::string>{"Selezione Tecnica"});
  EXPECT_TRUE(r.writer.At(1).centred);
  EXPECT_TRUE(std::none_of(r.writer.body.begin(), r.writer.body.end(), [](const auto& block) {
    return block.kind != RecordingWriter::Block::kParagraph &&
           block.kind != RecordingWriter::Block::kTable;
  }));
  EXPECT_EQ(r.writer.tabStops, std::vector<double>{3});
  EXPECT_EQ(r.writer.fontName, "Arial");
}

TEST(ReportBuilder, everySectionInItsOrderWithTheCataloguesDocuments) {
  Report r("MIRAL");
  for (int k = 0; k < kSectionCount; ++k) {
    ASSERT_TRUE(r.composition->form.chkSelez[static_cast<std::size_t>(k)].Enabled) << k;
    r.composition->chkSelez_Click(k, true);
  }
  r.composition->form.txtNote.Text = "Quote valid 30 days";
  int dots = 0;
  BuildReport(r.writer, *r.composition, r.screen.get(), *r.session, [&] { ++dots; });
  // The photo page's table, the title, the data, results and legend tables.
  ASSERT_EQ(r.writer.TableCount(), 5);
  EXPECT_EQ(r.writer.At(1).columns, 2);
  EXPECT_NE(r.writer.RowTexts(1, 1)[1].find("[picture "), std::string::npos);
  std::vector<RecordingWriter::Block::Kind> kinds;
  for (const auto& block : r.writer.body)
    if (block.kind != RecordingWriter::Block::kParagraph &&
        block.kind != RecordingWriter::Block::kTable)
      kinds.push_back(block.kind);
  using B = RecordingWriter::Block;
  // Results, then drawing, specification, wiring, notes: a page each.
  EXPECT_EQ(kinds, (std::vector<B::Kind>{B::kPageBreak, B::kPageBreak, B::kPicture, B::kPageBreak,
                                         B::kDocument, B::kPageBreak, B::kPicture, B::kPageBreak}));
  EXPECT_EQ(r.writer.Paragraphs().back(), "Quote valid 30 days");
  EXPECT_EQ(dots, 10);
}

TEST(ReportBuilder, unitHeatersHaveTheFiveRowHeatingTableAndNoMerges) {
  Report r("Q70");
  r.Tick(Section::kResults);
  r.Build();
  const auto& data = r.Data();
  ASSERT_EQ(data.rows.size(), 5u);
  EXPECT_EQ(data.columns, 2);
  EXPECT_EQ(r.writer.RowTexts(2, 1), (std::vector<std::string>{" ", "Riscaldamento"}));
  EXPECT_EQ(r.writer.RowTexts(2, 2)[1], r.screen->Form().txtTsa1[1].Text + " °C");
  for (int row = 1; row <= 5; ++row) EXPECT_EQ(r.Spans(row), (std::vector<int>{1, 1})) << row;
  EXPECT_TRUE(data.rows[0][0].bold);
}

TEST(ReportBuilder, standardDataTableMergesItsLastThreeRows) {
  Report r("MIRAL");
  r.Tick(Section::kResults);
  r.Build();
  const auto& data = r.Data();
  // Heading, dry bulb, wet bulb, humidity, entering and leaving water, water flow,
  // static pressure, glycol, speed, the sound frame, distance, direction, and the row the
  // cursor opened moving on from the last cell.
  ASSERT_EQ(data.rows.size(), 14u);
  EXPECT_EQ(r.writer.RowTexts(2, 1),
            (std::vector<std::string>{" ", "Raffreddamento", "Riscaldamento"}));
  for (int row = 1; row <= 11; ++row) EXPECT_EQ(r.Spans(row).size(), 3u) << row;
  for (int row = 12; row <= 14; ++row) EXPECT_EQ(r.Spans(row), (std::vector<int>{1, 2})) << row;
  EXPECT_EQ(r.writer.RowTexts(2, 12)[1], r.screen->Form().txtDistanza.Text);
  EXPECT_EQ(r.writer.RowTexts(2, 14), (std::vector<std::string>{"", ""}));
}

TEST(ReportBuilder, ductedDataTableMergesTheStreamCaptionsAndTheFlowRowWhenTyped) {
  struct Case {
    const char* flow;
    int rows;
    int firstMergedValueRow;
  };
  for (const Case c : {Case{"", 19, 17}, Case{"1000", 20, 17}}) {
    Report r("KELM", [&](screens::SelectionScreen& s) {
      s.Field(Control(Ctl::txtqatot))->Text = c.flow;
      if (*c.flow) s.Field(Control(Ctl::txtpsu))->Text = "";
    });
    r.Tick(Section::kResults);
    r.Build();
    ASSERT_EQ(r.Data().rows.size(), static_cast<std::size_t>(c.rows)) << c.flow;
    for (const int row : {2, 6}) {
      EXPECT_EQ(r.Spans(row), std::vector<int>{3}) << row;
      EXPECT_TRUE(r.Data().rows[static_cast<std::size_t>(row - 1)][0].bold);
    }
    for (int row = 7; row <= c.rows; ++row)
      EXPECT_EQ(r.Spans(row).size(), row >= c.firstMergedValueRow ? 2u : 3u)
          << c.flow << " row " << row;
  }
}

TEST(ReportBuilder, ductedReportListsTheTickedAccessories) {
  Report r("KELM", [](screens::SelectionScreen& s) {
    s.CheckBox_Click(Control(Ctl::chkAcc, 1), true);
    s.CheckBox_Click(Control(Ctl::chkAcc, 4), true);
  });
  r.Tick(Section::kResults);
  r.Build();
  const auto& f = dynamic_cast<screens::DuctedScreen&>(*r.screen).form;
  const std::string expected =
      "Accessori : " + std::string(" - ") + f.chkAcc[1].Caption + " - " + f.chkAcc[4].Caption + " ";
  const auto paragraphs = r.writer.Paragraphs();
  EXPECT_NE(std::find(paragraphs.begin(), paragraphs.end(), expected), paragraphs.end());
}

TEST(ReportBuilder, resultsTableCopiesTheGridAndShrinksItsFontPastTenColumns) {
  for (const char* series : {"Q70", "MIRAL", "TORVA"}) {
    Report r(series);
    r.Tick(Section::kResults);
    r.Build();
    const screens::ResultsGrid& grid = r.screen->Form().Grd;
    const auto& results = r.writer.At(3);
    ASSERT_EQ(results.rows.size(), static_cast<std::size_t>(grid.RowCount())) << series;
    EXPECT_EQ(results.columns, grid.Cols);
    EXPECT_EQ(results.fontSize, grid.Cols > 10 ? 8 : 10) << series << " " << grid.Cols;
    // Both sizes are met: the unit heaters' few columns, TORVA's many.
    if (std::string_view(series) == "Q70") {
      EXPECT_LE(grid.Cols, 10);
    } else if (std::string_view(series) == "TORVA") {
      EXPECT_GT(grid.Cols, 10);
    }
    EXPECT_EQ(r.writer.RowTexts(3, 3)[0], grid.Cell(2, 0));
    EXPECT_TRUE(results.rows[1][0].bold);
    EXPECT_FALSE(results.rows[2][0].bold);
  }
}

TEST(ReportBuilder, legendRowsFollowTheSeries) {
  struct Case {
    const char* series;
    std::size_t rows;
  };
  for (const Case c :
       {Case{"TORVA", 16}, Case{"MIRAL", 15}, Case{"MIRALP", 15}, Case{"VELD", 14}}) {
    Report r(c.series);
    r.Tick(Section::kResults);
    r.Build();
    const auto& legend = r.writer.At(4);
    ASSERT_EQ(legend.rows.size(), c.rows) << c.series;
    const auto& f = r.screen->Form();
    // The MIRAL legends end with the power input.
    const std::size_t last = c.rows == 15 ? 16 : c.rows - 1;
    EXPECT_EQ(r.writer.RowTexts(4, static_cast<int>(c.rows))[0], f.lblLegSim[last].Caption)
        << c.series;
    EXPECT_TRUE(legend.rows[0][0].bold);
    EXPECT_FALSE(legend.rows[0][1].bold);
  }
}

TEST(ReportBuilder, aMissingPictureIsReportedByName) {
  Report r("MIRAL");
  ASSERT_NE(r.composition->ChosenRow(), nullptr);
  // The catalogue names a drawing the program folder does not hold.
  const_cast<DocumentRow*>(r.composition->ChosenRow())->Dimensioni = "NOTHERE.png";
  r.Tick(Section::kDimensions);
  try {
    r.Build();
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_EQ(e.number(), kFileNotFound);
    EXPECT_NE(std::string(e.what()).find("NOTHERE.png"), std::string::npos) << e.what();
  }
}

TEST(ReportFile, twoReportsInOneSecondKeepBoth) {
  testing::TempFolder folder;
  const ReportTime at{2026, 12, 3, 9, 5, 7};
  const auto first = NewReportFile(folder.path(), at);
  EXPECT_EQ(first.filename(), "Doc031226-090507.docx");
  std::ofstream(first) << "first";
  const auto second = NewReportFile(folder.path(), at);
  EXPECT_EQ(second.filename(), "Doc031226-090507-2.docx");
  RecordingWriter writer;
  writer.Save(second);
  EXPECT_THROW(writer.Save(first), ReportError);
  std::ifstream in(first);
  std::string kept;
  in >> kept;
  EXPECT_EQ(kept, "first");
}

}  // namespace
}  // namespace vestra::report
