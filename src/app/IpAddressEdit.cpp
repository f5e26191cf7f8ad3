#include "app/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

namespace vantrel::app {

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  for (int i = 0; i < 4; ++i) {
    auto* part = new QLineEdit(this);
    part->setObjectName(QStringLiteral("part%1").arg(i));
    part->setValidator(new QIntValidator(0, 255, part));
    part->setMaxLength(3);
    part->setAlignment(Qt::AlignCenter);
    part->setFixedWidth(part->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    part->installEventFilter(this);
    m_parts[static_cast<std::size_t>(i)] = part;
    layout->addWidget(part);
    if (i < 3) layout->addWidget(new QLabel(QStringLiteral("."), this));
    connect(part, &QLineEdit::textEdited, this, [this, i, part](const QString& text) {
      // The validator lets "999" through as a number still being typed; a part never exceeds 255.
      if (text.toInt() > 255) part->setText(QStringLiteral("255"));
      if (text.size() == 3 && i < 3) {
        m_parts[static_cast<std::size_t>(i + 1)]->setFocus();
        m_parts[static_cast<std::size_t>(i + 1)]->selectAll();
      }
    });
  }
  layout->addStretch(1);
  setFocusProxy(m_parts[0]);
}

std::string CIpAddressEdit::Text() const {
  bool any = false;
  for (const QLineEdit* part : m_parts) any = any || !part->text().isEmpty();
  if (!any) return {};
  QStringList numbers;
  for (const QLineEdit* part : m_parts) numbers << QString::number(part->text().toInt());
  return numbers.join('.').toStdString();
}

void CIpAddressEdit::SetText(const std::string& dotted) {
  const QStringList numbers = QString::fromStdString(dotted).split('.');
  bool valid = numbers.size() == 4;
  for (const QString& number : numbers) {
    bool ok = false;
    const int value = number.toInt(&ok);
    valid = valid && ok && value >= 0 && value <= 255;
  }
  for (std::size_t i = 0; i < m_parts.size(); ++i) {
    m_parts[i]->setText(valid ? QString::number(numbers[static_cast<int>(i)].toInt()) : QString());
  }
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
      if (watched != m_parts[i]) continue;
      if (key->text() == QStringLiteral(".") && i + 1 < m_parts.size()) {
        if (!m_parts[i]->text().isEmpty()) {
          m_parts[i + 1]->setFocus();
          m_parts[i + 1]->selectAll();
        }
        return true;
      }
      if (key->key() == Qt::Key_Backspace && m_parts[i]->cursorPosition() == 0 && i > 0 &&
          !m_parts[i]->hasSelectedText()) {
        m_parts[i - 1]->setFocus();
        m_parts[i - 1]->end(false);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CIpAddressEdit::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  m_parts[0]->setFocus();
}

}  // namespace vantrel::app
