#pragma once
// The compact progress window of file transfers (the file manager and the
// recordings window): file i of n with its name, bytes of the file and of the
// job, the speed and the time left, a bar and Cancel.
//
// The transferring thread publishes through Sink() (any thread); the
// window's timer takes a snapshot about every 100 ms and shows it.
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "core/TransferProgress.h"
#include "ftp/FolderTransfer.h"

class QLabel;
class QPushButton;

namespace vantrel::ui {

class CGradientProgress;

// Publishes a CFTPObserver's figures into a progress state it shares, so that
// a job which outlives its window never writes into freed memory.
class CProgressStateSink final : public IProgressSink {
 public:
  explicit CProgressStateSink(std::shared_ptr<CTransferProgressState> state) : m_state(std::move(state)) {}
  void SetName(const std::string&) override {}
  void SetRange(int, int) override {}
  void SetPos(int) override {}
  void BeginFile(const std::string& name, std::int64_t size) override { m_state->BeginFile(name, size); }
  void SetFileDone(std::int64_t bytes) override { m_state->SetFileDone(bytes); }

 private:
  std::shared_ptr<CTransferProgressState> m_state;
};

class CDlgTransferProgress : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDCANCEL = 2;
  static constexpr int kRefreshIntervalMs = 100;
  // Called on the window's thread when Cancel is pressed; it must only request the stop.
  using CancelHandler = void (*)(void* context, int value);
  static constexpr int kCancelValue = -1;

  explicit CDlgTransferProgress(QWidget* owner = nullptr);
  ~CDlgTransferProgress() override;

  // --- the window's thread
  // A new job: fileCount 0 and jobTotal -1 when not known. Clears the figures,
  // enables Cancel with the handler, and starts the clock of the speed.
  void StartJob(int fileCount, std::int64_t jobTotal, CancelHandler handler, void* context);
  // Shows the latest snapshot now (the timer's work).
  void ApplyPending();
  QLabel* FileLabel() const { return m_file; }
  QLabel* FileBytesLabel() const { return m_fileBytes; }
  QLabel* JobBytesLabel() const { return m_jobBytes; }
  QLabel* RateLabel() const { return m_rate; }
  CGradientProgress* Bar() const { return m_bar; }
  QPushButton* CancelButton() const { return m_cancel; }

  // --- any thread
  CTransferProgressState& State() { return *m_state; }
  // The published state, for a job that may outlive the window.
  std::shared_ptr<CTransferProgressState> SharedState() const { return m_state; }
  // The sink a CFTPObserver drives.
  IProgressSink& Sink() { return m_sink; }

 protected:
  void reject() override;  // Cancel and Escape
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QLabel* m_file = nullptr;
  QLabel* m_fileBytes = nullptr;
  QLabel* m_jobBytes = nullptr;
  QLabel* m_rate = nullptr;
  CGradientProgress* m_bar = nullptr;
  QPushButton* m_cancel = nullptr;
  QTimer m_refresh;
  QElapsedTimer m_clock;
  std::shared_ptr<CTransferProgressState> m_state = std::make_shared<CTransferProgressState>();
  CProgressStateSink m_sink{m_state};
  CancelHandler m_cancelHandler = nullptr;
  void* m_cancelContext = nullptr;
};

}  // namespace vantrel::ui
