#pragma once
// Asks for one channel number for the editor's numbering operations: the
// start number of manual numbering, the target of a move, or the first
// logical channel number of an LCN numbering. The number is checked against
// the request (the editor's row count and, for a move, its selected rows)
// before the dialog closes.
#include <QDialog>
#include <optional>
#include <string>

#include "channels/INumberInput.h"

class QLabel;
class QLineEdit;

namespace vantrel::ui {

class CDlgInputNumber : public QDialog, public channels::INumberInput {
  Q_OBJECT
 public:
  static constexpr int IDD = 10500;
  static constexpr int IDC_INPUT_PROMPT = 10501;
  static constexpr int IDC_INPUT_NUMBER = 10502;
  static constexpr int IDC_INPUT_LABEL = 10503;
  static constexpr int IDOK = 1;
  static constexpr int IDCANCEL = 2;

  explicit CDlgInputNumber(QWidget* parent = nullptr);

  // Runs the dialog modally for the request: the number on OK, nothing on Cancel.
  std::optional<int> AskNumber(const channels::NumberRequest& request) override;

  // Sets the range and mode (title and prompt follow it) without running.
  void SetRequest(const channels::NumberRequest& request);
  int GetMode() const { return static_cast<int>(m_request.mode); }
  // The number read when OK was last pressed; -1 before.
  int GetValue() const { return m_value; }

  // Empty when the value passes; otherwise the message shown.
  std::string CheckValue(int value) const;

  QLineEdit* NumberEdit() const { return m_edit; }

 public Q_SLOTS:
  // Reads the number and closes only when it passes the checks; otherwise
  // shows the message (caption "Info") and stays open.
  void accept() override;

 private:
  channels::NumberRequest m_request;
  int m_value = -1;
  QLabel* m_prompt = nullptr;
  QLineEdit* m_edit = nullptr;
};

}  // namespace vantrel::ui
