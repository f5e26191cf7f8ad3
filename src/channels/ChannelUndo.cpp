// The channel editor's undo history. Each step keeps a snapshot of the list
// (every record field by field, compressed) before and after one user action,
// and the views around it by position; neighbouring steps share their
// snapshots. Undo and redo rebuild the list from a snapshot and put the views
// back.
#include <QDataStream>
#include <QIODevice>
#include <QUndoCommand>
#include <algorithm>
#include <unordered_map>

#include "channels/ChannelEditor.h"
#include "channels/EditorTexts.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

// zlib level 1: fast, and the snapshots of a 10,000-service list still pack
// about 5:1.
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

// --- the list, field by field (faster and smaller than its channel file,
// and nothing the file leaves out is lost)

QDataStream& operator<<(QDataStream& out, const std::string& text) {
  out.writeBytes(text.data(), static_cast<qsizetype>(text.size()));
  return out;
}

QDataStream& operator>>(QDataStream& in, std::string& text) {
  QByteArray bytes;
  in >> bytes;
  text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return in;
}

void WriteService(QDataStream& out, const Service& s) {
  out << qint32(s.ChannelNo) << s.Name << s.ProviderName << quint8(s.ServiceType) << qint8(s.Scrambled) << qint32(s.Sid)
      << qint32(s.Onid) << qint32(s.Tsid) << qint32(s.Vpid) << qint32(s.Apid) << qint32(s.PCRpid) << s.Locked
      << s.Skipped << s.IsHD << qint32(s.LCNNo);
  const ServiceCarrier& c = s.Carrier;
  out << qint32(c.Longitude) << qint32(c.Band) << qint32(c.Frequency) << qint32(c.SymbolRate) << qint8(c.Pol)
      << qint32(c.FEC);
}

std::unique_ptr<Service> ReadService(QDataStream& in) {
  auto s = std::make_unique<Service>();
  qint32 channelNo, sid, onid, tsid, vpid, apid, pcrPid, lcn, longitude, band, frequency, symbolRate, fec;
  quint8 type;
  qint8 scrambled, pol;
  in >> channelNo >> s->Name >> s->ProviderName >> type >> scrambled >> sid >> onid >> tsid >> vpid >> apid >> pcrPid >>
      s->Locked >> s->Skipped >> s->IsHD >> lcn >> longitude >> band >> frequency >> symbolRate >> pol >> fec;
  s->ChannelNo = channelNo;
  s->ServiceType = type;
  s->Scrambled = scrambled;
  s->Sid = sid;
  s->Onid = onid;
  s->Tsid = tsid;
  s->Vpid = vpid;
  s->Apid = apid;
  s->PCRpid = pcrPid;
  s->LCNNo = lcn;
  s->Carrier = ServiceCarrier{longitude, band, frequency, symbolRate, static_cast<char>(pol), fec};
  return s;
}

void WriteConfiguration(QDataStream& out, const Configuration& c) {
  out << c.Slot << c.Tuner << c.Longitude << c.Band << c.FrequencyLevel << c.DisEqC11 << c.DiSEqC << c.DisEqCRepeat
      << c.MoterType << c.LO1Frequency << c.LO2Frequency << c.BandSwitchFreq << c.MotorizedData << c.IsOneCable
      << c.OneCablePin << c.OneCableMDU << c.OneCableLoFreq1 << c.OneCableLoFreq2 << c.OneCableUBSlot
      << c.OneCableUBFreq << c.USALSLongitude;
}

Configuration ReadConfiguration(QDataStream& in) {
  Configuration c;
  in >> c.Slot >> c.Tuner >> c.Longitude >> c.Band >> c.FrequencyLevel >> c.DisEqC11 >> c.DiSEqC >> c.DisEqCRepeat >>
      c.MoterType >> c.LO1Frequency >> c.LO2Frequency >> c.BandSwitchFreq >> c.MotorizedData >> c.IsOneCable >>
      c.OneCablePin >> c.OneCableMDU >> c.OneCableLoFreq1 >> c.OneCableLoFreq2 >> c.OneCableUBSlot >>
      c.OneCableUBFreq >> c.USALSLongitude;
  return c;
}

