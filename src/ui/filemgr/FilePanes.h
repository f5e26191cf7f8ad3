#pragma once
// The four panes of the file manager: the PC folder tree and file list, the
// receiver folder tree and file list. The panes hold and show items; reading
// the receiver and reacting to the user is the window's work. The lists keep
// their rows in a CFileListModel and show them.
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "ui/filemgr/FilePaneModel.h"

namespace vantrel::ui {

// Tree images (also the strips' icons).
enum TreeImage {
  kTreeFolder = 0,
  kTreeFolderOpen = 1,
  kTreeRemovable = 2,
  kTreeFixed = 3,
  kTreeNetwork = 4,
  kTreeOptical = 5,
  kTreeMyComputer = 6,
  kTreeDesktop = 8,
};
QIcon TreeIcon(int image);
QIcon ListIcon(int image);

// In-place editing of a pane goes through the window: it may refuse to begin,
// and decides at the end whether the typed name is taken.
class IPaneEditHandler {
 public:
  virtual ~IPaneEditHandler() = default;
  virtual bool BeginEdit(QTreeWidget* pane, QTreeWidgetItem* item) = 0;
  // true: the item's text becomes `text`.
  virtual bool EndEdit(QTreeWidget* pane, QTreeWidgetItem* item, const QModelIndex& index, const std::string& text) = 0;
};

class CPaneEditDelegate : public QStyledItemDelegate {
 public:
  CPaneEditDelegate(QTreeWidget* pane, IPaneEditHandler* handler);
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

 private:
  QTreeWidget* m_pane;
  IPaneEditHandler* m_handler;
};

class CTreePane : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CTreePane(QWidget* parent);
  QTreeWidgetItem* AddChildFolder(QTreeWidgetItem* parent, const std::string& name, int image, int selectedImage);
  // Selects the first child whose text equals name exactly.
  bool SelectChildByName(QTreeWidgetItem* parent, const std::string& name);
  static std::string Text(const QTreeWidgetItem* item);
  // Names of the other children of the item's parent: the following ones first, then the preceding ones.
  static std::vector<std::string> SiblingNames(const QTreeWidgetItem* item);
  // Shows the open-folder image on the selected item.
  void UpdateSelectedImages();

 Q_SIGNALS:
  void focused();

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

class CTreeLocal : public CTreePane {
  Q_OBJECT
 public:
  static constexpr int IDC = 10715;
  enum ItemKind { kFolder = 0, kTop, kDocuments, kMyComputer, kDrive, kPlaceholder };
  static constexpr char kMyComputerPath[] = "My Computer";

  explicit CTreeLocal(QWidget* parent);
  // Desktop, documents, "My Computer" with the mounted volumes; selects "My Computer".
  void Init();
  std::string GetItemPath(const QTreeWidgetItem* item) const;
  void ReadSubfolders(QTreeWidgetItem* item);
  void RemoveChildren(QTreeWidgetItem* item);
  void RefreshChildren(QTreeWidgetItem* item);
  static int Kind(const QTreeWidgetItem* item);
  QTreeWidgetItem* Top() const { return m_top; }
  QTreeWidgetItem* MyComputer() const { return m_myComputer; }
  QTreeWidgetItem* Documents() const { return m_documents; }
  // The image an item shows in the strip.
  static int Image(const QTreeWidgetItem* item);

 Q_SIGNALS:
  // Collapsing a folder above the selected one moved the selection up to it.
  void selectionMovedUp();

 public:
  // Folder locations, replaceable by tests.
  std::string m_desktopPath;
  std::string m_documentsPath;

 private:
  QTreeWidgetItem* AddFolderItem(QTreeWidgetItem* parent, const std::string& name, int kind, int image,
                                 const std::string& path = {});
  static bool HasSubfolder(const std::string& path);
  void OnExpandedOrCollapsed(QTreeWidgetItem* item);

  QTreeWidgetItem* m_top = nullptr;
  QTreeWidgetItem* m_documents = nullptr;
  QTreeWidgetItem* m_myComputer = nullptr;
};

class CTreeRemote : public CTreePane {
  Q_OBJECT
 public:
  static constexpr int IDC = 10714;
  explicit CTreeRemote(QWidget* parent);
  void Init();
  QTreeWidgetItem* Root() const { return m_root; }
  std::string GetItemPath(const QTreeWidgetItem* item) const;
  // All descendants, depth-first.
  void RemoveChildren(QTreeWidgetItem* item);
  void ReopenParent(QTreeWidgetItem* item);

 private:
  QTreeWidgetItem* m_root = nullptr;
};

// A report list over a CFileListModel.
class CFileList : public QTreeWidget {
  Q_OBJECT
 public:
  CFileList(QWidget* parent, int id, int remoteMode);
  CFileListModel& Model() { return m_model; }
  // Shows the model's rows again.
  void Render();
  // Selected row indexes in ascending order.
  std::vector<int> SelectedRows() const;
  int RowOf(const QTreeWidgetItem* item) const { return indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)); }
  const FileRow* RowAt(int row) const;
  void SelectRowByName(const std::string& name);
  void RemoveRow(int row);
  std::vector<std::string> AllNames() const;
  int LastClicked() const { return m_lastClicked; }
  void SetLastClicked(int row) { m_lastClicked = row; }
  std::string MakeNewFolderName() const { return m_model.MakeNewFolderName(); }
  // The folder whose entries the rows are; every action on rows works there.
  const std::string& Folder() const { return m_folder; }
  void SetFolder(const std::string& folder) { m_folder = folder; }
  // The row the user chose last, by mouse or keyboard (-1: none).
  int ChosenRow() const;

 Q_SIGNALS:
  void focused();
  // Rows of the other list were dropped here.
  void droppedFromOther();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void startDrag(Qt::DropActions actions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool FromOtherList(const QMimeData* data) const;
  CFileListModel m_model;
  std::string m_folder;
  int m_id;
  int m_lastClicked = -1;
};

class CListLocal : public CFileList {
  Q_OBJECT
 public:
  static constexpr int IDC = 10713;
  explicit CListLocal(QWidget* parent) : CFileList(parent, IDC, 0) {}
  void Fill(const std::string& folder);
};

class CListRemote : public CFileList {
  Q_OBJECT
 public:
  static constexpr int IDC = 10712;
  explicit CListRemote(QWidget* parent, int mode = 0) : CFileList(parent, IDC, mode) {}
  void AddEntry(const std::string& name, bool isFile, std::int64_t size, std::int64_t time);
};

}  // namespace vantrel::ui
