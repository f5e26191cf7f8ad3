#pragma once
// The progress sink of the FTP transfer observer (vantrel::CFTPObserver) over
// a progress window: any type with the thread-safe setters of CDlgProgress
// (SetName, SetRange, SetPos, Flush). A template, so that the controls do not
// depend on the dialogs built on them. The window is not owned and must
// outlive the sink.
//
//   CWindowProgressSink<CDlgProgress> sink(*m_progress);
//   CFTPObserver observer(sink);
//   m_ftp.AddObserver(&observer);
#include <string>

#include "ftp/FolderTransfer.h"

namespace vantrel::ui {

template <class Window>
class CWindowProgressSink final : public IProgressSink {
 public:
  explicit CWindowProgressSink(Window& window) : m_window(window) {}
  void SetName(const std::string& name) override { m_window.SetName(name); }
  void SetRange(int lower, int upper) override { m_window.SetRange(lower, upper); }
  void SetPos(int position) override { m_window.SetPos(position); }
  void Flush() override { m_window.Flush(); }

 private:
  Window& m_window;
};

}  // namespace vantrel::ui
