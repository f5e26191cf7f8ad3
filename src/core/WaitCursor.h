#pragma once
// The wait cursor shown during long operations on the user-interface thread.
// The window layer installs an indicator; without one the guard does nothing.

namespace vantrel {

class IBusyIndicator {
 public:
  virtual ~IBusyIndicator() = default;
  virtual void Begin() = 0;
  virtual void End() = 0;
};

IBusyIndicator* SetBusyIndicator(IBusyIndicator* indicator);

// RAII: shows the wait cursor for its lifetime; Restore ends it early.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore();

 private:
  IBusyIndicator* m_indicator;
  bool m_active;
};

}  // namespace vantrel
