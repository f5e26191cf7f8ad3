#pragma once
// What a file transfer job has done so far, and the texts its progress window
// makes of it. The transferring thread publishes into a CTransferProgressState;
// the window's timer takes a snapshot and formats it with the time elapsed.
#include <cstdint>
#include <mutex>
#include <string>

namespace vantrel {

// The progress window's texts in the text tables.
inline constexpr int kTextFileOfCount = 439;  // "File %d of %d"
inline constexpr int kTextBytesOf = 440;      // "%s of %s"
inline constexpr int kTextJobTotal = 441;     // "Total: %s"
inline constexpr int kTextSpeed = 442;        // "Speed: %s/s"
inline constexpr int kTextTimeLeft = 443;     // "Time left: %s"
inline constexpr int kTextFileNumber = 444;   // "File %d" (the count is not known)

struct TransferProgress {
  int fileIndex = 0;  // 1 for the first file, 0 before it began
  int fileCount = 0;  // 0: not known (folders are walked as they come)
  std::string fileName;
  std::int64_t fileDone = 0;
  std::int64_t fileTotal = -1;  // -1: not known
  std::int64_t jobDone = 0;
  std::int64_t jobTotal = -1;  // -1: not known
};

struct TransferProgressTexts {
  std::string file;       // "File 2 of 5: news.ts"
  std::string fileBytes;  // "1.2 MB of 4.0 MB"
  std::string jobBytes;   // "Total: 10.0 MB of 40.0 MB"
  std::string speed;      // "Speed: 5.1 MB/s", empty before anything moved
  std::string timeLeft;   // "Time left: 0:42", empty while it cannot be told
};

// elapsedSeconds: since the job began; the speed is the job's average.
TransferProgressTexts FormatTransferProgress(const TransferProgress& progress, double elapsedSeconds);
// "0:42", "1:02:03".
std::string DurationText(std::int64_t seconds);
// How full the bar is, 0 to 1000: of the job when its total is known, else of the file.
int ProgressPermille(const TransferProgress& progress);

// The published progress; every member may be called from any thread.
class CTransferProgressState {
 public:
  // A new job: nothing done yet.
  void StartJob(int fileCount, std::int64_t jobTotal);
  // The next file begins; size -1 when not known.
  void BeginFile(const std::string& name, std::int64_t size);
  // Bytes of the current file done so far.
  void SetFileDone(std::int64_t done);
  TransferProgress Snapshot() const;

 private:
  mutable std::mutex m_mutex;
  TransferProgress m_progress;
  std::int64_t m_jobDoneBefore = 0;  // bytes of the files before the current one
};

}  // namespace vantrel
