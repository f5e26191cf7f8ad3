#pragma once
// A text field for showing information: typing into it does nothing, while
// selecting, copying through the context menu and setting the text in code
// work as in any line edit.
#include <QLineEdit>

namespace vantrel::ui {

class CInfoEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 protected:
  // Every key press is swallowed. Return, Enter and Escape are left to the
  // dialog around the field (its default button and its cancel), as they
  // never reach an edit field in a dialog.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vantrel::ui
