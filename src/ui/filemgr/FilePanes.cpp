#include "ui/filemgr/FilePanes.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardPaths>
#include <QStorageInfo>
#include <filesystem>
#include <set>

#include "core/PathUtil.h"
#include "core/TextTable.h"
#include "core/WaitCursor.h"
#include "ui/controls/Resources.h"

namespace vantrel::ui {

namespace fs = std::filesystem;

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kSelectedImageRole = Qt::UserRole + 3;
constexpr char kDragMime[] = "application/x-vantrel-filemgr-rows";

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Volumes that hold no user files.
bool IsPseudoFileSystem(const QByteArray& type) {
  static const std::set<QByteArray> kPseudo = {
      "proc",        "sysfs",    "devtmpfs", "devpts",     "cgroup",    "cgroup2",  "securityfs", "debugfs",
      "tracefs",     "pstore",   "bpf",      "mqueue",     "hugetlbfs", "configfs", "fusectl",    "autofs",
      "binfmt_misc", "squashfs", "efivarfs", "rpc_pipefs", "nsfs",      "ramfs"};
  return kPseudo.count(type) != 0;
}

int DriveImage(const QStorageInfo& volume) {
  const QByteArray type = volume.fileSystemType();
  if (type == "tmpfs") return kTreeNetwork;  // RAM disk
  if (type.startsWith("nfs") || type == "cifs" || type == "smb3" || type.contains("sshfs")) return kTreeNetwork;
  if (type == "iso9660" || type == "udf") return kTreeOptical;
  const QString root = volume.rootPath();
  if (root.startsWith("/media/") || root.startsWith("/run/media/")) return kTreeRemovable;
  return kTreeFixed;
}

}  // namespace

QIcon TreeIcon(int image) {
  // Resource numbers 21000 + the shell icon number the image stands for.
  static const int kIds[] = {21003, 21004, 21006, 21008, 21009, 21011, 21015, 21003, 21034, 21003};
  if (image < 0 || image > 9) image = 0;
  return LoadSvgIcon(kIds[image], QSize(16, 16));
}

QIcon ListIcon(int image) { return LoadSvgIcon(image == kImageFile ? 21001 : image == 1 ? 21004 : 21003, {16, 16}); }

// ---- in-place editing

CPaneEditDelegate::CPaneEditDelegate(QTreeWidget* pane, IPaneEditHandler* handler)
    : QStyledItemDelegate(pane), m_pane(pane), m_handler(handler) {}

QWidget* CPaneEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
  QTreeWidgetItem* item = m_pane->itemFromIndex(index);
  if (item == nullptr || index.column() != 0 || !m_handler->BeginEdit(m_pane, item)) return nullptr;
  return QStyledItemDelegate::createEditor(parent, option, index);
}

void CPaneEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  QTreeWidgetItem* item = m_pane->itemFromIndex(index);
  if (line == nullptr || item == nullptr) return;
  const std::string text = line->text().toStdString();
  if (m_handler->EndEdit(m_pane, item, index, text)) model->setData(index, line->text());
}

void CPaneEditDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  QStyledItemDelegate::destroyEditor(editor, index);
}

// ---- trees

CTreePane::CTreePane(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setColumnCount(1);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setContextMenuPolicy(Qt::CustomContextMenu);
  QPalette p = palette();
  p.setColor(QPalette::Base, Qt::white);
  setPalette(p);
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { UpdateSelectedImages(); });
}

void CTreePane::focusInEvent(QFocusEvent* event) {
  QTreeWidget::focusInEvent(event);
  emit focused();
}

std::string CTreePane::Text(const QTreeWidgetItem* item) { return item ? item->text(0).toStdString() : std::string(); }

QTreeWidgetItem* CTreePane::AddChildFolder(QTreeWidgetItem* parent, const std::string& name, int image,
                                           int selectedImage) {
  auto* item = new QTreeWidgetItem(parent, QStringList{Q(name)});  // owned by the parent item
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  item->setData(0, kImageRole, image);
  item->setData(0, kSelectedImageRole, selectedImage);
  item->setIcon(0, TreeIcon(image));
  return item;
}

