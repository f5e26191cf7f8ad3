#pragma once
// The windows of the reference list and the CSV import: each shows what the
// change would do and asks before anything changes; Apply accepts, Cancel
// leaves the list alone.
#include <QDialog>

#include "channels/ChannelCsv.h"
#include "channels/ReferenceList.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace vantrel::ui {

// Matched, moved and unchanged counts, the reference entries that found
// nothing, and whether the favourite groups are taken too (the plan follows
// the check box).
class CDlgReferencePreview : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDC_COUNTS = 10401;
  static constexpr int IDC_NOT_FOUND_CAPTION = 10402;
  static constexpr int IDC_NOT_FOUND = 10403;
  static constexpr int IDC_FAVOURITES = 10404;
  static constexpr int IDC_APPLY = 10405;

  CDlgReferencePreview(const channels::ChannelList& list, const channels::ReferenceList& reference,
                       QWidget* parent = nullptr);
  const channels::ReferencePlan& Plan() const { return m_plan; }
  void SetTakeFavourites(bool take);

 private:
  void Replan();

  const channels::ChannelList& m_list;
  const channels::ReferenceList& m_reference;
  channels::ReferencePlan m_plan;
  QLabel* m_counts = nullptr;
  QLabel* m_notFoundCaption = nullptr;
  QListWidget* m_notFound = nullptr;
  QCheckBox* m_favourites = nullptr;
};

// The rows read, the services that change, and every row left out with its
// line and reason. Apply is offered only when something changes.
class CDlgCsvImport : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDC_COUNTS = 10411;
  static constexpr int IDC_PROBLEMS = 10412;
  static constexpr int IDC_LEFT_OUT = 10413;
  static constexpr int IDC_APPLY = 10414;

  explicit CDlgCsvImport(const channels::CsvImportPlan& plan, QWidget* parent = nullptr);
};

}  // namespace vantrel::ui
