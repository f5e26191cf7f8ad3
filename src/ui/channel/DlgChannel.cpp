#include "ui/channel/DlgChannel.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "channels/ChannelColumns.h"
#include "channels/EditorTexts.h"
#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/TextTable.h"
#include "ui/channel/ChannelIcons.h"
#include "ui/channel/ChannelTableModel.h"
#include "ui/channel/DlgProgress.h"
#include "ui/channel/EditorListView.h"
#include "ui/channel/FavoriteTree.h"
#include "ui/channel/SplitterBarChannel.h"
#include "ui/channel/ViewerStatus.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/CheckST.h"
#include "ui/controls/Resources.h"

namespace vantrel::ui {
namespace {

using channels::FavoriteGroup;
using channels::ServiceKind;

constexpr int kTextTitle = 94;
constexpr int kTextTitleFile = 97;
constexpr int kTextFavorite = 281;
constexpr int kTextDetails = 331;
constexpr int kTextServiceChannels = 332;

constexpr int kMargin = 4;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 4;
constexpr int kCaptionHeight = 24;
constexpr int kBarThickness = 5;
constexpr int kSearchEditWidth = 150;
constexpr int kMinimumPane = 120;

QString T(int index) { return QString::fromUtf8(GetText(index)); }

}  // namespace

// The writer's view-dependent steps go to the editor; the title follows a save.
class CDlgChannel::CWriterView final : public channels::IChannelListView {
 public:
  explicit CWriterView(CDlgChannel& window) : m_window(window) {}
  bool SortByNumberAndCheck() override { return m_window.m_editor->SortByNumberAndCheck(); }
  void Renumber() override { m_window.m_editor->Renumber(); }
  std::vector<const FavoriteGroup*> TvNodeGroups(const channels::ChannelList& list) const override {
    return m_window.m_editor->TvNodeGroups(list);
  }
  std::vector<const FavoriteGroup*> RadioNodeGroups(const channels::ChannelList& list) const override {
    return m_window.m_editor->RadioNodeGroups(list);
  }
  // After the file was written: the title follows the list's own file, so
  // the temporary file of "Send to PVR" leaves it as it was.
  void SetWindowTitle(const std::string&) override { m_window.UpdateTitle(); }