bool CTreePane::SelectChildByName(QTreeWidgetItem* parent, const std::string& name) {
  if (parent == nullptr) return false;
  for (int i = 0; i < parent->childCount(); ++i) {
    if (Text(parent->child(i)) == name) {
      setCurrentItem(parent->child(i));
      return true;
    }
  }
  return false;
}

std::vector<std::string> CTreePane::SiblingNames(const QTreeWidgetItem* item) {
  std::vector<std::string> names;
  const QTreeWidgetItem* parent = item->parent();
  if (parent == nullptr) return names;
  const int at = parent->indexOfChild(const_cast<QTreeWidgetItem*>(item));
  for (int i = at + 1; i < parent->childCount(); ++i) names.push_back(Text(parent->child(i)));
  for (int i = 0; i < at; ++i) names.push_back(Text(parent->child(i)));
  return names;
}

void CTreePane::UpdateSelectedImages() {
  QTreeWidgetItemIterator it(this);
  for (; *it; ++it) {
    QTreeWidgetItem* item = *it;
    const int image = item->data(0, item == currentItem() ? kSelectedImageRole : kImageRole).toInt();
    item->setIcon(0, TreeIcon(image));
  }
}

CTreeLocal::CTreeLocal(QWidget* parent) : CTreePane(parent) {
  setObjectName(QString::number(IDC));
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { OnExpandedOrCollapsed(item); });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { OnExpandedOrCollapsed(item); });
  m_desktopPath = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
  if (!fs::is_directory(m_desktopPath))
    m_desktopPath = QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
  m_documentsPath = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

int CTreeLocal::Kind(const QTreeWidgetItem* item) { return item ? item->data(0, kKindRole).toInt() : -1; }
int CTreeLocal::Image(const QTreeWidgetItem* item) { return item ? item->data(0, kImageRole).toInt() : 0; }

QTreeWidgetItem* CTreeLocal::AddFolderItem(QTreeWidgetItem* parent, const std::string& name, int kind, int image,
                                           const std::string& path) {
  QTreeWidgetItem* item;
  if (parent == nullptr) {
    item = new QTreeWidgetItem(this, QStringList{Q(name)});  // owned by the tree
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, image);
    item->setIcon(0, TreeIcon(image));
  } else {
    item = AddChildFolder(parent, name, image, image == kTreeFolder ? kTreeFolderOpen : image);
  }
  item->setData(0, kKindRole, kind);
  if (!path.empty()) item->setData(0, kPathRole, Q(path));
  if (kind != kFolder) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

bool CTreeLocal::HasSubfolder(const std::string& path) {
  std::error_code ec;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) return true;
  }
  return false;
}

void CTreeLocal::Init() {
  clear();
  m_top = AddFolderItem(nullptr, GetLastPathComponent(m_desktopPath), kTop, kTreeDesktop);
  m_documents = nullptr;
  if (!m_documentsPath.empty() && fs::is_directory(m_documentsPath) && m_documentsPath != m_desktopPath) {
    m_documents = AddFolderItem(m_top, GetLastPathComponent(m_documentsPath), kDocuments, kTreeFolder);
    if (HasSubfolder(m_documentsPath)) AddFolderItem(m_documents, "", kPlaceholder, kTreeFolder);
  }
  m_myComputer = AddFolderItem(m_top, "My Computer", kMyComputer, kTreeMyComputer);
  ReadSubfolders(m_top);
  // The mounted volumes, "/" first.
  QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
  std::stable_sort(volumes.begin(), volumes.end(),
                   [](const QStorageInfo& a, const QStorageInfo& b) { return a.isRoot() && !b.isRoot(); });
  for (const QStorageInfo& volume : volumes) {
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) continue;
    const std::string root = volume.rootPath().toStdString();
    if (root.rfind("/proc", 0) == 0 || root.rfind("/sys", 0) == 0 || root.rfind("/dev", 0) == 0) continue;
    const QString label = volume.displayName() == volume.rootPath() ? QString() : volume.displayName();
    const std::string text = label.isEmpty() ? root : label.toStdString() + " (" + root + ")";
    QTreeWidgetItem* drive = AddFolderItem(m_myComputer, text, kDrive, DriveImage(volume), root);
    if (HasSubfolder(root)) AddFolderItem(drive, "", kPlaceholder, kTreeFolder);
  }
  setCurrentItem(m_myComputer);
  m_myComputer->setExpanded(true);
  m_top->setExpanded(true);
}

