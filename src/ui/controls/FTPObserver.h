#pragma once
// Turns an FTP client's transfer notifications into a progress window's
// display: the PC file's name as the label, a bar counted in 2048-byte blocks
// of the file's size, full at the end of each file.
//
// The notifications run on the transferring thread. The display is any type
// with the thread-safe setters of CDlgProgress (SetName, SetRange, SetPos,
// Flush); the window is not owned and must outlive the observer.
//
//   CFTPObserver observer(m_progress);   // a CDlgProgress
//   m_ftp.AddObserver(&observer);
//   ... transfers ...
//   m_ftp.RemoveObserver(&observer);
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "ftp/FTPClient.h"

namespace vantrel::ui {

class CFTPObserver : public nsFTP::CFTPClient::CNotification {
 public:
  static constexpr int kBlockSize = 2048;

  // What the observer drives; thread-safe setters.
  class IDisplay {
   public:
    virtual ~IDisplay() = default;
    virtual void SetName(const std::string& text) = 0;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int position) = 0;
    virtual void Flush() = 0;
  };

  explicit CFTPObserver(std::unique_ptr<IDisplay> display);
  // Any window with CDlgProgress's setters (kept as a template so that the
  // controls library does not depend on the dialogs built on it).
  template <class Window>
  requires(!std::is_convertible_v<Window*, IDisplay*>) explicit CFTPObserver(Window& window)
      : CFTPObserver(std::make_unique<WindowDisplay<Window>>(window)) {}
  ~CFTPObserver() override;

  void NotifyChunkReceived(const char* buffer, int bytes) override;
  void NotifyChunkSent(const char* buffer, int bytes) override;
  void NotifyDownloadBegin(const std::string& remote, const std::string& local, std::int64_t remoteSize) override;
  void NotifyUploadBegin(const std::string& local, const std::string& remote, std::int64_t localSize) override;
  void NotifyDownloadEnd(const std::string& remote, const std::string& local, std::int64_t remoteSize) override;
  void NotifyUploadEnd(const std::string& local, const std::string& remote, std::int64_t localSize) override;

  // The bar's range for a file of that size (at least one block) and its
  // position after that many bytes; exposed for tests.
  static int BlocksFor(std::int64_t fileSize);
  static int PositionFor(std::int64_t bytesDone, std::int64_t fileSize);

  // The size the bar counts for the next file when the receiver reports none
  // (the recordings window knows it from the listing).
  void SetFileSize(std::int64_t size) { m_fileSize = size; }

  std::int64_t BytesDone() const { return m_bytesDone; }
  std::int64_t FileSize() const { return m_fileSize; }

 private:
  template <class Window>
  class WindowDisplay : public IDisplay {
   public:
    explicit WindowDisplay(Window& window) : m_window(window) {}
    void SetName(const std::string& text) override { m_window.SetName(text); }
    void SetRange(int lower, int upper) override { m_window.SetRange(lower, upper); }
    void SetPos(int position) override { m_window.SetPos(position); }
    void Flush() override { m_window.Flush(); }

   private:
    Window& m_window;
  };

  void Begin(const std::string& localPath, std::int64_t size);
  void Chunk(int bytes);
  void End();

  std::int64_t m_bytesDone = 0;
  std::int64_t m_fileSize = -1;  // no size yet
  int m_blocks = 1;
  int m_lastPos = -1;
  std::unique_ptr<IDisplay> m_display;
};

}  // namespace vantrel::ui
