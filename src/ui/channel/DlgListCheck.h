#pragma once
// The findings of the list check in one list. "Fix" runs the editor's
// FixFindings (which asks first) on the selected findings that have a certain
// fix and checks again; before Save and Send the user goes on ("Save
// Anyway" / "Send Anyway", or Save / Send once nothing is left) or cancels.
#include <QDialog>
#include <vector>

#include "channels/ChannelEditor.h"
#include "channels/ListCheck.h"

class QPushButton;

namespace vantrel::ui {

class CReportList;

class CDlgListCheck : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDD = 11200;
  static constexpr int IDC_FINDING_LIST = 11201;
  static constexpr int IDC_FIX = 11202;
  static constexpr int IDC_GO_ON = 11203;
  static constexpr int IDC_CANCEL = 11204;

  // What the check comes before: a look from the menu, a save or a send.
  enum class Purpose { Look, Save, Send };

  CDlgListCheck(channels::CChannelEditor& editor, Purpose purpose, QWidget* parent = nullptr);

  const std::vector<channels::ListFinding>& Findings() const { return m_findings; }
  // "Fix" on the selected rows; returns how many findings were fixed.
  std::size_t FixSelected();
  // Checks the list again and shows the findings; the fixable ones are selected.
  void Recheck();

  CReportList* FindingList() const { return m_list; }
  QPushButton* FixButton() const { return m_fix; }
  QPushButton* GoOnButton() const { return m_goOn; }

 Q_SIGNALS:
  // The list changed: the window behind shows it again.
  void listChanged();

 private:
  void UpdateButtons();

  channels::CChannelEditor& m_editor;
  Purpose m_purpose;
  std::vector<channels::ListFinding> m_findings;
  CReportList* m_list = nullptr;
  QPushButton* m_fix = nullptr;
  QPushButton* m_goOn = nullptr;
};

}  // namespace vantrel::ui
