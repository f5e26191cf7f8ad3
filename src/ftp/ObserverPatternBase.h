#pragma once
// An observer's side of an observer registry: the subjects it is attached
// to, in the order it was attached. The subject keeps the other side; the
// sets hold plain pointers and own nothing.
#include <algorithm>
#include <vector>

namespace nsHelper {

template <class TSubject>
class CObserverPatternBase {
 public:
  using TObserverSet = std::vector<TSubject*>;

  CObserverPatternBase() = default;
  // Copies are attached to nothing: attachment belongs to one object.
  CObserverPatternBase(const CObserverPatternBase&) {}
  CObserverPatternBase& operator=(const CObserverPatternBase&) { return *this; }
  virtual ~CObserverPatternBase() = default;

  const TObserverSet& GetSubjects() const { return m_subjects; }
  bool IsAttachedTo(const TSubject* subject) const {
    return std::find(m_subjects.begin(), m_subjects.end(), subject) != m_subjects.end();
  }

  // Bookkeeping only; the subject calls these when it attaches or detaches.
  bool InsertSubject(TSubject* subject) {
    if (IsAttachedTo(subject)) return false;
    m_subjects.push_back(subject);
    return true;
  }
  bool EraseSubject(TSubject* subject) {
    const auto it = std::find(m_subjects.begin(), m_subjects.end(), subject);
    if (it == m_subjects.end()) return false;
    m_subjects.erase(it);
    return true;
  }

 private:
  TObserverSet m_subjects;
};

}  // namespace nsHelper
