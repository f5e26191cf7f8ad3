#include "app/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

namespace vantrel::app {
namespace {

// One part's numbers: what QIntValidator allows, at most three digits, and
// also a pasted dotted address (or its tail) that fits the parts left.
class CPartValidator final : public QValidator {
 public:
  CPartValidator(int partsLeft, QObject* parent) : QValidator(parent), m_partsLeft(partsLeft), m_number(0, 255) {}

  State validate(QString& input, int& pos) const override {
    if (!input.contains('.')) {
      if (input.size() > 3) return Invalid;
      return m_number.validate(input, pos);
    }
    const QString trimmed = input.trimmed();
    const QStringList numbers = trimmed.split('.');
    if (numbers.size() > m_partsLeft) return Invalid;
    for (const QString& number : numbers) {
      bool ok = false;
      const int value = number.toInt(&ok);
      if (number.isEmpty() || number.size() > 3 || !ok || value < 0 || value > 255) return Invalid;
    }
    input = trimmed;
    pos = static_cast<int>(input.size());
    return Acceptable;
  }

 private:
  int m_partsLeft;
  QIntValidator m_number;
};

}  // namespace

bool IsCompleteIpAddress(const std::string& dotted) {
  const QStringList numbers = QString::fromStdString(dotted).split('.');
  if (numbers.size() != 4) return false;
  for (const QString& number : numbers) {
    if (number.isEmpty() || number.size() > 3) return false;
    for (const QChar c : number) {
      if (c < '0' || c > '9') return false;
    }
    if (number.toInt() > 255) return false;
  }
  return true;
}

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  for (int i = 0; i < 4; ++i) {
    auto* part = new QLineEdit(this);
    part->setObjectName(QStringLiteral("part%1").arg(i));
    // No length limit on the edit itself: it would cut a pasted address to its first number.
    part->setValidator(new CPartValidator(4 - i, part));
    part->setAlignment(Qt::AlignCenter);
    part->setFixedWidth(part->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    part->installEventFilter(this);
    m_parts[static_cast<std::size_t>(i)] = part;
    layout->addWidget(part);
    if (i < 3) layout->addWidget(new QLabel(QStringLiteral("."), this));
    connect(part, &QLineEdit::textEdited, this, [this, i, part](const QString& text) {
      if (text.contains('.')) {
        FillFrom(static_cast<std::size_t>(i), text);
        return;
      }
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
  for (const QLineEdit* part : m_parts)
    numbers << (part->text().isEmpty() ? QString() : QString::number(part->text().toInt()));
  return numbers.join('.').toStdString();
}

void CIpAddressEdit::FillFrom(std::size_t first, const QString& dotted) {
  const QStringList numbers = dotted.split('.');
  std::size_t at = first;
  for (const QString& number : numbers) {
    if (at >= m_parts.size()) break;
    m_parts[at++]->setText(QString::number(number.toInt()));
  }
  QLineEdit* last = m_parts[at - 1];
  last->setFocus();
  last->end(false);
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
