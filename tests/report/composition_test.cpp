// The composition dialog's logic on a small catalogue of its own: which document rows it
// reads (the language's, else the default language's), the model list, the section boxes
// that can be ticked (from the first row's files, as the program folder holds them), the
// photo preview, the model frame and the notes box.

#include "report/composition.h"

#include <gtest/gtest.h>

#include <fstream>

#include "../data/fixture.h"
#include "../screens/screen_fixture.h"

namespace vestra::report {
namespace {

using testing::FixtureCatalogue;
using testing::TempFolder;

struct Dialog {
  FixtureCatalogue catalogue;
  TempFolder program;
  std::unique_ptr<screens::Session> session = screens::testing::ItalianSession();

  Dialog() {
    session->settings.AppPath = program.path().string() + "/";
    session->settings.LangCodes[0] = "ITA";
    session->settings.DefaultLang = "ENG";
    // The folders as the catalogue spells them in other cases.
    for (const char* folder : {"FOTOW", "Descrizioni", "dimensionali", "Schemi"})
      std::filesystem::create_directory(program.path() / folder);
  }
  void File(const char* folder, const char* name) {
    std::ofstream(program.path() / folder / name) << "x";
  }
  void Row(const char* lingua, const char* serie, const char* modello, const char* foto,
           const char* capitolato = "", const char* dimensioni = "", const char* schemi = "") {
    catalogue.Insert("DocXModello", {{"Lingua", std::string(lingua)},
                                     {"Serie", std::string(serie)},
                                     {"Modello", std::string(modello)},
                                     {"Foto", std::string(foto)},
                                     {"Capitolato", std::string(capitolato)},
                                     {"Dimensioni", std::string(dimensioni)},
                                     {"Schemi", std::string(schemi)}});
  }
  Composition Open(const char* series, int resultRows = 5) {
    session->store = std::make_unique<CatalogueStore>(catalogue.path());
    Composition c(*session, series, resultRows);
    c.Activate("11/12/2026");
    return c;
  }
  static bool Enabled(const Composition& c, Section s) {
    return c.form.chkSelez[static_cast<std::size_t>(s)].Enabled;
  }
};

TEST(Composition, readsTheDefaultLanguagesRowsWhenTheLanguageHasNone) {
  Dialog d;
  d.Row("ENG", "MIRAL", "MIRAL floor", "");
  d.Row("ENG", "MIRAL", "MIRAL concealed", "");
  d.Row("ENG", "PELVO", "PELVO", "");
  const Composition c = d.Open("MIRAL");
  ASSERT_EQ(c.Rows().size(), 2u);
  EXPECT_EQ(c.form.CboModello.List, (std::vector<std::string>{"MIRAL floor", "MIRAL concealed"}));
  EXPECT_TRUE(c.form.CboModello.Visible);
  EXPECT_EQ(c.form.CboModello.ListIndex, 0);
  EXPECT_EQ(c.form.txtData.Text, "11/12/2026");
  EXPECT_EQ(c.form.Caption, "Componi la stampa");
}

TEST(Composition, theLanguagesOwnRowsComeFirst) {
  Dialog d;
  d.Row("ENG", "MIRAL", "english", "");
  d.Row("ITA", "MIRAL", "italiano", "");
  EXPECT_EQ(d.Open("MIRAL").form.CboModello.List, std::vector<std::string>{"italiano"});
}

TEST(Composition, sectionBoxesFollowTheFirstRowsFilesInAnyCase) {
  Dialog d;
  d.File("FOTOW", "Miral.png");
  d.File("Descrizioni", "miral_ita.docx");
  d.File("Schemi", "ac.png");
  // Row 0: a photo named in other capitals, a text, no drawing, a missing diagram file;
  // row 1 has every file, which enables nothing.
  d.File("dimensionali", "dim.png");
  d.Row("ITA", "MIRAL", "one", "MIRAL.PNG", "MIRAL_ITA.docx", "", "missing.png");
  d.Row("ITA", "MIRAL", "two", "Miral.png", "miral_ita.docx", "dim.png", "ac.png");
  Composition c = d.Open("MIRAL");
  EXPECT_TRUE(Dialog::Enabled(c, Section::kPhoto));
  EXPECT_TRUE(Dialog::Enabled(c, Section::kSpecification));
  EXPECT_FALSE(Dialog::Enabled(c, Section::kDimensions));
  EXPECT_FALSE(Dialog::Enabled(c, Section::kWiring));
  EXPECT_TRUE(Dialog::Enabled(c, Section::kResults));
  ASSERT_TRUE(c.form.imgModello.has_value());
  EXPECT_EQ(c.form.imgModello->filename(), "Miral.png");
}

TEST(Composition, oneRowShowsNoListButItsPhotoAndAMissingPhotoDisablesThePage) {
  Dialog d;
  d.File("FOTOW", "veld.png");
  d.Row("ITA", "VELD", "VELD", "veld.png");
  d.Row("ITA", "LUMO", "LUMO", "lumo.png");
  const Composition veld = d.Open("VELD");
  EXPECT_FALSE(veld.form.CboModello.Visible);
  EXPECT_TRUE(veld.form.imgModello.has_value());
  const Composition lumo = d.Open("LUMO");
  EXPECT_FALSE(Dialog::Enabled(lumo, Section::kPhoto));
  EXPECT_FALSE(lumo.form.imgModello.has_value());
}

TEST(Composition, noRowsDisableTheDocumentSectionsAndNoResultsTheResultsBox) {
  Dialog d;
  const Composition c = d.Open("MIRAL", 1);
  EXPECT_FALSE(c.form.CboModello.Visible);
  for (const Section s : {Section::kPhoto, Section::kSpecification, Section::kResults,
                          Section::kDimensions, Section::kWiring})
    EXPECT_FALSE(Dialog::Enabled(c, s)) << static_cast<int>(s);
  EXPECT_TRUE(Dialog::Enabled(c, Section::kNotes));
}

TEST(Composition, fileNamesStayInsideTheirFolder) {
  Dialog d;
  d.File("FOTOW", "a.png");
  std::ofstream(d.program.path() / "secret.png") << "x";
  for (const char* name : {"../secret.png", "/etc/passwd", "FOTOW/a.png", "..", ""})
    EXPECT_FALSE(FindDocumentFile(d.program.path(), kPhotoFolder, name).has_value()) << name;
  EXPECT_TRUE(FindDocumentFile(d.program.path(), kPhotoFolder, "A.PNG").has_value());
}

TEST(Composition, modelFrameAndNotesFollowTheBoxes) {
  Dialog d;
  Composition c = d.Open("MIRAL");
  c.chkSelez_Click(static_cast<int>(Section::kResults), true);
  EXPECT_FALSE(c.form.frmModello.Visible);
  c.form.chkSelez[3].Enabled = true;
  c.chkSelez_Click(static_cast<int>(Section::kDimensions), true);
  EXPECT_TRUE(c.form.frmModello.Visible);
  c.chkSelez_Click(static_cast<int>(Section::kNotes), true);
  EXPECT_EQ(c.form.HeightTwips, 6700);
  EXPECT_TRUE(c.form.txtNote.Enabled);
  c.chkSelez_Click(static_cast<int>(Section::kNotes), false);
  EXPECT_EQ(c.form.HeightTwips, 5400);
  EXPECT_FALSE(c.form.txtNote.Enabled);
  c.form.txtcliente.Text = "kept";
  c.cmdAnnulla_Click();
  EXPECT_FALSE(c.form.Visible);
  EXPECT_EQ(c.form.txtcliente.Text, "kept");
}

TEST(Composition, printShowsItsProgressAndComesBackUsable) {
  Dialog d;
  Composition c = d.Open("MIRAL");
  c.BeginPrint();
  EXPECT_FALSE(c.form.cmdStampa.Enabled);
  EXPECT_TRUE(c.form.lblAttesa.Visible);
  c.ProgressDot();
  c.ProgressDot();
  EXPECT_EQ(c.form.lblAttesa.Caption, d.session->Text(166) + " .  . ");
  c.EndPrint(false);
  EXPECT_TRUE(c.form.cmdStampa.Enabled);
  EXPECT_FALSE(c.form.lblAttesa.Visible);
  c.BeginPrint();
  c.Saving("/out/Doc111226-090000.docx");
  c.EndPrint(true);
  EXPECT_TRUE(c.form.lblAttesa.Visible);
  EXPECT_NE(c.form.lblAttesa.Caption.find("/out/Doc111226-090000.docx"), std::string::npos);
}

}  // namespace
}  // namespace vestra::report
