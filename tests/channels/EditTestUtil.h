#pragma once
// Helpers of the editing tests: lists built in code, a scripted number
// input, and short readings of the lists and views.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "channels/ChannelEditor.h"
#include "channels/INumberInput.h"

namespace vantrel::channels::test {

// Appends services "<prefix><n>" numbered first..first+count-1 in list order.
inline void AddServices(ChannelList& list, ServiceKind kind, int count, const std::string& prefix = "S",
                        int first = 1) {
  for (int i = 0; i < count; ++i) {
    auto s = std::make_unique<Service>();
    s->ServiceType = kind == ServiceKind::Tv ? kServiceTypeTv : kServiceTypeRadio;
    s->ChannelNo = first + i;
    s->Name = prefix + std::to_string(first + i);
    s->Carrier.Longitude = 192;
    s->Carrier.Frequency = 11000 + i;
    list.AddService(std::move(s));
  }
}

// A FastScan group holding copies of the services with these channel numbers.
inline FavoriteGroup* AddFastScanGroup(ChannelList& list, ServiceKind kind, const std::vector<int>& numbers,
                                       const std::string& name = "FS") {
  auto group =
      std::make_unique<FavoriteGroup>(kind == ServiceKind::Tv ? kFavoriteFastScanTv : kFavoriteFastScanRadio, name, 1);
  int lcn = 100;
  for (const int no : numbers) {
    auto copy = std::make_unique<Service>(*list.ServiceAtPosition(kind, no));
    copy->LCNNo = lcn++;
    group->AddCopy(std::move(copy));
  }
  FavoriteGroup* raw = group.get();
  list.AddFavoriteGroup(std::move(group));
  return raw;
}

inline std::vector<std::string> ListNames(const ChannelList& list, ServiceKind kind) {
  std::vector<std::string> out;
  for (const auto& s : list.Services(kind)) out.push_back(s->Name);
  return out;
}

inline std::vector<int> ListNumbers(const ChannelList& list, ServiceKind kind) {
  std::vector<int> out;
  for (const auto& s : list.Services(kind)) out.push_back(s->ChannelNo);
  return out;
}

inline std::vector<std::string> RowNames(const CChannelView& view) {
  std::vector<std::string> out;
  for (const auto& r : view.Rows()) out.push_back(r.service->Name);
  return out;
}

inline std::vector<std::string> MemberNames(const FavoriteGroup& group) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < group.MemberCount(); ++i) out.push_back(group.Member(i)->Name);
  return out;
}

inline std::vector<int> MemberNumbers(const FavoriteGroup& group) {
  std::vector<int> out;
  for (std::size_t i = 0; i < group.MemberCount(); ++i) out.push_back(group.Member(i)->ChannelNo);
  return out;
}

inline std::vector<int> Iota(int from, int to) {
  std::vector<int> out;
  for (int i = from; i <= to; ++i) out.push_back(i);
  return out;
}

// Selects the rows showing these channel numbers.
inline void SelectNumbers(CChannelView& view, const std::vector<int>& numbers) {
  view.ClearSelection();
  for (std::size_t r = 0; r < view.RowCount(); ++r) {
    for (const int no : numbers) {
      if (view.ServiceAt(r)->ChannelNo == no) view.SetSelected(r, true);
    }
  }
}

inline std::size_t RowOfNumber(const CChannelView& view, int number) {
  for (std::size_t r = 0; r < view.RowCount(); ++r) {
    if (view.ServiceAt(r)->ChannelNo == number) return r;
  }
  ADD_FAILURE() << "no row with number " << number;
  return 0;
}

// Answers number requests from a queue (nullopt = Cancel) and keeps them.
class ScriptedNumberInput final : public INumberInput {
 public:
  void Queue(std::optional<int> answer) { m_answers.push_back(answer); }
  std::optional<int> AskNumber(const NumberRequest& request) override {
    m_requests.push_back(request);
    if (m_answers.empty()) {
      ADD_FAILURE() << "unexpected number request";
      return std::nullopt;
    }
    const auto answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  const std::vector<NumberRequest>& Requests() const { return m_requests; }

 private:
  std::deque<std::optional<int>> m_answers;
  std::vector<NumberRequest> m_requests;
};

}  // namespace vantrel::channels::test
