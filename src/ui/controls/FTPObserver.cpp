#include "ui/controls/FTPObserver.h"

#include <cmath>
#include <limits>

#include "core/PathUtil.h"

namespace vantrel::ui {
namespace {

int CeilToInt(float value) {
  const float up = std::ceil(value);
  if (up >= static_cast<float>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(up);
}

}  // namespace

CFTPObserver::CFTPObserver(std::unique_ptr<IDisplay> display) : m_display(std::move(display)) {}

CFTPObserver::~CFTPObserver() = default;

int CFTPObserver::BlocksFor(std::int64_t fileSize) {
  const int blocks = CeilToInt(static_cast<float>(fileSize) / static_cast<float>(kBlockSize));
  return blocks < 1 ? 1 : blocks;
}

int CFTPObserver::PositionFor(std::int64_t bytesDone, std::int64_t fileSize) {
  if (bytesDone == 0 || fileSize == 0) return 0;
  const int position = CeilToInt(static_cast<float>(bytesDone) / static_cast<float>(kBlockSize));
  return position < 0 ? 0 : position;
}

void CFTPObserver::Begin(const std::string& localPath, std::int64_t size) {
  m_display->SetName(GetLastPathComponent(localPath));
  // A file whose size the receiver did not report keeps the previous range.
  if (size > 0) m_fileSize = size;
  m_bytesDone = 0;
  m_blocks = BlocksFor(m_fileSize);
  m_lastPos = 0;
  m_display->SetRange(0, m_blocks);
  m_display->SetPos(0);
  m_display->Flush();
}

void CFTPObserver::Chunk(int bytes) {
  m_bytesDone += bytes;
  const int position = PositionFor(m_bytesDone, m_fileSize);
  // Once per chunk: only a changed position reaches the window.
  if (position == m_lastPos) return;
  m_lastPos = position;
  m_display->SetPos(position);
}

void CFTPObserver::End() {
  m_lastPos = m_blocks;
  m_display->SetPos(m_blocks);
  m_display->Flush();
}

void CFTPObserver::NotifyChunkReceived(const char* /*buffer*/, int bytes) { Chunk(bytes); }
void CFTPObserver::NotifyChunkSent(const char* /*buffer*/, int bytes) { Chunk(bytes); }

void CFTPObserver::NotifyDownloadBegin(const std::string& /*remote*/, const std::string& local,
                                       std::int64_t remoteSize) {
  Begin(local, remoteSize);
}

void CFTPObserver::NotifyUploadBegin(const std::string& local, const std::string& /*remote*/, std::int64_t localSize) {
  Begin(local, localSize);
}

void CFTPObserver::NotifyDownloadEnd(const std::string&, const std::string&, std::int64_t) { End(); }
void CFTPObserver::NotifyUploadEnd(const std::string&, const std::string&, std::int64_t) { End(); }

}  // namespace vantrel::ui