std::string CTreeLocal::GetItemPath(const QTreeWidgetItem* item) const {
  if (item == nullptr) return {};
  switch (Kind(item)) {
    case kTop: return m_desktopPath;
    case kDocuments: return m_documentsPath;
    case kMyComputer: return kMyComputerPath;
    case kDrive: return AddTrailingBackslash(item->data(0, kPathRole).toString().toStdString());
    default: break;
  }
  return JoinPcPath(GetItemPath(item->parent()), Text(item));
}

void CTreeLocal::ReadSubfolders(QTreeWidgetItem* item) {
  const std::string path = GetItemPath(item);
  std::error_code ec;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name == "." || name == ".." || !it->is_directory(ec)) continue;
    QTreeWidgetItem* child = AddFolderItem(item, name, kFolder, kTreeFolder);
    if (!it->is_symlink(ec) && HasSubfolder(it->path().string())) AddFolderItem(child, "", kPlaceholder, kTreeFolder);
  }
}

void CTreeLocal::RemoveChildren(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  for (int i = item->childCount() - 1; i >= 0; --i) {
    QTreeWidgetItem* child = item->child(i);
    if (child == m_myComputer) continue;
    if (child == m_documents) m_documents = nullptr;
    delete item->takeChild(i);
  }
}

void CTreeLocal::RefreshChildren(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const QSignalBlocker block(this);  // the rebuild below must not rebuild again
  RemoveChildren(item);
  ReadSubfolders(item);
  item->setExpanded(false);
  item->setExpanded(true);
  UpdateSelectedImages();
}

void CTreeLocal::OnExpandedOrCollapsed(QTreeWidgetItem* item) {
  if (item == m_top || item == m_myComputer) return;
  CWaitCursor wait;
  bool currentInside = false;
  {
    const QSignalBlocker block(this);
    const bool expanded = item->isExpanded();
    QTreeWidgetItem* current = currentItem();
    currentInside = current != nullptr && current != item && [&] {
      for (QTreeWidgetItem* p = current->parent(); p; p = p->parent()) {
        if (p == item) return true;
      }
      return false;
    }();
    RemoveChildren(item);
    ReadSubfolders(item);
    if (currentInside) setCurrentItem(item);
    item->setExpanded(expanded);
    UpdateSelectedImages();
  }
  // The list and the path strip must follow the selection.
  if (currentInside) emit selectionMovedUp();
}

CTreeRemote::CTreeRemote(QWidget* parent) : CTreePane(parent) { setObjectName(QString::number(IDC)); }

void CTreeRemote::Init() {
  clear();
  m_root = new QTreeWidgetItem(this, QStringList{"/"});  // owned by the tree
  m_root->setData(0, kImageRole, kTreeFolder);
  m_root->setData(0, kSelectedImageRole, kTreeFolder);
  m_root->setIcon(0, TreeIcon(kTreeFolder));
  setCurrentItem(m_root);
}

std::string CTreeRemote::GetItemPath(const QTreeWidgetItem* item) const {
  if (item == nullptr) return {};
  if (item == m_root) return "/";
  std::string parent = GetItemPath(item->parent());
  if (parent.empty() || parent.back() != '/') parent += '/';
  return parent + Text(item);
}

void CTreeRemote::RemoveChildren(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  while (item->childCount() > 0) {
    QTreeWidgetItem* child = item->child(item->childCount() - 1);
    RemoveChildren(child);
    delete item->takeChild(item->childCount() - 1);
  }
}

void CTreeRemote::ReopenParent(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  if (QTreeWidgetItem* parent = item->parent()) {
    parent->setExpanded(false);
    parent->setExpanded(true);
  }
  setCurrentItem(item);
}

// ---- lists