 private:
  CDlgChannel& m_window;
};

channels::IChannelListView& CDlgChannel::WriterView() { return *m_writerView; }

CDlgChannel::CDlgChannel(QWidget* parent)
    : CManagerWindow(parent),
      m_list(std::make_unique<channels::ChannelList>()),
      m_editor(std::make_unique<channels::CChannelEditor>(*m_list)),
      m_writerView(std::make_unique<CWriterView>(*this)) {
  setObjectName(QString::number(IDD));
  setWindowTitle(T(kTextTitle));
  setWindowIcon(LoadSvgIcon(kIconChannelWindow, QSize(32, 32)));
  setSizeGripEnabled(true);
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  resize(1200, 760);
  BuildControls();
  BuildEditMenu();
  WireViews();
  WatchModified();
  m_list->SetFilePath({});
  RebuildTree();
  m_treeCaption->Set(T(kTextFavorite), {}, {});
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
  UpdateButtons();

  m_scrollTimer.setSingleShot(false);
  connect(&m_scrollTimer, &QTimer::timeout, this, &CDlgChannel::OnAutoScrollTick);
  m_dropTimer.setSingleShot(true);
  connect(&m_dropTimer, &QTimer::timeout, this, &CDlgChannel::PerformDrop);
  m_exchangeTimer.setInterval(CDlgProgress::kRefreshIntervalMs);
  connect(&m_exchangeTimer, &QTimer::timeout, this, &CDlgChannel::OnExchangeTick);
  // Keys and mouse buttons are looked at before any control sees them.
  qApp->installEventFilter(this);
}

CDlgChannel::~CDlgChannel() {
  qApp->removeEventFilter(this);
  m_exchange.reset();  // joins a running worker before the list goes
  // The widgets outlive the members they show (QObject children go last).
  m_scrollTimer.stop();
  m_dropTimer.stop();
  m_channelModel->SetView(nullptr);
  m_serviceModel->SetView(nullptr);
  m_tree->SetDropHighlight(nullptr);
  m_tree->clear();
  if (m_dragImage) delete m_dragImage.data();
}

void CDlgChannel::BuildControls() {
  const std::pair<int, int> buttons[] = {
      {IDC_OPEN, 1},         {IDC_SAVE, 2},      {IDC_SAVE_AS, 3},
      {IDC_LOAD_PVR, 4},     {IDC_SEND_PVR, 5},  {IDC_CREATE_FAVORITE, 8},
      {IDC_ADD_FAVORITE, 9}, {IDC_DELETE, 11},   {IDC_RENUMBERING, 10},
      {IDC_SAT_TP, 7},       {IDC_RESTORE, 364},
  };
  for (const auto& [id, text] : buttons) {
    auto* button = new CButtonST(this);
    button->setObjectName(QString::number(id));
    button->setText(T(text));
    button->SetFlat(false);
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QAbstractButton::clicked, this, [this, id = id] { RunCommand(id); });
    m_buttons[id] = button;
  }
  m_tvRadio = new CCheckST(this);
  m_tvRadio->setObjectName(QString::number(IDC_TV_RADIO));
  m_tvRadio->setText(T(330));
  // The check button draws pictures only: each carries the kind's icon and the caption.
  const auto picture = [this](int iconId) {
    const QString text = T(330);
    const QFontMetrics metrics(m_tvRadio->font());
    QPixmap pixmap(16 + 6 + metrics.horizontalAdvance(text) + 2, std::max(18, metrics.height() + 2));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    LoadSvgIcon(iconId, {16, 16}).paint(&painter, QRect(0, (pixmap.height() - 16) / 2, 16, 16));
    painter.setFont(m_tvRadio->font());
    painter.setPen(m_tvRadio->palette().buttonText().color());
    painter.drawText(QRect(22, 0, pixmap.width() - 22, pixmap.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
    return pixmap;
  };
  m_tvRadio->SetBitmaps(picture(kIconRadioService), picture(kIconTvService));
  m_tvRadio->setFocusPolicy(Qt::TabFocus);
  connect(m_tvRadio, &QAbstractButton::clicked, this, [this] { RunCommand(IDC_TV_RADIO); });
  m_buttons[IDC_TV_RADIO] = m_tvRadio;

  m_searchEdit = new QLineEdit(this);
  m_searchEdit->setObjectName(QString::number(IDC_SEARCH_EDIT));
  m_searchButton = new CButtonST(this);
  m_searchButton->setObjectName(QString::number(IDC_SEARCH));
  m_searchButton->SetIcon(LoadSvgIcon(kIconSearch, {16, 16}), QSize(16, 16));
  m_searchButton->SetFlat(false);
  connect(m_searchButton, &QAbstractButton::clicked, this, [this] { RunCommand(IDC_SEARCH); });

  m_treeCaption = new CViewerStatus(IDC_TREE_CAPTION, this);
  m_channelCaption = new CViewerStatus(IDC_CHANNEL_CAPTION, this);
  m_serviceCaption = new CViewerStatus(IDC_SERVICE_CAPTION, this);

  m_tree = new CFavoriteTree(IDC_FAVORITE_TREE, this);
  m_channelList = new CEditorListView(IDC_CHANNEL_LIST, this);
  m_serviceList = new CEditorListView(IDC_SERVICE_LIST, this);
  m_channelModel = new CChannelTableModel(&m_editor->Channels(), this);
  m_serviceModel = new CServiceTableModel(&m_editor->Members(), this);
  m_channelList->setModel(m_channelModel);
  m_serviceList->setModel(m_serviceModel);
  // The columns' widths, widened where this font would clip a header.
  const auto widthsOf = [](const auto& columns, const QFontMetrics& metrics) {
    std::vector<int> widths;
    for (const auto& c : columns) {
      const int needed = metrics.horizontalAdvance(QString::fromStdString(channels::HeaderText(c))) + 14;
      widths.push_back(std::max(c.width, needed));
    }
    return widths;
  };
  m_channelList->SetColumnWidths(widthsOf(channels::ChannelColumns(), m_channelList->header()->fontMetrics()));
  m_serviceList->SetColumnWidths(widthsOf(channels::MemberColumns(), m_serviceList->header()->fontMetrics()));
  for (QWidget* w :
       {static_cast<QWidget*>(m_tree), static_cast<QWidget*>(m_channelList), static_cast<QWidget*>(m_serviceList)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, Qt::white);
    w->setPalette(p);
  }

  m_vbar = new CSplitterBarChannel(Qt::Vertical, IDC_SPLITTER_VERTICAL, this);
  m_hbar = new CSplitterBarChannel(Qt::Horizontal, IDC_SPLITTER_HORIZONTAL, this);
  connect(m_vbar, &CSplitterBarChannel::moved, this, [this](int x) {
    m_barX = x;
    LayoutControls();
  });
  connect(m_hbar, &CSplitterBarChannel::moved, this, [this](int y) {
    m_barY = y;
    LayoutControls();
  });

  m_progress = new CDlgProgress(this);
  m_progress->hide();
}

void CDlgChannel::BuildEditMenu() {
  m_menuBar = new QMenuBar(this);
  QMenu* edit = m_menuBar->addMenu(T(channels::kTextEditMenu));
  edit->setObjectName(QString::number(ID_EDIT_MENU));
  const auto add = [&](int id, const QList<QKeySequence>& keys) {
    QAction* action = edit->addAction(QString());
    action->setObjectName(QString::number(id));
    action->setData(id);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
  };
  m_undoAction = add(ID_UNDO, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
  m_redoAction = add(ID_REDO, {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  connect(edit, &QMenu::aboutToShow, this, &CDlgChannel::UpdateEditActions);
  connect(&m_editor->History(), &QUndoStack::indexChanged, this, &CDlgChannel::UpdateEditActions);
  UpdateEditActions();
}

void CDlgChannel::UpdateEditActions() {
  const bool idle = !IsBusy() && !m_labelEditing;
  m_undoAction->setText(QString::fromStdString(m_editor->UndoMenuText()));
  m_redoAction->setText(QString::fromStdString(m_editor->RedoMenuText()));
  m_undoAction->setEnabled(idle && m_editor->CanUndo());
  m_redoAction->setEnabled(idle && m_editor->CanRedo());
}

void CDlgChannel::WireViews() {
  m_channelList->SetDragStartCheck([this] { return CanStartDrag(); });
  m_serviceList->SetDragStartCheck([this] { return CanStartDrag(); });
  connect(m_channelList, &CEditorListView::rowClicked, this, &CDlgChannel::OnChannelClicked);
  connect(m_channelList, &CEditorListView::rowDoubleClicked, this, &CDlgChannel::OnChannelDoubleClicked);
  connect(m_channelList, &CEditorListView::rowRightClicked, this, &CDlgChannel::OnChannelRightClicked);
  connect(m_channelList, &CEditorListView::gotFocus, this, [this] { m_lastFocused = FocusedView::Channels; });
  connect(m_channelList, &CEditorListView::dragStarted, this, [this] { OnDragStarted(DragSource::Channels); });
  connect(m_channelList, &CEditorListView::dragMoved, this, &CDlgChannel::OnDragMoved);
  connect(m_channelList, &CEditorListView::dragReleased, this, &CDlgChannel::OnDragReleased);
  connect(m_channelList->header(), &QHeaderView::sectionClicked, this, &CDlgChannel::OnHeaderClicked);

  connect(m_serviceList, &CEditorListView::rowClicked, this, &CDlgChannel::OnServiceClicked);
  connect(m_serviceList, &CEditorListView::rowRightClicked, this, &CDlgChannel::OnServiceRightClicked);
  connect(m_serviceList, &CEditorListView::gotFocus, this, [this] { m_lastFocused = FocusedView::Services; });
  connect(m_serviceList, &CEditorListView::dragStarted, this, [this] { OnDragStarted(DragSource::Services); });
  connect(m_serviceList, &CEditorListView::dragMoved, this, &CDlgChannel::OnDragMoved);
  connect(m_serviceList, &CEditorListView::dragReleased, this, &CDlgChannel::OnDragReleased);

  // The user's selection goes into the view-models the operations read.
  connect(m_channelList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            if (m_syncing) return;
            auto& view = m_editor->Channels();
            for (const auto& r : deselected)
              for (int row = r.top(); row <= r.bottom(); ++row) view.SetSelected(static_cast<std::size_t>(row), false);
            for (const auto& r : selected)
              for (int row = r.top(); row <= r.bottom(); ++row) view.SetSelected(static_cast<std::size_t>(row), true);
          });
  connect(m_serviceList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            if (m_syncing) return;
            auto& view = m_editor->Members();
            for (const auto& r : deselected)
              for (int row = r.top(); row <= r.bottom(); ++row) view.SetSelected(static_cast<std::size_t>(row), false);
            for (const auto& r : selected)
              for (int row = r.top(); row <= r.bottom(); ++row) view.SetSelected(static_cast<std::size_t>(row), true);
          });

  connect(m_tree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnTreeCurrentChanged(current); });
  connect(m_tree, &CFavoriteTree::gotFocus, this, [this] { m_lastFocused = FocusedView::Tree; });
  connect(m_tree, &CFavoriteTree::rightClicked, this, &CDlgChannel::OnTreeRightClicked);
  connect(m_tree, &CFavoriteTree::labelEditStarted, this, [this](QTreeWidgetItem* item) {
    m_labelEditing = true;
    m_editor->Tree().StartLabelEdit(CFavoriteTree::GroupOf(item));
    UpdateEditActions();
  });
  connect(m_tree, &CFavoriteTree::renameRequested, this, &CDlgChannel::OnRenameRequested);
  connect(m_tree->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
    m_labelEditing = false;
    // Closed without a commit (Escape): the editing is over. After a refused
    // name it starts again (OnRenameRequested).
    if (!m_renameCommitted) m_editor->Tree().EndLabelEdit();
    m_renameCommitted = false;
    UpdateEditActions();
  });
}

// ---------------------------------------------------------------- layout

int CDlgChannel::LayoutButtons() {
  const int order[] = {IDC_OPEN,         IDC_SAVE,   IDC_SAVE_AS,     IDC_LOAD_PVR, IDC_SEND_PVR, IDC_CREATE_FAVORITE,
                       IDC_ADD_FAVORITE, IDC_DELETE, IDC_RENUMBERING, IDC_SAT_TP,   IDC_RESTORE,  IDC_TV_RADIO};
  const int right = width() - kMargin;
  const int menuHeight = m_menuBar->sizeHint().height();
  m_menuBar->setGeometry(0, 0, width(), menuHeight);
  int x = kMargin;
  int y = menuHeight + kMargin;
  const auto place = [&](QWidget* w, int wanted) {
    if (x + wanted > right && x > kMargin) {
      x = kMargin;
      y += kButtonHeight + kButtonGap;
    }
    w->setGeometry(x, y, wanted, kButtonHeight);
    x += wanted + kButtonGap;
  };
  for (int id : order) {
    CButtonST* b = m_buttons[id];
    const int extra = id == IDC_TV_RADIO ? 36 : 18;
    place(b, std::max(64, b->fontMetrics().horizontalAdvance(b->text()) + extra));
  }
  // The search field and its button stay together, right of "TV/Radio".
  if (x + kSearchEditWidth + kButtonHeight + kButtonGap > right) {
    x = kMargin;
    y += kButtonHeight + kButtonGap;
  }
  place(m_searchEdit, kSearchEditWidth);
  place(m_searchButton, kButtonHeight);
  return y + kButtonHeight + 6;
}

void CDlgChannel::LayoutControls() {
  const int top = LayoutButtons();
  const int bottom = height() - kMargin;
  const int right = width() - kMargin;
  const int xMin = kMargin + 200;
  const int xMax = right - 300;
  if (m_barX < 0) m_barX = kMargin + 360;
  m_barX = CSplitterBarChannel::Clamp(m_barX, xMin, xMax);
  const int yMin = top + kCaptionHeight + kMinimumPane / 2;
  const int yMax = bottom - kCaptionHeight - kMinimumPane / 2 - kBarThickness;
  if (m_barY < 0) m_barY = top + (bottom - top) * 2 / 5;
  m_barY = CSplitterBarChannel::Clamp(m_barY, yMin, yMax);

  const int leftWidth = m_barX - kMargin;
  m_treeCaption->setGeometry(kMargin, top, leftWidth, kCaptionHeight);
  m_tree->setGeometry(kMargin, top + kCaptionHeight, leftWidth, m_barY - top - kCaptionHeight);
  m_hbar->setGeometry(kMargin, m_barY, leftWidth, kBarThickness);
  const int lowerTop = m_barY + kBarThickness;
  m_serviceCaption->setGeometry(kMargin, lowerTop, leftWidth, kCaptionHeight);
  m_serviceList->setGeometry(kMargin, lowerTop + kCaptionHeight, leftWidth, bottom - lowerTop - kCaptionHeight);
  m_vbar->setGeometry(m_barX, top, kBarThickness, bottom - top);
  const int rightX = m_barX + kBarThickness;
  m_channelCaption->setGeometry(rightX, top, right - rightX, kCaptionHeight);
  m_channelList->setGeometry(rightX, top + kCaptionHeight, right - rightX, bottom - top - kCaptionHeight);
  m_vbar->SetRange(xMin, xMax);
  m_hbar->SetRange(yMin, yMax);
}

void CDlgChannel::resizeEvent(QResizeEvent* event) {
  CManagerWindow::resizeEvent(event);
  LayoutControls();
}

// ---------------------------------------------------------------- views

void CDlgChannel::RefreshAll() {
  RebuildTree();
  RefreshChannelList();
  RefreshServiceList();
  ShowTreeCaption();
}

void CDlgChannel::RefreshChannelList() {
  m_channelModel->Reset();
  PushChannelSelection();
  UpdateButtons();
}

void CDlgChannel::RefreshServiceList() {
  m_serviceModel->Reset();
  PushServiceSelection();
}

namespace {

template <typename Rows>
QItemSelection SelectionOf(const Rows& rows, const QAbstractItemModel* model) {
  QItemSelection selection;
  const int last = model->columnCount() - 1;
  int start = -1;
  const int n = static_cast<int>(rows.size());
  for (int i = 0; i <= n; ++i) {
    const bool selected = i < n && rows[static_cast<std::size_t>(i)].selected;
    if (selected && start < 0) start = i;
    if (!selected && start >= 0) {
      selection.select(model->index(start, 0), model->index(i - 1, last));
      start = -1;
    }
  }
  return selection;
}

}  // namespace

void CDlgChannel::PushChannelSelection() {
  m_syncing = true;
  m_channelList->selectionModel()->select(SelectionOf(m_editor->Channels().Rows(), m_channelModel),
                                          QItemSelectionModel::ClearAndSelect);
  m_syncing = false;
}

void CDlgChannel::PushServiceSelection() {
  m_syncing = true;
  m_serviceList->selectionModel()->select(SelectionOf(m_editor->Members().Rows(), m_serviceModel),
                                          QItemSelectionModel::ClearAndSelect);
  m_syncing = false;
}

QIcon CDlgChannel::GroupIcon(const FavoriteGroup* group) const {
  if (group == nullptr) return {};
  switch (group->ServiceType) {
    case channels::kFavoriteFastScanTv: return LoadSvgIcon(kIconFastScanTvGroup, {16, 16});
    case channels::kFavoriteFastScanRadio: return LoadSvgIcon(kIconFastScanRadioGroup, {16, 16});
    default: break;
  }
  const auto node = m_editor->Tree().NodeOf(group);
  return LoadSvgIcon(node && *node == ServiceKind::Radio ? kIconRadioGroup : kIconTvGroup, {16, 16});
}

QIcon CDlgChannel::NodeIcon(ServiceKind kind) const {
  return LoadSvgIcon(kind == ServiceKind::Tv ? kIconTvNode : kIconRadioNode, {16, 16});
}

void CDlgChannel::RebuildTree() {
  m_syncing = true;
  m_tree->SetDropHighlight(nullptr);
  m_tree->clear();
  const auto& tree = m_editor->Tree();
  QTreeWidgetItem* selected = nullptr;
  for (ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    auto* node = new QTreeWidgetItem(m_tree, {QString::fromStdString(channels::CGroupTree::NodeText(kind))});
    node->setIcon(0, NodeIcon(kind));
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    node->setData(0, Qt::UserRole, static_cast<int>(kind));
    for (FavoriteGroup* group : tree.Groups(kind)) {
      auto* item = new QTreeWidgetItem(node, {QString::fromStdString(group->Name)});
      item->setIcon(0, GroupIcon(group));
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
      CFavoriteTree::SetGroup(item, group);
      if (tree.SelectedGroup() == group) selected = item;
    }
    node->setExpanded(tree.IsExpanded(kind));
    if (tree.SelectedKind() ==
        (kind == ServiceKind::Tv ? channels::TreeItemKind::TvNode : channels::TreeItemKind::RadioNode))
      selected = node;
  }
  if (selected != nullptr) m_tree->setCurrentItem(selected);
  m_syncing = false;
}

void CDlgChannel::ShowTreeCaption() {
  const auto& tree = m_editor->Tree();
  switch (tree.SelectedKind()) {
    case channels::TreeItemKind::None: m_treeCaption->Set(T(kTextFavorite), {}, {}); break;
    case channels::TreeItemKind::TvNode:
      m_treeCaption->Set(QString::fromStdString(tree.SelectedCaption()), {}, NodeIcon(ServiceKind::Tv));
      break;
    case channels::TreeItemKind::RadioNode:
      m_treeCaption->Set(QString::fromStdString(tree.SelectedCaption()), {}, NodeIcon(ServiceKind::Radio));
      break;
    case channels::TreeItemKind::Group:
      m_treeCaption->Set(QString::fromStdString(tree.SelectedCaption()), {}, GroupIcon(tree.SelectedGroup()));
      break;
  }
}

void CDlgChannel::ShowSelectedTreeItem() {
  m_editor->ShowSelectedTreeItem();
  RefreshServiceList();
  ShowTreeCaption();
  ShowServiceCaptionDefault();
}

void CDlgChannel::OnTreeCurrentChanged(QTreeWidgetItem* item) {
  if (m_syncing || item == nullptr) return;
  auto& tree = m_editor->Tree();
  if (FavoriteGroup* group = CFavoriteTree::GroupOf(item)) {
    tree.SelectGroup(group);
  } else {
    tree.SelectNode(static_cast<ServiceKind>(item->data(0, Qt::UserRole).toInt()));
  }
  ShowSelectedTreeItem();
}

void CDlgChannel::ShowChannelCaptionDefault() {
  m_channelCaption->Set(T(kTextServiceChannels),
                        QString::fromStdString(Format("0/%d", static_cast<int>(m_editor->Channels().RowCount()))), {});
}

void CDlgChannel::ShowChannelRow(int row) {
  const auto& view = m_editor->Channels();
  const channels::Service* service = view.ServiceAt(static_cast<std::size_t>(row));
  if (row < 0 || service == nullptr) return ShowChannelCaptionDefault();
  m_channelCaption->Set(QString::fromStdString(service->Name),
                        QString::fromStdString(Format("%d/%d", row + 1, static_cast<int>(view.RowCount()))),
                        m_channelModel->RowIcon(static_cast<std::size_t>(row)));
}

void CDlgChannel::ShowServiceCaptionDefault() {
  m_serviceCaption->Set(T(kTextDetails),
                        QString::fromStdString(Format("0/%d", static_cast<int>(m_editor->Members().RowCount()))), {});
}

void CDlgChannel::ShowServiceRow(int row) {
  const auto& view = m_editor->Members();
  const channels::Service* member = view.MemberAt(static_cast<std::size_t>(row));
  if (row < 0 || member == nullptr) return ShowServiceCaptionDefault();
  m_serviceCaption->Set(QString::fromStdString(member->Name),
                        QString::fromStdString(Format("%d/%d", row + 1, static_cast<int>(view.RowCount()))),
                        m_serviceModel->RowIcon(static_cast<std::size_t>(row)));
}

void CDlgChannel::SetTitleFor(const std::string& path) {
  QString title = T(kTextTitle);
  if (!path.empty()) {
    const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    title = QString::fromStdString(Format(GetText(kTextTitleFile), name.c_str()));
  }
  if (m_editor->IsModified()) title += QLatin1String(" *");
  setWindowTitle(title);
}

void CDlgChannel::UpdateTitle() { SetTitleFor(m_list->FilePath()); }

void CDlgChannel::WatchModified() {
  m_editor->SetModifiedListener([this](bool) { UpdateTitle(); });
}

void CDlgChannel::AdoptList(std::unique_ptr<channels::ChannelList> list) {
  // No widget may keep showing the old list while it goes. The editor (and
  // its undo history) stays: the fresh content moves into its list.
  m_channelModel->SetView(nullptr);
  m_serviceModel->SetView(nullptr);
  m_tree->SetDropHighlight(nullptr);
  m_tree->clear();
  m_editor->AdoptList(*list);  // list now holds the old content, freed here
  m_channelModel->SetView(&m_editor->Channels());
  m_serviceModel->SetView(&m_editor->Members());
  m_labelEditing = false;
}

void CDlgChannel::StartEditingGroup(FavoriteGroup* group) {
  QTreeWidgetItem* item = m_tree->ItemOf(group);
  if (item == nullptr) return;
  m_tree->setFocus();
  m_tree->StartEditing(item);
}

// ---------------------------------------------------------------- buttons

void CDlgChannel::UpdateButtons() {
  const bool busy = IsBusy();
  const bool hasContent = !m_editor->Channels().Empty() || !m_list->Satellites().empty();
  const bool offline = GetConnectionState().m_mode.load() == MODE_OFFLINE;
  // The numbering mode keeps a half-applied order in the marks until End or
  // Cancel Numbering: nothing may save, send or change the list meanwhile.
  const bool numbering = m_editor->IsNumbering();
  for (auto& [id, button] : m_buttons) {
    bool enabled = !busy && !numbering;
    if (id == IDC_SAVE) enabled = enabled && hasContent && !m_list->FilePath().empty();
    if (id == IDC_SAVE_AS) enabled = enabled && hasContent;
    if (id == IDC_LOAD_PVR || id == IDC_SEND_PVR) enabled = enabled && !offline;
    button->setEnabled(enabled);
  }
  UpdateEditActions();
}

// ---------------------------------------------------------------- keys

bool CDlgChannel::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
  const bool input = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                     type == QEvent::MouseButtonDblClick || type == QEvent::ContextMenu || type == QEvent::DragEnter ||
                     type == QEvent::DragMove || type == QEvent::Drop;
  if (!key && !input) return false;
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Only this window's own widgets (dialogs and message boxes are windows of their own).
  if (widget != this && !isAncestorOf(widget)) return false;
  // While a load or send runs, no click of any button, key, menu or drop
  // reaches a command: the list may be swapped under it when the load ends.
  if (IsBusy()) return true;
  if (type == QEvent::ShortcutOverride) return false;
  return key ? FilterKey(watched, static_cast<QKeyEvent*>(event)) : false;
}

