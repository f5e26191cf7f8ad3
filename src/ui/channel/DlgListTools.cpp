#include "ui/channel/DlgListTools.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "channels/ReferenceCsvTexts.h"
#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel::ui {
namespace {

constexpr int kTextCancel = 272;

QString T(int index) { return QString::fromUtf8(GetText(index)); }

QDialogButtonBox* ApplyCancel(QDialog& dialog, int applyId, bool applyEnabled) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* apply = buttons->button(QDialogButtonBox::Ok);
  apply->setText(T(channels::kTextApply));
  apply->setObjectName(QString::number(applyId));
  apply->setEnabled(applyEnabled);
  buttons->button(QDialogButtonBox::Cancel)->setText(T(kTextCancel));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

CDlgReferencePreview::CDlgReferencePreview(const channels::ChannelList& list, const channels::ReferenceList& reference,
                                           QWidget* parent)
    : QDialog(parent), m_list(list), m_reference(reference) {
  setWindowTitle(T(channels::kTextReferenceCaption));
  m_counts = new QLabel(this);
  m_counts->setObjectName(QString::number(IDC_COUNTS));
  m_notFoundCaption = new QLabel(this);
  m_notFoundCaption->setObjectName(QString::number(IDC_NOT_FOUND_CAPTION));
  m_notFound = new QListWidget(this);
  m_notFound->setObjectName(QString::number(IDC_NOT_FOUND));
  m_favourites = new QCheckBox(T(channels::kTextReferenceFavourites), this);
  m_favourites->setObjectName(QString::number(IDC_FAVOURITES));
  // A list of names has no groups to take.
  m_favourites->setEnabled(!reference.groups.empty());
  connect(m_favourites, &QCheckBox::toggled, this, [this] { Replan(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_counts);
  layout->addWidget(m_notFoundCaption);
  layout->addWidget(m_notFound);
  layout->addWidget(m_favourites);
  layout->addWidget(ApplyCancel(*this, IDC_APPLY, true));
  resize(460, 380);
  Replan();
}

void CDlgReferencePreview::SetTakeFavourites(bool take) { m_favourites->setChecked(take); }

void CDlgReferencePreview::Replan() {
  m_plan = channels::PlanReference(m_list, m_reference, m_favourites->isChecked());
  m_counts->setText(
      QString::fromStdString(Format(GetText(channels::kTextReferenceCounts), static_cast<int>(m_plan.matched),
                                    static_cast<int>(m_plan.moved), static_cast<int>(m_plan.unchanged))));
  m_notFoundCaption->setText(QString::fromStdString(
      Format(GetText(channels::kTextReferenceNotFound), static_cast<int>(m_plan.notFound.size()))));
  m_notFound->clear();
  for (const std::string& name : m_plan.notFound) m_notFound->addItem(QString::fromStdString(name));
}

CDlgCsvImport::CDlgCsvImport(const channels::CsvImportPlan& plan, QWidget* parent) : QDialog(parent) {
  setWindowTitle(T(channels::kTextImportCaption));
  auto* counts = new QLabel(
      QString::fromStdString(Format(GetText(channels::kTextImportCounts), static_cast<int>(plan.rows),
                                    static_cast<int>(plan.changedServices), static_cast<int>(plan.problems.size()))),
      this);
  counts->setObjectName(QString::number(IDC_COUNTS));
  auto* leftOut =
      new QLabel(plan.changedServices == 0 ? T(channels::kTextNothingToChange) : T(channels::kTextRowsLeftOut), this);
  leftOut->setObjectName(QString::number(IDC_LEFT_OUT));
  leftOut->setVisible(!plan.problems.empty() || plan.changedServices == 0);
  auto* problems = new QTreeWidget(this);
  problems->setObjectName(QString::number(IDC_PROBLEMS));
  problems->setRootIsDecorated(false);
  problems->setHeaderLabels({T(channels::kTextColumnLine), T(channels::kTextColumnProblem)});
  for (const channels::CsvProblem& p : plan.problems) {
    new QTreeWidgetItem(problems, {p.line > 0 ? QString::number(p.line) : QString(),
                                   QString::fromStdString(channels::DescribeCsvProblem(p))});
  }
  problems->resizeColumnToContents(0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(counts);
  layout->addWidget(leftOut);
  layout->addWidget(problems);
  layout->addWidget(ApplyCancel(*this, IDC_APPLY, plan.changedServices > 0));
  resize(560, 380);
}

}  // namespace vantrel::ui