CFileList::CFileList(QWidget* parent, int id, int remoteMode) : QTreeWidget(parent), m_model(remoteMode), m_id(id) {
  setObjectName(QString::number(id));
  setRootIsDecorated(false);
  setColumnCount(4);
  setHeaderLabels(
      {GetText(47), GetText(259), GetText(247), GetText(id == CListRemote::IDC ? (remoteMode == 3 ? 263 : 265) : 260)});
  for (int c = 0; c < 4; ++c) header()->resizeSection(c, c == 0 ? 200 : 100);
  headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
  connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
    m_model.ClickHeading(column);
    Render();
  });
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(false);
  setDragDropMode(QAbstractItemView::DragDrop);
  QPalette p = palette();
  p.setColor(QPalette::Base, Qt::white);
  setPalette(p);
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { m_lastClicked = RowOf(item); });
}

void CFileList::Render() {
  const QSignalBlocker block(this);
  clear();
  m_lastClicked = -1;
  for (const FileRow& row : m_model.Rows()) {
    auto* item = new QTreeWidgetItem(this, QStringList{Q(row.name), Q(row.size), Q(row.type), Q(row.date)});
    item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
    item->setIcon(0, ListIcon(row.image));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

int CFileList::ChosenRow() const {
  QTreeWidgetItem* item = currentItem();
  if (item == nullptr || !item->isSelected()) return -1;
  return RowOf(item);
}

std::vector<int> CFileList::SelectedRows() const {
  std::vector<int> rows;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (topLevelItem(i)->isSelected()) rows.push_back(i);
  }
  return rows;
}

const FileRow* CFileList::RowAt(int row) const {
  if (row < 0 || row >= static_cast<int>(m_model.Rows().size())) return nullptr;
  return &m_model.Rows()[static_cast<std::size_t>(row)];
}

void CFileList::SelectRowByName(const std::string& name) {
  const int row = m_model.Find(name);
  if (row < 0) return;
  clearSelection();
  setCurrentItem(topLevelItem(row));
  topLevelItem(row)->setSelected(true);
  scrollToItem(topLevelItem(row));
}

void CFileList::RemoveRow(int row) {
  if (row < 0 || row >= topLevelItemCount()) return;
  m_model.Rows().erase(m_model.Rows().begin() + row);
  delete takeTopLevelItem(row);
}

std::vector<std::string> CFileList::AllNames() const {
  std::vector<std::string> names;
  for (const FileRow& row : m_model.Rows()) names.push_back(row.name);
  return names;
}

void CFileList::focusInEvent(QFocusEvent* event) {
  QTreeWidget::focusInEvent(event);
  emit focused();
}

void CFileList::startDrag(Qt::DropActions) {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  auto* mime = new QMimeData;  // owned by the drag
  mime->setData(kDragMime, QByteArray::number(m_id));
  QDrag drag(this);
  drag.setMimeData(mime);
  const QIcon icon = rows.size() == 1 ? ListIcon(RowAt(rows[0])->image) : LoadSvgIcon(20135, {16, 16});
  drag.setPixmap(icon.pixmap(16, 16));
  drag.setHotSpot(QPoint(16, 8));
  drag.exec(Qt::CopyAction);
}

bool CFileList::FromOtherList(const QMimeData* data) const {
  return data != nullptr && data->hasFormat(kDragMime) && data->data(kDragMime).toInt() != m_id;
}

void CFileList::dragEnterEvent(QDragEnterEvent* event) {
  if (FromOtherList(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CFileList::dragMoveEvent(QDragMoveEvent* event) {
  if (FromOtherList(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CFileList::dropEvent(QDropEvent* event) {
  if (!FromOtherList(event->mimeData())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit droppedFromOther();
}

void CListLocal::Fill(const std::string& folder) {
  SetFolder(folder);
  Model().FillLocal(folder);
  Render();
}

void CListRemote::AddEntry(const std::string& name, bool isFile, std::int64_t size, std::int64_t time) {
  Model().AddEntry(name, isFile, size, time);
  auto* item = new QTreeWidgetItem(this);  // owned by the list
  const FileRow& row = Model().Rows().back();
  item->setText(0, Q(row.name));
  item->setText(1, Q(row.size));
  item->setText(2, Q(row.type));
  item->setText(3, Q(row.date));
  item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
  item->setIcon(0, ListIcon(row.image));
  item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace vantrel::ui
