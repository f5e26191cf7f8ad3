#include "ui/controls/TransferProgressDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/TextTable.h"
#include "ui/controls/GradientProgress.h"

namespace vantrel::ui {
namespace {

constexpr int kTextProgress = 271;
constexpr int kTextCancel = 272;

QLabel* MakeLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  // A long file name must not widen the window.
  label->setMinimumWidth(1);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

}  // namespace

CDlgTransferProgress::CDlgTransferProgress(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QString::fromUtf8(GetText(kTextProgress)));
  setModal(false);
  m_file = MakeLabel(this);
  m_fileBytes = MakeLabel(this);
  m_jobBytes = MakeLabel(this);
  m_rate = MakeLabel(this);

  m_bar = new CGradientProgress(this);
  m_bar->setFixedHeight(22);
  m_bar->SetStartColor(QColor(231, 226, 252));
  m_bar->SetEndColor(QColor(58, 54, 209));
  m_bar->SetBkColor(QColor(254, 254, 254));
  m_bar->SetTextColor(Qt::black);
  m_bar->ShowPercent(true);
  m_bar->SetRange(0, 1000);

  m_cancel = new QPushButton(QString::fromUtf8(GetText(kTextCancel)), this);
  m_cancel->setObjectName(QString::number(IDCANCEL));
  m_cancel->setAutoDefault(false);
  connect(m_cancel, &QPushButton::clicked, this, &CDlgTransferProgress::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_cancel);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  for (QLabel* label : {m_file, m_fileBytes, m_jobBytes, m_rate}) layout->addWidget(label);
  layout->addWidget(m_bar);
  layout->addLayout(buttons);
  setFixedSize(420, 190);

  m_refresh.setInterval(kRefreshIntervalMs);
  connect(&m_refresh, &QTimer::timeout, this, &CDlgTransferProgress::ApplyPending);
}

CDlgTransferProgress::~CDlgTransferProgress() = default;

void CDlgTransferProgress::StartJob(int fileCount, std::int64_t jobTotal, CancelHandler handler, void* context) {
  m_state->StartJob(fileCount, jobTotal);
  m_cancelHandler = handler;
  m_cancelContext = context;
  m_cancel->setEnabled(true);
  m_clock.start();
  ApplyPending();
}

void CDlgTransferProgress::ApplyPending() {
  const TransferProgress progress = m_state->Snapshot();
  const double elapsed = m_clock.isValid() ? static_cast<double>(m_clock.elapsed()) / 1000.0 : 0.0;
  const TransferProgressTexts texts = FormatTransferProgress(progress, elapsed);
  const auto show = [](QLabel* label, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (label->text() != value) label->setText(value);
  };
  show(m_file, texts.file);
  show(m_fileBytes, texts.fileBytes);
  show(m_jobBytes, texts.jobBytes);
  show(m_rate, texts.timeLeft.empty() ? texts.speed : texts.speed + "    " + texts.timeLeft);
  m_bar->SetPos(ProgressPermille(progress));
}

void CDlgTransferProgress::reject() {
  m_cancel->setEnabled(false);
  if (m_cancelHandler != nullptr) {
    // The window stays; the owner hides it when its transfer has ended.
    m_cancelHandler(m_cancelContext, kCancelValue);
    return;
  }
  hide();
}

void CDlgTransferProgress::showEvent(QShowEvent* event) {
  ApplyPending();
  m_refresh.start();
  QDialog::showEvent(event);
}

void CDlgTransferProgress::hideEvent(QHideEvent* event) {
  m_refresh.stop();
  QDialog::hideEvent(event);
}

}  // namespace vantrel::ui
