#include "ui/channel/NumberEdit.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <limits>

namespace vantrel::ui {

QLineEdit* MakeNumberEdit(QWidget* parent, int id, Qt::Alignment alignment) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(id));
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setAlignment(alignment | Qt::AlignVCenter);
  edit->setMaxLength(10);
  return edit;
}

QLineEdit* MakeTextEdit(QWidget* parent, int id) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(id));
  return edit;
}

int ParseDecimal(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i].unicode() - u'0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : value);
}

bool IsBlank(const QString& text) { return text.trimmed().isEmpty(); }

}  // namespace vantrel::ui
