#pragma once
// The progress window of long operations: a text line (usually the name of
// the file being moved), a gradient bar and Cancel. The channel editor, the
// file manager and the recordings window each own one, created hidden, and
// show and hide it themselves.
//
// Workers call SetName, SetPos, SetRange, Reset and Flush from their own
// thread: the values are stored (atomics, the name under a short lock) and
// the window's timer puts them on the screen about every 100 ms when they
// changed, so a transfer never waits for the window once per chunk. Called on
// the window's own thread they take effect at once.
#include <QDialog>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <string>

class QLabel;
class QPushButton;

namespace vantrel::ui {

class CGradientProgress;

class CDlgProgress : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDD = 10200;
  static constexpr int IDC_PROGRESS_NAME = 10201;
  static constexpr int IDC_PROGRESS_BAR = 10202;
  static constexpr int IDCANCEL = 2;

  // Called on the window's thread when Cancel is pressed, with the owner's
  // context and kCancelValue. It must only request the stop (an abort flag).
  using CancelHandler = void (*)(void* context, int value);
  static constexpr int kCancelValue = -1;
  static constexpr int kRefreshIntervalMs = 100;

  explicit CDlgProgress(QWidget* owner = nullptr);
  ~CDlgProgress() override;

  // --- any thread
  void SetName(const std::string& text);
  void SetPos(int position);
  void SetRange(int lower, int upper);
  // No cancel handler, Cancel enabled, position 0.
  void Reset();
  void SetCancelHandler(CancelHandler handler, void* context);
  void EnableCancel(bool enable);
  // Puts the latest values on the screen without waiting for the next tick
  // (a worker calls it at the end of a file; it does not wait either).
  void Flush();

  // The values as last published by a worker.
  std::string PublishedName() const;
  int PublishedPos() const { return m_pos.load(); }

  // --- the window's thread
  CGradientProgress* Bar() const { return m_bar; }
  QLabel* NameLabel() const { return m_name; }
  QPushButton* CancelButton() const { return m_cancel; }
  // Applies published values now (the timer's work).
  void ApplyPending();

 protected:
  // The Cancel button and Escape.
  void reject() override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void RequestApply();

  QLabel* m_name = nullptr;
  CGradientProgress* m_bar = nullptr;
  QPushButton* m_cancel = nullptr;
  QTimer m_refresh;

  // Published values and the change counter the timer compares.
  std::atomic<int> m_pos{0};
  std::atomic<int> m_lower{0};
  std::atomic<int> m_upper{100};
  std::atomic<int> m_cancelEnable{-1};  // -1 no request, 0 disable, 1 enable
  std::atomic<unsigned> m_changes{0};
  unsigned m_applied = 0;
  mutable std::mutex m_mutex;  // guards the name and the handler
  std::string m_nameText = "NAME ";
  CancelHandler m_cancelHandler = nullptr;
  void* m_cancelContext = nullptr;
};

}  // namespace vantrel::ui
