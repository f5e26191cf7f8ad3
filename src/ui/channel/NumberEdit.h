#pragma once
// The numeric edit fields of the channel dialogs: digits only when typed,
// read back the way the receiver's tools always read them (leading digits,
// 0 when there are none).
#include <QString>

class QLineEdit;
class QWidget;

namespace vantrel::ui {

// An edit that accepts only digits from the keyboard, with the id as its
// object name.
QLineEdit* MakeNumberEdit(QWidget* parent, int id, Qt::Alignment alignment = Qt::AlignLeft);

// A plain edit with the id as its object name.
QLineEdit* MakeTextEdit(QWidget* parent, int id);

// Optional blanks, an optional sign, then the leading decimal digits; 0 when
// there are none. Values beyond the 32-bit range stop at its ends.
int ParseDecimal(const QString& text);

// The trimmed text is empty.
bool IsBlank(const QString& text);

}  // namespace vantrel::ui
