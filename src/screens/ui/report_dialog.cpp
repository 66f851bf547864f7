#include "screens/ui/report_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/settings.h"
#include "engine/errors.h"
#include "report/docx_writer.h"
#include "report/report_builder.h"

namespace vestra::ui {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Twips at the screen's logical resolution.
int Pixels(const QWidget* w, int twips) {
  return (twips * w->logicalDpiY() + 720) / 1440;
}

int ResultRows(const screens::SelectionScreen& screen) {
  return screen.Form().Grd.RowCount();
}

}  // namespace

ReportDialog::ReportDialog(screens::Session& session, Desktop desktop,
                           const screens::SelectionScreen& source, QWidget* parent)
    : QDialog(parent),
      session_(session),
      desktop_(std::move(desktop)),
      source_(source),
      composition_(std::make_unique<report::Composition>(session, std::string(source.Traits().code),
                                                         ResultRows(source))) {
  setObjectName(QString::fromLatin1(kName));
  setModal(true);

  lbldata_ = new QLabel;
  lblcliente_ = new QLabel;
  lblProgetto_ = new QLabel;
  lblSezioni_ = new QLabel;
  txtData_ = new QLineEdit;
  txtData_->setObjectName(QStringLiteral("txtData"));
  txtcliente_ = new QLineEdit;
  txtcliente_->setObjectName(QStringLiteral("txtcliente"));
  txtProgetto_ = new QLineEdit;
  txtProgetto_->setObjectName(QStringLiteral("txtProgetto"));
  auto* fields = new QGridLayout;
  fields->addWidget(lbldata_, 0, 0);
  fields->addWidget(txtData_, 0, 1);
  fields->addWidget(lblcliente_, 1, 0);
  fields->addWidget(txtcliente_, 1, 1);
  fields->addWidget(lblProgetto_, 2, 0);
  fields->addWidget(txtProgetto_, 2, 1);
  lbldata_->setBuddy(txtData_);
  lblcliente_->setBuddy(txtcliente_);
  lblProgetto_->setBuddy(txtProgetto_);

  auto* sections = new QVBoxLayout;
  sections->addWidget(lblSezioni_);
  for (int k = 0; k < report::kSectionCount; ++k) {
    auto* box = new QCheckBox;
    box->setObjectName(QStringLiteral("chkSelez(%1)").arg(k));
    chkSelez_[static_cast<std::size_t>(k)] = box;
    sections->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this, k](bool checked) {
      if (pushing_) return;
      Pull();
      composition_->chkSelez_Click(k, checked);
      Push();
    });
  }
  sections->addStretch(1);

  frmModello_ = new QGroupBox;
  frmModello_->setObjectName(QStringLiteral("frmModello"));
  cboModello_ = new QComboBox;
  cboModello_->setObjectName(QStringLiteral("CboModello"));
  imgModello_ = new QLabel;
  imgModello_->setObjectName(QStringLiteral("imgModello"));
  imgModello_->setAlignment(Qt::AlignCenter);
  imgModello_->setFixedSize(Pixels(this, 2600), Pixels(this, 2000));
  auto* model = new QVBoxLayout(frmModello_);
  model->addWidget(cboModello_);
  model->addWidget(imgModello_, 1);
  connect(cboModello_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (pushing_) return;
    Pull();
    composition_->form.CboModello.ListIndex = index;
    composition_->CboModello_Click();
    Push();
  });

  auto* middle = new QHBoxLayout;
  middle->addLayout(sections, 1);
  middle->addWidget(frmModello_, 0, Qt::AlignTop);

  txtNote_ = new QPlainTextEdit;
  txtNote_->setObjectName(QStringLiteral("txtNote"));
  lblAttesa_ = new QLabel;
  lblAttesa_->setObjectName(QStringLiteral("lblAttesa"));
  lblAttesa_->setWordWrap(true);
  cmdStampa_ = new QPushButton;
  cmdStampa_->setObjectName(QStringLiteral("cmdStampa"));
  cmdStampa_->setDefault(true);
  cmdAnnulla_ = new QPushButton;
  cmdAnnulla_->setObjectName(QStringLiteral("cmdAnnulla"));
  connect(cmdStampa_, &QPushButton::clicked, this, [this] { Print(); });
  connect(cmdAnnulla_, &QPushButton::clicked, this, [this] {
    Pull();
    composition_->cmdAnnulla_Click();
    hide();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblAttesa_, 1);
  buttons->addWidget(cmdStampa_);
  buttons->addWidget(cmdAnnulla_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(middle, 1);
  layout->addWidget(txtNote_);
  layout->addLayout(buttons);
  Activate();
}

ReportDialog::~ReportDialog() = default;

void ReportDialog::Activate() {
  const QDateTime now = desktop_.now ? desktop_.now() : QDateTime::currentDateTime();
  composition_->SetResultRows(ResultRows(source_));
  try {
    composition_->Activate(now.toString(QStringLiteral("dd/MM/yyyy")).toStdString());
  } catch (const RuntimeError& e) {
    // The catalogue could not be read: no document rows, the report still has its data.
    if (desktop_.message) desktop_.message(this, Q(e.what()), screens::Icon::kError);
  }
  Push();
}

void ReportDialog::Pull() {
  report::CompositionForm& f = composition_->form;
  f.txtData.Text = txtData_->text().toStdString();
  f.txtcliente.Text = txtcliente_->text().toStdString();
  f.txtProgetto.Text = txtProgetto_->text().toStdString();
  f.txtNote.Text = txtNote_->toPlainText().toStdString();
  for (int k = 0; k < report::kSectionCount; ++k)
    f.chkSelez[static_cast<std::size_t>(k)].Value =
        chkSelez_[static_cast<std::size_t>(k)]->isChecked();
  f.CboModello.ListIndex = cboModello_->currentIndex();
}

void ReportDialog::Push() {
  pushing_ = true;
  const report::CompositionForm& f = composition_->form;
  setWindowTitle(Q(f.Caption));
  lbldata_->setText(Q(f.lbldata));
  lblcliente_->setText(Q(f.lblcliente));
  lblProgetto_->setText(Q(f.lblProgetto));
  lblSezioni_->setText(Q(f.lblSezioni));
  if (txtData_->text() != Q(f.txtData.Text)) txtData_->setText(Q(f.txtData.Text));
  for (int k = 0; k < report::kSectionCount; ++k) {
    const screens::CheckBox& state = f.chkSelez[static_cast<std::size_t>(k)];
    QCheckBox* box = chkSelez_[static_cast<std::size_t>(k)];
    box->setText(Q(state.Caption));
    box->setEnabled(state.Enabled);
    box->setChecked(state.Value);
  }
  QStringList entries;
  for (const std::string& entry : f.CboModello.List) entries << Q(entry);
  QStringList shown;
  for (int i = 0; i < cboModello_->count(); ++i) shown << cboModello_->itemText(i);
  if (shown != entries) {
    cboModello_->clear();
    cboModello_->addItems(entries);
  }
  cboModello_->setCurrentIndex(f.CboModello.ListIndex);
  cboModello_->setVisible(f.CboModello.Visible);
  frmModello_->setVisible(f.frmModello.Visible);
  if (f.imgModello) {
    const QPixmap photo(QString::fromStdString(f.imgModello->string()));
    imgModello_->setPixmap(photo.isNull() ? QPixmap()
                                          : photo.scaled(imgModello_->size(), Qt::KeepAspectRatio,
                                                         Qt::SmoothTransformation));
  } else {
    imgModello_->clear();
  }
  // The notes box shows while the notes section is ticked, the dialog growing for it.
  txtNote_->setEnabled(f.txtNote.Enabled);
  txtNote_->setVisible(f.txtNote.Enabled);
  lblAttesa_->setText(Q(f.lblAttesa.Caption));
  lblAttesa_->setVisible(f.lblAttesa.Visible);
  cmdStampa_->setText(Q(f.cmdStampa.Caption));
  cmdStampa_->setEnabled(f.cmdStampa.Enabled);
  cmdAnnulla_->setText(Q(f.cmdAnnulla.Caption));
  setMinimumHeight(Pixels(this, f.HeightTwips));
  adjustSize();
  pushing_ = false;
}

std::optional<std::filesystem::path> ReportDialog::Print() {
  Pull();
  composition_->BeginPrint();
  Push();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::optional<std::filesystem::path> written;
  QString failure;
  try {
    const std::filesystem::path folder(PrepareReportFolder(session_.settings));
    report::DocxWriter writer(std::filesystem::path(session_.settings.AppPath) / "intest.docx");
    report::BuildReport(writer, *composition_, &source_, session_, [this] {
      composition_->ProgressDot();
      lblAttesa_->setText(Q(composition_->form.lblAttesa.Caption));
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    const QDateTime now = desktop_.now ? desktop_.now() : QDateTime::currentDateTime();
    const report::ReportTime at{now.date().year(), now.date().month(),  now.date().day(),
                                now.time().hour(), now.time().minute(), now.time().second()};
    const std::filesystem::path file = report::NewReportFile(folder, at);
    composition_->Saving(file);
    lblAttesa_->setText(Q(composition_->form.lblAttesa.Caption));
    writer.Save(file);
    written = file;
  } catch (const RuntimeError& e) {
    failure = Q(e.what());
  } catch (const std::exception& e) {
    failure = Q(e.what());
  }
  QApplication::restoreOverrideCursor();
  composition_->EndPrint(written.has_value());
  Push();
  if (!written) {
    if (desktop_.message) desktop_.message(this, failure, screens::Icon::kError);
    return std::nullopt;
  }
  const QUrl address = QUrl::fromLocalFile(QString::fromStdString(written->string()));
  if (desktop_.openUrl && !desktop_.openUrl(address) && desktop_.message)
    desktop_.message(this,
                     QStringLiteral("No application opens %1: the report is saved there")
                         .arg(QString::fromStdString(written->string())),
                     screens::Icon::kWarning);
  return written;
}

}  // namespace vestra::ui