bool CDlgChannel::FilterKey(QObject* watched, QKeyEvent* event) {
  const bool press = event->type() == QEvent::KeyPress;
  const int k = event->key();
  if (k == Qt::Key_Escape || k == Qt::Key_F1) {
    // An open label editor still takes Escape to give up the edit; the window never closes on it.
    return !(m_labelEditing && k == Qt::Key_Escape);
  }
  if (k == Qt::Key_Return || k == Qt::Key_Enter) {
    if (watched == m_searchEdit) {
      if (press) {
        OnSearch();
        m_searchEdit->setFocus();
      }
      return true;
    }
    if (!press && m_labelEditing) {
      // Focus leaving the label editor commits it.
      switch (m_lastFocused) {
        case FocusedView::Tree: m_tree->setFocus(); break;
        case FocusedView::Channels: m_channelList->setFocus(); break;
        case FocusedView::Services: m_serviceList->setFocus(); break;
      }
    }
    return true;
  }
  // The Edit menu's Undo takes Ctrl+Z before it gets here; a text field that
  // keeps Ctrl+Z for itself (the search field) hands the focus to the list.
  if (press && k == Qt::Key_Z && (event->modifiers() & Qt::ControlModifier)) {
    m_channelList->setFocus();
    return true;
  }
  if (!press && (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown)) {
    UpdateCaptionOfFocusedList();
    return false;
  }
  if (!press && k == Qt::Key_Delete && !m_labelEditing && m_buttons[IDC_DELETE]->isEnabled()) {
    if (watched == m_searchEdit) return false;
    OnDelete();
    return true;
  }
  return false;
}

void CDlgChannel::UpdateCaptionOfFocusedList() {
  QWidget* focus = QApplication::focusWidget();
  if (focus == m_channelList) {
    const auto rows = m_editor->Channels().SelectedRows();
    if (!rows.empty()) ShowChannelRow(static_cast<int>(rows.front()));
  } else if (focus == m_serviceList) {
    const auto rows = m_editor->Members().SelectedRows();
    if (!rows.empty()) ShowServiceRow(static_cast<int>(rows.front()));
  }
}

}  // namespace vantrel::ui
