// Moving, deleting, locking and skipping channels, and inserting empty ones.
#include <algorithm>
#include <memory>
#include <unordered_set>

#include "channels/ChannelEditor.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextRearrangeNecessary = 96;
constexpr int kTextDeleteOne = 113;
constexpr int kTextDeleteMany = 114;
constexpr int kTextSortBeforeMove = 122;
constexpr int kTextEmptyChannel = 280;

}  // namespace

bool CChannelEditor::MoveChannels(INumberInput& input) {
  if (m_numbering || m_channels.SelectedCount() == 0) return false;
  if (!CheckNumbering()) {
    if (!AskConfirmText(GetText(kTextSortBeforeMove))) return false;
    m_channels.SortByNumber();
  }
  const NumberRequest request =
      MakeNumberRequest(NumberInputMode::Move, static_cast<int>(m_channels.RowCount()),
                        [this](int position) { return m_channels.IsSelected(static_cast<std::size_t>(position - 1)); });
  const std::optional<int> target = input.AskNumber(request);
  if (!target || !CheckNumberInput(request, *target).empty()) return false;
  return MoveChannelsToNumber(*target);
}

bool CChannelEditor::MoveChannelsToNumber(int target) {
  const std::size_t n = m_channels.RowCount();
  if (m_numbering || target < 1 || static_cast<std::size_t>(target) > n) return false;
  std::vector<ChannelRow> block;
  std::vector<ChannelRow> rest;
  for (const ChannelRow& row : m_channels.Rows()) (row.selected ? block : rest).push_back(row);
  if (block.empty()) return false;
  // A block that would run past the end ends at the last position.
  const std::size_t start = std::min(static_cast<std::size_t>(target), n - block.size() + 1);
  std::vector<ChannelRow> rows;
  rows.reserve(n);
  std::size_t b = 0;
  std::size_t r = 0;
  for (std::size_t position = 1; position <= n; ++position) {
    rows.push_back(position >= start && b < block.size() ? block[b++] : rest[r++]);
  }
  ApplyRowOrder(std::move(rows));
  m_list.ForgetRecentSatellite();
  Renumber();
  return true;
}

bool CChannelEditor::MoveChannelsAfterRow(std::size_t targetRow) {
  if (m_numbering || targetRow >= m_channels.RowCount() || m_channels.IsSelected(targetRow) ||
      m_channels.SelectedCount() == 0) {
    return false;
  }
  if (!CheckNumbering()) {
    if (AskConfirmText(GetText(kTextSortBeforeMove))) {
      m_channels.SortByNumber();
      Renumber();
    }
    return false;
  }
  const auto& current = m_channels.Rows();
  std::vector<ChannelRow> rows;
  rows.reserve(current.size());
  for (std::size_t i = 0; i <= targetRow; ++i) {
    if (!current[i].selected) rows.push_back(current[i]);
  }
  for (const ChannelRow& row : current) {
    if (row.selected) rows.push_back(row);
  }
  for (std::size_t i = targetRow + 1; i < current.size(); ++i) {
    if (!current[i].selected) rows.push_back(current[i]);
  }
  ApplyRowOrder(std::move(rows));
  m_list.ForgetRecentSatellite();
  Renumber();
  return true;
}

bool CChannelEditor::DeleteChannels() {
  if (m_numbering) return false;
  const std::vector<Service*> selected = m_channels.SelectedServices();
  if (selected.empty()) return false;
  const std::string question = selected.size() == 1
                                   ? Format(GetText(kTextDeleteOne), selected.front()->Name.c_str())
                                   : Format(GetText(kTextDeleteMany), static_cast<int>(selected.size()));
  if (!AskConfirmText(question)) return false;
  DeleteServices(std::vector<const Service*>(selected.begin(), selected.end()));
  return true;
}

void CChannelEditor::DeleteServices(const std::vector<const Service*>& services) {
  const ServiceKind hidden = CurrentKind() == ServiceKind::Tv ? ServiceKind::Radio : ServiceKind::Tv;
  const std::size_t hiddenBefore = m_list.Services(hidden).size();
  // No row may point at a freed service or member copy.
  m_members.Clear();
  m_channels.RemoveRows(std::unordered_set<const Service*>(services.begin(), services.end()));
  m_list.RemoveServices(services);
  m_channels.SortByNumber();
  Renumber();
  // Favourites are stored by channel number: a list that is not shown must
  // not keep gaps either.
  if (m_list.Services(hidden).size() != hiddenBefore) RenumberHiddenKind(hidden);
  if (m_searchPosition >= static_cast<long long>(m_channels.RowCount())) m_searchPosition = -1;
  if (!ValidContextRow()) m_contextRow = -1;
}

void CChannelEditor::SetLocked(bool locked) {
  const std::vector<Service*> selected = m_channels.SelectedServices();
  for (Service* s : selected) s->Locked = locked;
  m_list.ForgetRecentSatellite();
  if (!selected.empty()) MarkModified();
}

void CChannelEditor::SetSkipped(bool skipped) {
  const std::vector<Service*> selected = m_channels.SelectedServices();
  for (Service* s : selected) s->Skipped = skipped;
  m_list.ForgetRecentSatellite();
  if (!selected.empty()) MarkModified();
}

bool CChannelEditor::AddEmptyChannel() {
  if (m_numbering || !ValidContextRow()) return false;
  if (!CheckNumbering()) {
    ShowInfoText(GetText(kTextRearrangeNecessary));
    m_channels.SortByNumber();
    Renumber();
    return false;
  }
  const std::size_t row = static_cast<std::size_t>(m_contextRow);
  const Service& model = *m_channels.ServiceAt(row);
  auto service = std::make_unique<Service>();
  service->Name = FitText(GetText(kTextEmptyChannel), kServiceNameSize);
  // The type of the context row's service, which is the kind shown.
  service->ServiceType = CurrentKind() == ServiceKind::Radio ? kServiceTypeRadio : kServiceTypeTv;
  service->Carrier = model.Carrier;
  Service* raw = service.get();
  m_list.AddService(std::move(service));
  m_channels.InsertRow(row, raw);  // the context row moves down
  Renumber();
  return true;
}

}  // namespace vantrel::channels
