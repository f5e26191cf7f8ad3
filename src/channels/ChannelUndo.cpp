// The channel editor's undo history. Each step keeps the channel file of the
// list (compressed) before and after one user action, and the views around
// it by position; neighbouring steps share their snapshots. Undo and redo
// read the list back from a snapshot and put the views back.
#include <QDataStream>
#include <QIODevice>
#include <QUndoCommand>
#include <algorithm>
#include <unordered_map>

#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "channels/EditorTexts.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

// zlib level 1: a 10,000-service list packs about 12:1 in a few milliseconds.
constexpr int kCompressionLevel = 1;

void WriteGroupRef(QDataStream& out, const CGroupTree& tree, const FavoriteGroup* group) {
  for (ServiceKind node : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& groups = tree.Groups(node);
    const auto it = std::find(groups.begin(), groups.end(), group);
    if (group != nullptr && it != groups.end()) {
      out << qint32(static_cast<int>(node)) << qint32(it - groups.begin());
      return;
    }
  }
  out << qint32(-1) << qint32(-1);
}

FavoriteGroup* ReadGroupRef(QDataStream& in, const CGroupTree& tree) {
  qint32 node = -1;
  qint32 index = -1;
  in >> node >> index;
  if (node < 0 || node > 1 || index < 0) return nullptr;
  const auto& groups = tree.Groups(static_cast<ServiceKind>(node));
  return static_cast<std::size_t>(index) < groups.size() ? groups[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace

// One user action. The first redo (the push) finds the action already done.
class CChannelEditor::CListStep final : public QUndoCommand {
 public:
  CListStep(CChannelEditor& editor, int nameText, SnapshotPtr before, SnapshotPtr after, QByteArray viewsBefore,
            QByteArray viewsAfter)
      : m_editor(editor),
        m_nameText(nameText),
        m_before(std::move(before)),
        m_after(std::move(after)),
        m_viewsBefore(std::move(viewsBefore)),
        m_viewsAfter(std::move(viewsAfter)) {
    setText(QString::fromUtf8(GetText(nameText)));
  }
  // A copy for a rebuilt history.
  CListStep(const CListStep& other)
      : CListStep(other.m_editor, other.m_nameText, other.m_before, other.m_after, other.m_viewsBefore,
                  other.m_viewsAfter) {}

  void undo() override { m_editor.ApplyStep(m_before, m_viewsBefore, PathChanged()); }
  void redo() override {
    if (m_pushed) m_editor.ApplyStep(m_after, m_viewsAfter, PathChanged());
    m_pushed = true;
  }

  int NameText() const { return m_nameText; }
  std::size_t BeforeBytes() const { return static_cast<std::size_t>(m_before->bytes.size()); }
  // What this step adds to the history: its own snapshot and views.
  std::size_t Bytes() const {
    return static_cast<std::size_t>(m_after->bytes.size() + m_viewsBefore.size() + m_viewsAfter.size()) +
           m_after->path.size() + sizeof(*this) + sizeof(ListSnapshot);
  }

 private:
  // Only Open, "Load from PVR" and Restore change the file path with the
  // list; other steps leave a path chosen by Save As since.
  bool PathChanged() const { return m_before->path != m_after->path; }

  CChannelEditor& m_editor;
  int m_nameText;
  SnapshotPtr m_before;
  SnapshotPtr m_after;
  QByteArray m_viewsBefore;
  QByteArray m_viewsAfter;
  bool m_pushed = false;
};

void CChannelEditor::BeginStep() {
  if (m_stepDepth++ > 0) return;
  // A change made outside any step (or none yet taken): the list as it is
  // now is where this step starts.
  if (!m_current || m_currentChanges != m_changes) {
    m_current = TakeSnapshot();
    m_currentChanges = m_changes;
  }
  m_viewsBefore = CaptureViews();
  m_changesBefore = m_changes;
}

void CChannelEditor::EndStep(int nameText) {
  if (--m_stepDepth > 0) return;
  bool historyMoved = false;
  if (m_changes != m_changesBefore) {
    SnapshotPtr after = TakeSnapshot();
    if (after->bytes != m_current->bytes || after->path != m_current->path) {
      m_history.push(new CListStep(*this, nameText, m_current, after, std::move(m_viewsBefore), CaptureViews()));
      historyMoved = true;
    }
    m_current = std::move(after);
    m_currentChanges = m_changes;
    DropOldestSteps();
  }
  m_viewsBefore.clear();
  if (m_cleanAtEnd) {
    m_cleanAtEnd = false;
    m_history.setClean();
    historyMoved = true;
  }
  if (historyMoved) FollowHistoryClean();
}

CChannelEditor::SnapshotPtr CChannelEditor::TakeSnapshot() const {
  auto snapshot = std::make_shared<ListSnapshot>();
  const std::string bytes = ChannelFileBytes(m_list, *this);
  snapshot->bytes =
      qCompress(reinterpret_cast<const uchar*>(bytes.data()), static_cast<qsizetype>(bytes.size()), kCompressionLevel);
  snapshot->path = m_list.FilePath();
  return snapshot;
}

QByteArray CChannelEditor::CaptureViews() const {
  QByteArray raw;
  QDataStream out(&raw, QIODevice::WriteOnly);
  const ServiceKind kind = CurrentKind();
  out << qint32(static_cast<int>(kind)) << qint32(m_channels.SortColumn()) << m_channels.SortedAscending()
      << m_channels.NextHeaderAscending();
  std::unordered_map<const Service*, qint32> position;
  const auto& services = m_list.Services(kind);
  position.reserve(services.size());
  for (std::size_t i = 0; i < services.size(); ++i) position.emplace(services[i].get(), static_cast<qint32>(i));
  out << quint32(m_channels.RowCount());
  for (const ChannelRow& row : m_channels.Rows()) {
    const auto it = position.find(row.service);
    out << (it != position.end() ? it->second : qint32(-1)) << row.selected;
  }
  out << qint64(m_contextRow) << qint64(m_searchPosition);
  out << qint32(static_cast<int>(m_tree.SelectedKind()));
  WriteGroupRef(out, m_tree, m_tree.SelectedGroup());
  out << m_tree.IsExpanded(ServiceKind::Tv) << m_tree.IsExpanded(ServiceKind::Radio);
  WriteGroupRef(out, m_tree, m_members.Group());
  out << quint32(m_members.RowCount());
  for (const MemberRow& row : m_members.Rows()) out << quint32(row.memberIndex) << row.selected;
  out << qint64(m_topChannelRow) << qint64(m_topServiceRow);
  return qCompress(raw, kCompressionLevel);
}

void CChannelEditor::RestoreList(const ListSnapshot& snapshot, bool withPath) {
  const std::string path = withPath ? snapshot.path : m_list.FilePath();
  const QByteArray bytes = qUncompress(snapshot.bytes);
  m_list.Clear();
  std::string reason;
  if (ReadChannelBuffer(m_list, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                        &reason) != ReadResult::Loaded) {
    LogError("undo: the list could not be read back: %s", reason.c_str());
  }
  m_list.SetFilePath(path);
}

void CChannelEditor::RestoreViews(const QByteArray& views) {
  const QByteArray raw = qUncompress(views);
  QDataStream in(raw);
  qint32 kind = 0, sortColumn = -1;
  bool ascending = true, nextAscending = true;
  in >> kind >> sortColumn >> ascending >> nextAscending;
  const ServiceKind shown = kind == 1 ? ServiceKind::Radio : ServiceKind::Tv;
  m_channels.Fill(shown);
  const auto& services = m_list.Services(shown);
  quint32 count = 0;
  in >> count;
  std::vector<ChannelRow> rows;
  bool rowsValid = count == services.size();
  rows.reserve(rowsValid ? count : 0);
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    qint32 index = -1;
    bool selected = false;
    in >> index >> selected;
    if (index < 0 || static_cast<std::size_t>(index) >= services.size()) rowsValid = false;
    if (rowsValid) rows.push_back(ChannelRow{services[static_cast<std::size_t>(index)].get(), 0, selected});
  }
  if (rowsValid && rows.size() == services.size()) {
    m_channels.SetRows(std::move(rows));
    m_channels.SetSortState(sortColumn, ascending, nextAscending);
  } else {
    m_channels.SortByNumber();
  }
  qint64 contextRow = -1, searchPosition = -1;
  in >> contextRow >> searchPosition;
  const auto rowCount = static_cast<long long>(m_channels.RowCount());
  m_contextRow = contextRow < rowCount ? contextRow : -1;
  m_searchPosition = searchPosition < rowCount ? searchPosition : -1;

  m_tree.Rebuild(m_list);
  qint32 selectedKind = 0;
  in >> selectedKind;
  FavoriteGroup* selectedGroup = ReadGroupRef(in, m_tree);
  bool tvExpanded = true, radioExpanded = true;
  in >> tvExpanded >> radioExpanded;
  m_tree.Expand(ServiceKind::Tv, tvExpanded);
  m_tree.Expand(ServiceKind::Radio, radioExpanded);
  switch (static_cast<TreeItemKind>(selectedKind)) {
    case TreeItemKind::TvNode: m_tree.SelectNode(ServiceKind::Tv); break;
    case TreeItemKind::RadioNode: m_tree.SelectNode(ServiceKind::Radio); break;
    case TreeItemKind::Group:
      if (selectedGroup != nullptr) {
        m_tree.SelectGroup(selectedGroup);
      } else {
        m_tree.SelectFirstTvGroupOrNode();
      }
      break;
    case TreeItemKind::None: m_tree.ClearSelection(); break;
  }

  FavoriteGroup* group = ReadGroupRef(in, m_tree);
  m_members.Fill(group);
  in >> count;
  std::vector<MemberRow> members;
  bool membersValid = group != nullptr && count == group->MemberCount();
  for (quint32 i = 0; i < count && membersValid && in.status() == QDataStream::Ok; ++i) {
    quint32 index = 0;
    bool selected = false;
    in >> index >> selected;
    if (index >= group->MemberCount()) membersValid = false;
    if (membersValid) members.push_back(MemberRow{group->Member(index), index, selected});
  }
  if (membersValid) m_members.SetRows(std::move(members));
  qint64 topChannel = 0, topService = 0;
  in >> topChannel >> topService;
  if (in.status() == QDataStream::Ok) SetTopRows(topChannel, topService);
}

void CChannelEditor::ApplyStep(const SnapshotPtr& list, const QByteArray& views, bool withPath) {
  ClearViews();
  m_numberingStart = 0;
  m_nextNumber = 0;
  RestoreList(*list, withPath);
  RestoreViews(views);
  m_current = list;
  m_currentChanges = m_changes;
}

bool CChannelEditor::Undo() {
  if (!CanUndo() || m_stepDepth > 0) return false;
  LogMessage("Undo %s", m_history.undoText().toUtf8().constData());
  m_history.undo();
  FollowHistoryClean();
  return true;
}

bool CChannelEditor::Redo() {
  if (!CanRedo() || m_stepDepth > 0) return false;
  LogMessage("Redo %s", m_history.redoText().toUtf8().constData());
  m_history.redo();
  FollowHistoryClean();
  return true;
}

std::string CChannelEditor::UndoMenuText() const {
  if (!CanUndo()) return GetText(kTextUndo);
  const auto* step = static_cast<const CListStep*>(m_history.command(m_history.index() - 1));
  return Format(GetText(kTextUndoNamed), GetText(step->NameText()));
}

std::string CChannelEditor::RedoMenuText() const {
  if (!CanRedo()) return GetText(kTextRedo);
  const auto* step = static_cast<const CListStep*>(m_history.command(m_history.index()));
  return Format(GetText(kTextRedoNamed), GetText(step->NameText()));
}

std::size_t CChannelEditor::UndoBytes() const {
  const int n = m_history.count();
  if (n == 0) return 0;
  std::size_t total = static_cast<const CListStep*>(m_history.command(0))->BeforeBytes();
  for (int i = 0; i < n; ++i) total += static_cast<const CListStep*>(m_history.command(i))->Bytes();
  return total;
}

void CChannelEditor::FollowHistoryClean() {
  const bool modified = !m_history.isClean();
  if (m_modified == modified) return;
  m_modified = modified;
  if (m_modifiedListener) m_modifiedListener(modified);
}

void CChannelEditor::DropOldestSteps() {
  // QUndoStack drops its oldest steps by count only (kUndoSteps); the byte
  // budget needs the kept steps pushed onto a fresh history. A push always
  // comes last, so no step waits for a redo here.
  const int n = m_history.count();
  if (n <= 1 || UndoBytes() <= m_undoBudget) return;
  std::size_t total = UndoBytes();
  int drop = 0;
  while (drop < n - 1 && total > m_undoBudget) {
    const auto* oldest = static_cast<const CListStep*>(m_history.command(drop));
    const auto* next = static_cast<const CListStep*>(m_history.command(drop + 1));
    total -= oldest->BeforeBytes() + oldest->Bytes();
    total += next->BeforeBytes();
    ++drop;
  }
  std::vector<std::unique_ptr<CListStep>> kept;
  for (int i = drop; i < n; ++i) {
    kept.push_back(std::make_unique<CListStep>(*static_cast<const CListStep*>(m_history.command(i))));
  }
  const int clean = m_history.cleanIndex();
  LogMessage("undo history: %d oldest step(s) dropped for the memory budget", drop);
  m_history.clear();
  if (clean - drop != 0) m_history.resetClean();
  for (std::size_t i = 0; i < kept.size(); ++i) {
    m_history.push(kept[i].release());
    if (clean >= 0 && clean - drop == static_cast<int>(i) + 1) m_history.setClean();
  }
}

void CChannelEditor::AdoptList(ChannelList& fresh) {
  ClearViews();
  m_list.Swap(fresh);
  MarkModified();
  ShowList();
}

}  // namespace vantrel::channels
