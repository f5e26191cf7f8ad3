// The channel editor's drags between and inside its lists, and the receiver
// exchange ("Load from PVR", "Send to PVR") with its progress dialog.
#include <QLabel>
#include <QScrollBar>

#include "core/Prompt.h"
#include "ui/channel/ChannelIcons.h"
#include "ui/channel/ChannelTableModel.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/DlgProgress.h"
#include "ui/channel/DragAutoScroll.h"
#include "ui/channel/EditorListView.h"
#include "ui/channel/FavoriteTree.h"
#include "ui/channel/ViewerStatus.h"
#include "ui/controls/CheckST.h"
#include "ui/controls/Resources.h"

namespace vantrel::ui {
namespace {
using channels::FavoriteGroup;
using channels::ServiceKind;

constexpr int kTextLoadFromPvr = 4;
constexpr int kTextAddToFavorite = 9;
constexpr int kTextMoveTo = 125;

bool Inside(QWidget* widget, QPoint globalPos) {
  return widget->isVisible() && widget->rect().contains(widget->mapFromGlobal(globalPos));
}
}  // namespace

bool CDlgChannel::CanStartDrag() const {
  if (IsBusy() || m_editor->IsNumbering() || m_drag != DragSource::None) return false;
  return true;
}

void CDlgChannel::OnDragStarted(DragSource source) {
  CEditorListView* list = source == DragSource::Channels ? m_channelList : m_serviceList;
  const std::size_t selected =
      source == DragSource::Channels ? m_editor->Channels().SelectedCount() : m_editor->Members().SelectedCount();
  if (selected == 0) {
    list->CancelDrag();
    return;
  }
  m_drag = source;
  // The drag image: the row itself for one row, the multi-selection icon for several.
  QPixmap image;
  if (selected == 1) {
    const std::size_t row = source == DragSource::Channels ? m_editor->Channels().SelectedRows().front()
                                                           : m_editor->Members().SelectedRows().front();
    QRect rect = list->visualRect(list->model()->index(static_cast<int>(row), 0));
    rect.setLeft(0);
    rect.setRight(std::min(list->viewport()->width(), 420) - 1);
    image = list->viewport()->grab(rect);
  }
  if (image.isNull()) image = LoadSvgIcon(kIconMultiSelection, {32, 32}).pixmap(32, 32);
  if (!m_dragImage) {
    m_dragImage = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);  // owned by the window
    m_dragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  m_dragImage->setPixmap(image);
  m_dragImage->resize(image.size() / image.devicePixelRatio());
  m_dragImage->setWindowOpacity(0.7);
  m_dragImage->move(QCursor::pos() + QPoint(12, 12));
  m_dragImage->show();
}

void CDlgChannel::OnDragMoved(QPoint globalPos) {
  if (m_drag == DragSource::None) return;
  m_dragPos = globalPos;
  if (m_dragImage) m_dragImage->move(globalPos + QPoint(12, 12));
  // The group under the cursor is highlighted while channels are dragged over the tree.
  QTreeWidgetItem* hovered = nullptr;
  if (m_drag == DragSource::Channels && Inside(m_tree->viewport(), globalPos)) {
    QTreeWidgetItem* item = m_tree->itemAt(m_tree->viewport()->mapFromGlobal(globalPos));
    if (FavoriteGroup* group = CFavoriteTree::GroupOf(item); group != nullptr && m_editor->IsGroupOfCurrentKind(group))
      hovered = item;
  }
  m_tree->SetDropHighlight(hovered);
  // Every movement starts the scrolling anew with a jump of one row.
  m_jump = 1.0;
  m_tick = 0;
  m_scrollTimer.start(kAutoScrollFirstTickMs);
}

void CDlgChannel::OnAutoScrollTick() {
  if (m_drag == DragSource::None) {
    m_scrollTimer.stop();
    return;
  }
  m_scrollTimer.setInterval(kAutoScrollTickMs);
  const bool channels = m_drag == DragSource::Channels;
  CEditorListView* list = channels ? m_channelList : m_serviceList;
  const long long rows = list->model()->rowCount();
  m_jump = GrowJump(m_jump, static_cast<std::size_t>(rows));
  // Scrolling ticks and pauses alternate.
  if ((m_tick++ % 2) != 0 || rows == 0) return;
  const QPoint local = list->viewport()->mapFromGlobal(m_dragPos);
  const int height = list->viewport()->height();
  if (local.x() < 0 || local.x() >= list->viewport()->width()) return;
  const auto& profile = channels ? kChannelListScroll : kServiceListScroll;
  const long long first = list->FirstVisibleRow();
  long long target = -1;
  if (local.y() < kAutoScrollTopZone) {
    target = UpStepRow(first, m_jump, profile);
  } else if (local.y() > height - kAutoScrollBottomZone) {
    target = DownStepRow(first, list->RowsPerPage(), m_jump, rows, profile);
  }
  if (target >= 0) list->scrollTo(list->model()->index(static_cast<int>(target), 0));
}

void CDlgChannel::OnDragReleased(QPoint globalPos) {
  if (m_drag == DragSource::None) return;
  PendingDrop drop;
  drop.source = m_drag;
  if (Inside(m_serviceList->viewport(), globalPos)) {
    drop.target = PendingDrop::Target::Services;
    drop.row = m_serviceList->RowAt(m_serviceList->viewport()->mapFromGlobal(globalPos));
  } else if (Inside(m_channelList->viewport(), globalPos)) {
    drop.target = PendingDrop::Target::Channels;
    drop.row = m_channelList->RowAt(m_channelList->viewport()->mapFromGlobal(globalPos));
  } else if (Inside(m_tree->viewport(), globalPos)) {
    drop.target = PendingDrop::Target::Tree;
    drop.group = CFavoriteTree::GroupOf(m_tree->DropHighlight());
  }
  m_pendingDrop = drop;
  EndDrag();
  m_dropTimer.start(kDropDelayMs);
}

void CDlgChannel::EndDrag() {
  m_drag = DragSource::None;
  m_scrollTimer.stop();
  m_channelList->CancelDrag();
  m_serviceList->CancelDrag();
  if (m_dragImage) m_dragImage->hide();
}

void CDlgChannel::PerformDrop() {
  const PendingDrop drop = m_pendingDrop;
  m_pendingDrop = {};
  m_tree->SetDropHighlight(nullptr);
  if (IsBusy()) return;
  using Target = PendingDrop::Target;
  // Channels dropped on the service list or the tree join a group ("Add to
  // Favorite"); a drop inside a list moves the rows ("Move to").
  const bool intoGroup = drop.source == DragSource::Channels && drop.target != Target::Channels;
  RunStep(intoGroup ? kTextAddToFavorite : kTextMoveTo, [this, &drop] {
    PerformDropNow(drop);
    return true;
  });
}

void CDlgChannel::PerformDropNow(const PendingDrop& drop) {
  auto& editor = *m_editor;
  using Target = PendingDrop::Target;
  if (drop.target == Target::Services && drop.source == DragSource::Channels) {
    if (FavoriteGroup* group = editor.Tree().SelectedGroup()) {
      editor.AddToFavoriteGroup(group);
      editor.RefreshServiceView();
      RefreshServiceList();
      ShowServiceCaptionDefault();
    }
  } else if (drop.target == Target::Services && drop.source == DragSource::Services) {
    if (drop.row >= 0 && editor.ReorderGroupMembers(static_cast<std::size_t>(drop.row))) RefreshServiceList();
  } else if (drop.target == Target::Channels && drop.source == DragSource::Channels) {
    if (drop.row >= 0 && !editor.Channels().IsSelected(static_cast<std::size_t>(drop.row))) {
      if (editor.MoveChannelsAfterRow(static_cast<std::size_t>(drop.row))) editor.Renumber();
      RefreshChannelList();
      RefreshServiceList();
    }
  } else if (drop.target == Target::Tree && drop.source == DragSource::Channels && drop.group != nullptr) {
    // The tracked group takes the channels and becomes the selected item.
    if (editor.IsGroupOfCurrentKind(drop.group)) {
      editor.AddToFavoriteGroup(drop.group);
      editor.Tree().SelectGroup(drop.group);
      RebuildTree();
      ShowSelectedTreeItem();
    }
  }
}

// ---------------------------------------------------------------- receiver exchange

void CDlgChannel::SetExchangeOptions(const channels::CChannelExchange::Options& options) {
  m_exchangeOptions = options;
  if (m_exchange && !m_exchange->IsRunning()) m_exchange.reset();
}

void CDlgChannel::ShowProgress() {
  m_progress->Reset();
  m_progress->EnableCancel(false);
  m_progress->SetRange(0, 100);
  m_progress->SetPos(0);
  m_progress->SetName(m_exchange->StepText());
  m_progress->adjustSize();
  const QRect frame = geometry();
  m_progress->move(frame.center() - QPoint(m_progress->width() / 2, m_progress->height() / 2));
  m_progress->show();
  m_exchangeTimer.start();
}

void CDlgChannel::OnLoadFromPvr() {
  if (IsBusy() || !MayDropList()) return;
  if (!m_exchange) m_exchange = std::make_unique<channels::CChannelExchange>(m_exchangeOptions);
  m_loading = true;
  UpdateButtons();
  if (!m_exchange->StartLoad()) {
    m_loading = false;
    UpdateButtons();
    return;
  }
  ShowProgress();
}

void CDlgChannel::OnSendToPvr() {
  if (IsBusy()) return;
  if (!CheckBeforeWriting(true)) return;
  if (!m_exchange) m_exchange = std::make_unique<channels::CChannelExchange>(m_exchangeOptions);
  m_sending = true;
  UpdateButtons();
  const channels::SendStart started = m_exchange->StartSend(*m_list, WriterView());
  // The writer may have sorted and renumbered the list.
  RefreshChannelList();
  RefreshServiceList();
  if (started != channels::SendStart::Started) {
    m_sending = false;
    UpdateButtons();
    return;
  }
  ShowProgress();
}

void CDlgChannel::OnExchangeTick() {
  if (!m_exchange) {
    m_exchangeTimer.stop();
    return;
  }
  m_progress->SetName(m_exchange->StepText());
  m_progress->SetPos(m_exchange->Position());
  // A load's list replaces the editor's: never while a command (a menu, a
  // question, a dialog) still works on the old one; the next tick tries again.
  if (m_exchange->IsFinished() && m_commandDepth == 0) {
    m_exchangeTimer.stop();
    FinishExchange();
  }
}

void CDlgChannel::FinishExchange() {
  channels::ExchangeResult result = m_exchange->Finish();
  m_progress->SetName(m_exchange->StepText());
  m_progress->SetPos(m_exchange->Position());
  m_progress->ApplyPending();
  if (result.kind == channels::ExchangeKind::Load && result.ok && result.list) {
    // Undo returns to the list shown before the load.
    RunStep(kTextLoadFromPvr, [this, &result] {
      AdoptList(std::move(result.list));
      m_editor->SetModified(false);
      return true;
    });
    RefreshAll();
    ShowChannelCaptionDefault();
    ShowServiceCaptionDefault();
    SetTitleFor({});
  }
  // The receiver holds the list now.
  if (result.kind == channels::ExchangeKind::Send && result.ok) m_editor->SetModified(false);
  m_loading = false;
  m_sending = false;
  QTimer::singleShot(result.ok ? channels::kFinalPauseMs : 0, m_progress, &QWidget::hide);
  UpdateButtons();
}

}  // namespace vantrel::ui
