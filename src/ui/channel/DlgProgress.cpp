#include "ui/channel/DlgProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "core/TextTable.h"
#include "ui/controls/GradientProgress.h"

namespace vantrel::ui {
namespace {

constexpr int kTextProgress = 271;
constexpr int kTextCancel = 272;

}  // namespace

CDlgProgress::CDlgProgress(QWidget* owner) : QDialog(owner) {
  setObjectName(QString::number(IDD));
  setWindowTitle(QString::fromUtf8(GetText(kTextProgress)));
  setModal(false);

  m_name = new QLabel(QString::fromStdString(m_nameText), this);
  m_name->setObjectName(QString::number(IDC_PROGRESS_NAME));
  m_name->setTextFormat(Qt::PlainText);
  // A long file name must not widen the window.
  m_name->setMinimumWidth(1);
  m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  m_bar = new CGradientProgress(this);
  m_bar->setObjectName(QString::number(IDC_PROGRESS_BAR));
  m_bar->setFixedHeight(22);
  m_bar->SetStartColor(QColor(231, 226, 252));
  m_bar->SetEndColor(QColor(58, 54, 209));
  m_bar->SetBkColor(QColor(254, 254, 254));
  m_bar->SetTextColor(Qt::black);
  m_bar->ShowPercent(true);

  m_cancel = new QPushButton(QString::fromUtf8(GetText(kTextCancel)), this);
  m_cancel->setObjectName(QString::number(IDCANCEL));
  m_cancel->setAutoDefault(false);
  connect(m_cancel, &QPushButton::clicked, this, &CDlgProgress::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_cancel);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->addWidget(m_name);
  layout->addWidget(m_bar);
  layout->addLayout(buttons);
  resize(380, 118);

  m_refresh.setInterval(kRefreshIntervalMs);
  connect(&m_refresh, &QTimer::timeout, this, &CDlgProgress::ApplyPending);
}

CDlgProgress::~CDlgProgress() = default;

void CDlgProgress::SetName(const std::string& text) {
  {
    std::lock_guard lock(m_mutex);
    m_nameText = text;
  }
  RequestApply();
}

void CDlgProgress::SetPos(int position) {
  m_pos.store(position);
  RequestApply();
}

void CDlgProgress::SetRange(int lower, int upper) {
  m_lower.store(lower);
  m_upper.store(upper);
  RequestApply();
}

void CDlgProgress::Reset() {
  {
    std::lock_guard lock(m_mutex);
    m_cancelHandler = nullptr;
    m_cancelContext = nullptr;
  }
  m_cancelEnable.store(1);
  m_pos.store(0);
  RequestApply();
}

void CDlgProgress::SetCancelHandler(CancelHandler handler, void* context) {
  std::lock_guard lock(m_mutex);
  m_cancelHandler = handler;
  m_cancelContext = context;
}

void CDlgProgress::EnableCancel(bool enable) {
  m_cancelEnable.store(enable ? 1 : 0);
  RequestApply();
}

void CDlgProgress::Flush() {
  if (QThread::currentThread() == thread()) {
    ApplyPending();
    return;
  }
  // Posted, not waited for; dropped when the window goes first.
  QMetaObject::invokeMethod(this, &CDlgProgress::ApplyPending, Qt::QueuedConnection);
}

std::string CDlgProgress::PublishedName() const {
  std::lock_guard lock(m_mutex);
  return m_nameText;
}

void CDlgProgress::RequestApply() {
  m_changes.fetch_add(1, std::memory_order_release);
  if (QThread::currentThread() == thread()) ApplyPending();
}

void CDlgProgress::ApplyPending() {
  const unsigned changes = m_changes.load(std::memory_order_acquire);
  if (changes == m_applied) return;
  m_applied = changes;

  const QString name = QString::fromStdString(PublishedName());
  if (m_name->text() != name) m_name->setText(name);
  const int lower = m_lower.load();
  const int upper = m_upper.load();
  if (lower != m_bar->GetLower() || upper != m_bar->GetUpper()) m_bar->SetRange(lower, upper);
  m_bar->SetPos(m_pos.load());
  const int enable = m_cancelEnable.exchange(-1);
  if (enable >= 0) m_cancel->setEnabled(enable == 1);
}

void CDlgProgress::reject() {
  m_cancel->setEnabled(false);
  CancelHandler handler;
  void* context;
  {
    std::lock_guard lock(m_mutex);
    handler = m_cancelHandler;
    context = m_cancelContext;
  }
  if (handler != nullptr) {
    // The window stays; the owner hides it when its operation has ended.
    handler(context, kCancelValue);
    return;
  }
  hide();
}

void CDlgProgress::showEvent(QShowEvent* event) {
  ApplyPending();
  m_refresh.start();
  QDialog::showEvent(event);
}

void CDlgProgress::hideEvent(QHideEvent* event) {
  m_refresh.stop();
  QDialog::hideEvent(event);
}

}  // namespace vantrel::ui
