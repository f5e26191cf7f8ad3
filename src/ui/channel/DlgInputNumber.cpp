#include "ui/channel/DlgInputNumber.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Prompt.h"
#include "core/TextTable.h"
#include "ui/channel/NumberEdit.h"

namespace vantrel::ui {
namespace {

constexpr int kTextChannelNumber = 23;
constexpr int kTextCancel = 272;

QString Text(int index) { return QString::fromUtf8(GetText(index)); }

}  // namespace

CDlgInputNumber::CDlgInputNumber(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(IDD));

  m_prompt = new QLabel(this);
  m_prompt->setObjectName(QString::number(IDC_INPUT_PROMPT));
  auto* label = new QLabel(Text(kTextChannelNumber), this);
  label->setObjectName(QString::number(IDC_INPUT_LABEL));
  m_edit = MakeNumberEdit(this, IDC_INPUT_NUMBER, Qt::AlignRight);
  m_edit->setMinimumWidth(110);
  label->setBuddy(m_edit);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QString::number(IDOK));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(Text(kTextCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QString::number(IDCANCEL));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgInputNumber::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDlgInputNumber::reject);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(14, 12, 14, 12);
  grid->setVerticalSpacing(10);
  grid->addWidget(m_prompt, 0, 0, 1, 2);
  grid->addWidget(label, 1, 0);
  grid->addWidget(m_edit, 1, 1);
  grid->addWidget(buttons, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  SetRequest(m_request);
  m_edit->setFocus();
}

void CDlgInputNumber::SetRequest(const channels::NumberRequest& request) {
  m_request = request;
  setWindowTitle(QString::fromStdString(channels::NumberInputTitle(request.mode)));
  m_prompt->setText(QString::fromStdString(channels::NumberInputPrompt(request.mode)));
}

std::optional<int> CDlgInputNumber::AskNumber(const channels::NumberRequest& request) {
  SetRequest(request);
  m_value = -1;
  m_edit->clear();
  m_edit->setFocus();
  if (exec() != QDialog::Accepted) return std::nullopt;
  return m_value;
}

std::string CDlgInputNumber::CheckValue(int value) const { return channels::CheckNumberInput(m_request, value); }

void CDlgInputNumber::accept() {
  m_value = ParseDecimal(m_edit->text());
  const std::string message = CheckValue(m_value);
  if (!message.empty()) {
    ShowInfoText(message);
    m_edit->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vantrel::ui
