#include "gui/dialogs/FileViewerDialog.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/LabelSignal.h"
#include "gui/dialogs/PathLabel.h"
#include "gui/shell/QtText.h"
#include "gui/windows/Controls.h"
#include "naming/FileNames.h"
#include "naming/ListPatterns.h"

namespace fc::gui {

// How the two viewers differ.
struct ViewerSetup {
  const char* caption;            // the window's
  const char* listCaption;        // Labellist1
  const char* attributesCaption;  // Frame1
  std::string (*pattern)(std::string_view code, naming::FileType);
  naming::NameViewer wording;     // texts of the analysis outcomes
};

namespace {

constexpr ViewerSetup kSetups[] = {
    {"查看及选择[ 报送文件 ]", "您设置的待查目录下有以下文件具有报送文件特征：", "您选择的报送文件属性如下",
     naming::SubmissionViewerPattern, naming::NameViewer::Submission},
    {"查看及选择[ 比对文件 ]", "您设置的待查目录下有以下文件具有比对文件特征：", "您选择的比对文件属性如下",
     naming::ComparisonViewerPattern, naming::NameViewer::Comparison},
};

// The submission is due within the seven calendar days after the comparison
// file's date.
constexpr qint64 kSendWindowDays = 7;

const QString kSameDateWarning =
    QStringLiteral("警告：报送文件日期与比对文件日期相同，建议报送数据的发送日期大于比对文件日期");
const QString kWindowWarning = QStringLiteral("警告：报送文件日期不在比对文件日期之后7个自然日的时间窗口内！");

QLabel* ResultLabel(QWidget* parent, const char* name, QRect geometry) {
  auto* label = Place(new QLabel(parent), name, geometry);
  label->setWordWrap(true);
  SetSignal(label, Signal::Normal);
  return label;
}

}  // namespace

FileViewerDialog::FileViewerDialog(Viewer viewer, const ViewerTargets& targets, QWidget* parent)
    : QDialog(parent), setup_(kSetups[static_cast<int>(viewer)]), targets_(targets) {
  // The object names are the ones tests and accessibility tools look up;
  // they keep the form they have always had.
  setObjectName(viewer == Viewer::Submission ? QStringLiteral("ViewDir1") : QStringLiteral("ViewDir2"));
  setWindowTitle(QString::fromUtf8(setup_.caption));
  auto* pathFrame = Place(new QGroupBox(QStringLiteral("您当前设置的待查文件存放路径为"), this), "Frame2",
                          {12, 8, 456, 56});
  auto* pathLine = Place(new QLabel(pathFrame), "Label2", {10, 22, 436, 26});
  Place(new QLabel(QString::fromUtf8(setup_.listCaption), this), "Labellist1", {12, 72, 456, 24});
  files_ = Place(new FileList(this), "File1", {12, 98, 456, 200});
  auto* attributesFrame = Place(new QGroupBox(QString::fromUtf8(setup_.attributesCaption), this), "Frame1",
                                {12, 306, 456, 104});
  auto* fileTypeLine = Place(new QLabel(attributesFrame), "Label1", {10, 22, 436, 24});
  resultLine_ = ResultLabel(attributesFrame, "Label3", {10, 50, 436, 44});
  auto* confirmButton = MakeButton(this, "SelectOk", QStringLiteral("确 认"), {358, 420, 110, 32});
  setFixedSize(480, 464);

  const QString source = targets_.sourceDir->text();
  files_->setPath(TypedPath(source.trimmed()));
  ShowPath(pathLine, source);
  const bool zip = targets_.zipType->isChecked();
  files_->setPattern(setup_.pattern(targets_.companyCode->text().toStdString(),
                                    zip ? naming::FileType::Zip : naming::FileType::Dbf));
  fileTypeLine->setText(zip ? QStringLiteral("[文件类型]为:ZIP文件 ") : QStringLiteral("[文件类型]为:DBF文件 "));

  connect(files_, &FileList::fileChosen, this, &FileViewerDialog::fileClicked);
  connect(confirmButton, &QPushButton::clicked, this, &QDialog::accept);
}

void FileViewerDialog::fileClicked(QListWidgetItem* item) {
  const naming::IdentityName name = naming::AnalyseIdentityFileName(item->text().toStdString());
  const QString dateText = FromStd(name.dateText);
  if (name.outcome != naming::NameOutcome::Ok) {
    resultLine_->setText(FromStd(naming::OutcomeText(setup_.wording, name.outcome, name.dateText)));
    SetSignal(resultLine_, Signal::Error);
    return;
  }
  if (setup_.wording == naming::NameViewer::Submission) {
    showSubmissionDate(dateText);
    return;
  }
  resultLine_->setText(FromStd(naming::OutcomeText(setup_.wording, name.outcome, name.dateText)));
  SetSignal(resultLine_, Signal::Normal);
  targets_.sendDate->setDate(QDate::fromString(dateText, Qt::ISODate));
}

void FileViewerDialog::showSubmissionDate(const QString& dateText) {
  const QDate date = QDate::fromString(dateText, Qt::ISODate);
  const qint64 days = targets_.sendDate->date().daysTo(date);
  if (days == 0) {
    resultLine_->setText(kSameDateWarning);
    SetSignal(resultLine_, Signal::Warning);
  } else if (targets_.comparisonBox->isChecked() && (days > kSendWindowDays || days < 0)) {
    resultLine_->setText(kWindowWarning);
    SetSignal(resultLine_, Signal::Warning);
  } else {
    resultLine_->setText(FromStd(naming::OutcomeText(setup_.wording, naming::NameOutcome::Ok, dateText.toStdString())));
    SetSignal(resultLine_, Signal::Normal);
  }
  targets_.dataDate->setDate(date);
}

void OpenFileViewer(Viewer viewer, QWidget* parent, const ViewerTargets& targets) {
  FileViewerDialog dialog(viewer, targets, parent);
  dialog.exec();
}

}  // namespace fc::gui
