#pragma once
// "Find Duplicates": the duplicate groups of the list under the rule the
// user picks, each with the service to keep ticked. Ticking another service
// makes it the group's keeper; "Delete Duplicates" runs the editor's
// DeleteDuplicates (which asks first) and looks again.
#include <QDialog>
#include <vector>

#include "channels/ChannelEditor.h"
#include "channels/DuplicateFinder.h"

class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantrel::ui {

class CDlgDuplicates : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDD = 11100;
  static constexpr int IDC_RULE_EXACT = 11101;
  static constexpr int IDC_RULE_LOOSE = 11102;
  static constexpr int IDC_GROUP_LIST = 11103;
  static constexpr int IDC_DELETE_DUPLICATES = 11104;
  static constexpr int IDC_CLOSE = 11105;

  explicit CDlgDuplicates(channels::CChannelEditor& editor, QWidget* parent = nullptr);

  // Finds the groups again under a rule and shows them.
  void SetRule(channels::DuplicateRule rule);
  channels::DuplicateRule Rule() const { return m_rule; }
  const std::vector<channels::DuplicateGroup>& Groups() const { return m_groups; }
  // The service at index becomes the keeper of group g.
  void SetKeeper(std::size_t g, std::size_t index);
  // "Delete Duplicates"; returns how many services were deleted.
  std::size_t DeleteDuplicates();

  QTreeWidget* GroupList() const { return m_list; }

 Q_SIGNALS:
  // The list changed: the window behind shows it again.
  void listChanged();

 private:
  void Fill();
  void OnItemChanged(QTreeWidgetItem* item, int column);

  channels::CChannelEditor& m_editor;
  channels::DuplicateRule m_rule = channels::DuplicateRule::Exact;
  std::vector<channels::DuplicateGroup> m_groups;
  QRadioButton* m_exact = nullptr;
  QRadioButton* m_loose = nullptr;
  QTreeWidget* m_list = nullptr;
  QPushButton* m_delete = nullptr;
  bool m_filling = false;
};

}  // namespace vantrel::ui
