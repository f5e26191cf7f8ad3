#include "core/TransferProgress.h"

#include <algorithm>
#include <cmath>

#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel {

namespace {

std::string AmountOf(std::int64_t done, std::int64_t total) {
  if (total < 0) return ByteAmountText(done);
  return Format(GetText(kTextBytesOf), ByteAmountText(done).c_str(), ByteAmountText(total).c_str());
}

}  // namespace

std::string DurationText(std::int64_t seconds) {
  seconds = std::max<std::int64_t>(seconds, 0);
  const auto h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (h > 0)
    return Format("%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                  static_cast<long long>(s));
  return Format("%lld:%02lld", static_cast<long long>(m), static_cast<long long>(s));
}

TransferProgressTexts FormatTransferProgress(const TransferProgress& p, double elapsedSeconds) {
  TransferProgressTexts texts;
  if (p.fileIndex > 0) {
    texts.file = p.fileCount >= p.fileIndex ? Format(GetText(kTextFileOfCount), p.fileIndex, p.fileCount)
                                            : Format(GetText(kTextFileNumber), p.fileIndex);
    if (!p.fileName.empty()) texts.file += ": " + p.fileName;
    texts.fileBytes = AmountOf(p.fileDone, p.fileTotal);
  }
  texts.jobBytes = Format(GetText(kTextJobTotal), AmountOf(p.jobDone, p.jobTotal).c_str());
  // No speed and no time left before anything moved or while no time passed:
  // a division there would show an endless or a made-up figure.
  if (p.jobDone <= 0 || !(elapsedSeconds > 0)) return texts;
  const double rate = static_cast<double>(p.jobDone) / elapsedSeconds;
  texts.speed = Format(GetText(kTextSpeed), ByteAmountText(static_cast<std::int64_t>(rate)).c_str());
  const std::int64_t total = p.jobTotal >= 0 ? p.jobTotal : (p.fileCount == 1 ? p.fileTotal : -1);
  if (total >= 0) {
    // A receiver that reported too small a size has nothing left, not a negative time.
    const double left = static_cast<double>(std::max<std::int64_t>(total - p.jobDone, 0)) / rate;
    texts.timeLeft = Format(GetText(kTextTimeLeft), DurationText(static_cast<std::int64_t>(std::ceil(left))).c_str());
  }
  return texts;
}

int ProgressPermille(const TransferProgress& p) {
  const auto part = [](std::int64_t done, std::int64_t total) {
    if (total <= 0) return total == 0 ? 1000 : 0;  // an empty file is whole at once
    return static_cast<int>(std::clamp<std::int64_t>(done * 1000 / total, 0, 1000));
  };
  if (p.jobTotal >= 0) return part(p.jobDone, p.jobTotal);
  return p.fileIndex > 0 && p.fileTotal >= 0 ? part(p.fileDone, p.fileTotal) : 0;
}

void CTransferProgressState::StartJob(int fileCount, std::int64_t jobTotal) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_progress = TransferProgress{};
  m_progress.fileCount = std::max(fileCount, 0);
  m_progress.jobTotal = jobTotal;
  m_jobDoneBefore = 0;
}

void CTransferProgressState::BeginFile(const std::string& name, std::int64_t size) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_jobDoneBefore += m_progress.fileDone;
  ++m_progress.fileIndex;
  m_progress.fileName = name;
  m_progress.fileDone = 0;
  m_progress.fileTotal = size;
  m_progress.jobDone = m_jobDoneBefore;
}

void CTransferProgressState::SetFileDone(std::int64_t done) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_progress.fileDone = done;
  m_progress.jobDone = m_jobDoneBefore + done;
}

TransferProgress CTransferProgressState::Snapshot() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_progress;
}

}  // namespace vantrel
