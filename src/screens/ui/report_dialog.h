#pragma once

// The report composition dialog FStampa, opened modal by a screen's Print button: the
// date, customer and project, the sections, the model whose documents the report uses
// with its photo, the notes; Print writes the report into the output folder and opens it
// with the desktop's application for documents, Cancel hides the dialog keeping what was
// typed.

#include <QDialog>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "report/composition.h"
#include "screens/selection_screen.h"
#include "screens/session.h"
#include "screens/ui/desktop.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vestra::ui {

class ReportDialog : public QDialog {
 public:
  static constexpr const char* kName = "FStampa";

  // For the screen whose Print button opened it.
  ReportDialog(screens::Session& session, Desktop desktop, const screens::SelectionScreen& source,
               QWidget* parent = nullptr);
  ~ReportDialog() override;

  // The dialog becomes active: the lists and the section boxes rebuilt (Activate).
  void Activate();
  // Print: the report written; its file, or nothing when it failed (the message shown).
  std::optional<std::filesystem::path> Print();

  report::Composition& composition() { return *composition_; }
  QCheckBox* SectionBox(int index) const { return chkSelez_[static_cast<std::size_t>(index)]; }
  QComboBox* ModelList() const { return cboModello_; }
  QLabel* Preview() const { return imgModello_; }
  QLineEdit* DateField() const { return txtData_; }
  QLineEdit* CustomerField() const { return txtcliente_; }
  QLineEdit* ProjectField() const { return txtProgetto_; }
  QPlainTextEdit* NotesField() const { return txtNote_; }
  QPushButton* PrintButton() const { return cmdStampa_; }
  QPushButton* CancelButton() const { return cmdAnnulla_; }
  QLabel* Progress() const { return lblAttesa_; }
  QGroupBox* ModelFrame() const { return frmModello_; }

 private:
  void Pull();
  void Push();

  screens::Session& session_;
  Desktop desktop_;
  const screens::SelectionScreen& source_;
  std::unique_ptr<report::Composition> composition_;
  bool pushing_ = false;

  QLabel* lbldata_ = nullptr;
  QLabel* lblcliente_ = nullptr;
  QLabel* lblProgetto_ = nullptr;
  QLabel* lblSezioni_ = nullptr;
  QLineEdit* txtData_ = nullptr;
  QLineEdit* txtcliente_ = nullptr;
  QLineEdit* txtProgetto_ = nullptr;
  std::array<QCheckBox*, report::kSectionCount> chkSelez_{};
  QGroupBox* frmModello_ = nullptr;
  QComboBox* cboModello_ = nullptr;
  QLabel* imgModello_ = nullptr;
  QPlainTextEdit* txtNote_ = nullptr;
  QLabel* lblAttesa_ = nullptr;
  QPushButton* cmdStampa_ = nullptr;
  QPushButton* cmdAnnulla_ = nullptr;
};

}  // namespace vestra::ui
