#include "ui/channel/DlgListCheck.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "channels/ListToolTexts.h"
#include "core/TextTable.h"
#include "ui/channel/ReportList.h"

namespace vantrel::ui {
namespace {

using namespace vantrel::channels;

constexpr int kTextSave = 2;
constexpr int kTextSendToPvr = 5;
constexpr int kTextCancel = 272;

QString T(int index) { return QString::fromUtf8(GetText(index)); }

}  // namespace

CDlgListCheck::CDlgListCheck(CChannelEditor& editor, Purpose purpose, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_purpose(purpose) {
  setObjectName(QString::number(IDD));
  setWindowTitle(T(kTextCheckTitle));
  m_list = new CReportList(IDC_FINDING_LIST, {{T(kTextFindingColumn), 100}}, this);
  connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CDlgListCheck::UpdateButtons);
  m_fix = new QPushButton(T(kTextFixButton), this);
  m_fix->setObjectName(QString::number(IDC_FIX));
  connect(m_fix, &QPushButton::clicked, this, [this] { FixSelected(); });
  m_goOn = new QPushButton(this);
  m_goOn->setObjectName(QString::number(IDC_GO_ON));
  m_goOn->setVisible(purpose != Purpose::Look);
  connect(m_goOn, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(T(purpose == Purpose::Look ? kTextClose : kTextCancel), this);
  cancel->setObjectName(QString::number(IDC_CANCEL));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_fix);
  buttons->addStretch();
  buttons->addWidget(m_goOn);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addLayout(buttons);
  resize(640, 360);
  Recheck();
}

void CDlgListCheck::Recheck() {
  m_findings = CheckChannelList(m_editor.List());
  const QSignalBlocker block(m_list);
  m_list->clear();
  if (m_findings.empty()) new QTreeWidgetItem(m_list, {T(kTextListClean)});
  for (const ListFinding& f : m_findings) {
    auto* item = new QTreeWidgetItem(m_list, {QString::fromStdString(f.text)});
    item->setToolTip(0, item->text(0));  // long findings do not fit the row
    item->setSelected(f.fixable);
  }
  UpdateButtons();
}

std::size_t CDlgListCheck::FixSelected() {
  std::vector<ListFinding> chosen;
  for (const int row : m_list->SelectedRows()) {
    if (static_cast<std::size_t>(row) < m_findings.size()) chosen.push_back(m_findings[static_cast<std::size_t>(row)]);
  }
  const std::size_t fixed = m_editor.FixFindings(chosen);
  if (fixed > 0) {
    Q_EMIT listChanged();
    Recheck();
  }
  return fixed;
}

void CDlgListCheck::UpdateButtons() {
  bool fixable = false;
  for (const int row : m_list->SelectedRows()) {
    if (static_cast<std::size_t>(row) < m_findings.size() && m_findings[static_cast<std::size_t>(row)].fixable)
      fixable = true;
  }
  m_fix->setEnabled(fixable);
  const bool clean = m_findings.empty();
  if (m_purpose == Purpose::Save) m_goOn->setText(T(clean ? kTextSave : kTextSaveAnyway));
  if (m_purpose == Purpose::Send) m_goOn->setText(T(clean ? kTextSendToPvr : kTextSendAnyway));
}

}  // namespace vantrel::ui