void WriteList(QDataStream& out, const ChannelList& list) {
  out << quint32(list.Satellites().size());
  for (const auto& sat : list.Satellites()) {
    out << qint32(sat->SatIndex) << sat->SatName << qint32(sat->Band) << qint32(sat->Longitude)
        << quint32(sat->mTransponder.size());
    for (const auto& t : sat->mTransponder) {
      out << qint32(t->SatIndex) << qint32(t->Frequency) << qint32(t->SymbolRate) << qint32(t->Tsid) << qint32(t->Onid)
          << qint32(t->Nid) << qint8(t->Pol) << qint32(t->FEC);
    }
  }
  out << quint32(list.Configurations().size());
  for (const Configuration& c : list.Configurations()) WriteConfiguration(out, c);
  const TunerConfiguration& tuner = list.Tuner();
  out << qint32(tuner.ConnectType) << qint32(tuner.SignalConfig) << qint32(tuner.Tuner1Type)
      << qint32(tuner.Tuner2Type);
  // Members that reference a service are stored as its list and position.
  std::unordered_map<const Service*, std::pair<qint32, qint32>> where;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& services = list.Services(kind);
    out << quint32(services.size());
    for (std::size_t i = 0; i < services.size(); ++i) {
      WriteService(out, *services[i]);
      where.emplace(services[i].get(), std::make_pair(qint32(static_cast<int>(kind)), qint32(i)));
    }
  }
  for (const auto* groups : {&list.TvFavorites(), &list.RadioFavorites()}) {
    out << quint32(groups->size());
    for (const auto& g : *groups) {
      out << qint32(g->GroupId) << qint32(g->ServiceType) << g->Name << quint32(g->MemberCount());
      for (std::size_t i = 0; i < g->MemberCount(); ++i) {
        const bool owned = g->OwnsMember(i);
        out << owned;
        if (owned) {
          WriteService(out, *g->Member(i));
        } else {
          const auto it = where.find(g->Member(i));
          const auto ref = it != where.end() ? it->second : std::make_pair(qint32(-1), qint32(-1));
          out << ref.first << ref.second;
        }
      }
    }
  }
}

bool ReadList(QDataStream& in, ChannelList& list) {
  quint32 count = 0;
  in >> count;
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    auto sat = std::make_unique<Satellite>();
    qint32 index, band, longitude;
    quint32 transponders = 0;
    in >> index >> sat->SatName >> band >> longitude >> transponders;
    sat->SatIndex = index;
    sat->Band = band;
    sat->Longitude = longitude;
    for (quint32 k = 0; k < transponders && in.status() == QDataStream::Ok; ++k) {
      auto t = std::make_unique<Transponder>();
      qint32 satIndex, frequency, symbolRate, tsid, onid, nid, fec;
      qint8 pol;
      in >> satIndex >> frequency >> symbolRate >> tsid >> onid >> nid >> pol >> fec;
      *t = Transponder{satIndex, frequency, symbolRate, tsid, onid, nid, static_cast<char>(pol), fec};
      sat->mTransponder.push_back(std::move(t));
    }
    list.AddSatellite(std::move(sat));
  }
  in >> count;
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) list.AddConfiguration(ReadConfiguration(in));
  qint32 connectType, signalConfig, tuner1, tuner2;
  in >> connectType >> signalConfig >> tuner1 >> tuner2;
  list.Tuner() = TunerConfiguration{connectType, signalConfig, tuner1, tuner2};
  for (int kind = 0; kind < 2; ++kind) {
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) list.AddService(ReadService(in));
  }
  for (int node = 0; node < 2; ++node) {
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
      qint32 id, type;
      std::string name;
      quint32 members = 0;
      in >> id >> type >> name >> members;
      auto group = std::make_unique<FavoriteGroup>(type, std::move(name), id);
      for (quint32 m = 0; m < members && in.status() == QDataStream::Ok; ++m) {
        bool owned = false;
        in >> owned;
        if (owned) {
          group->AddCopy(ReadService(in));
          continue;
        }
        qint32 kind, position;
        in >> kind >> position;
        Service* service =
            kind == 0 || kind == 1 ? list.ServiceAtPosition(static_cast<ServiceKind>(kind), position + 1) : nullptr;
        if (service != nullptr) group->AddReference(service);
      }
      list.AddFavoriteGroup(std::move(group));
    }
  }
  return in.status() == QDataStream::Ok;
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
  QByteArray raw;
  QDataStream out(&raw, QIODevice::WriteOnly);
  WriteList(out, m_list);
  snapshot->bytes = qCompress(raw, kCompressionLevel);
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
  const QByteArray raw = qUncompress(snapshot.bytes);
  QDataStream in(raw);
  m_list.Clear();
  if (!ReadList(in, m_list)) LogError("undo: a snapshot of the list ended early");
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
