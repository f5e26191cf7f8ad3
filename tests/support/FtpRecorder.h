#pragma once
// An FTP client observer for tests (header only; users link vantrel_ftp):
// it records every notification as a short text, runs of chunk
// notifications as one entry, and counts chunk bytes.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ftp/FTPClient.h"

namespace vantrel::test {

class FtpRecorder : public nsFTP::CFTPClient::CNotification {
 public:
  std::vector<std::string> events;
  std::vector<std::string> errors;
  std::vector<int> chunkSizes;
  std::atomic<std::int64_t> chunkBytes{0};
  // Called after each chunk with the running byte count (for cancel tests).
  std::function<void(std::int64_t)> onChunk;

  void NotifyError(const std::string& error, const std::string&, unsigned) override {
    errors.push_back(error);
    events.push_back("Error " + error);
  }
  void NotifyReceiveBegin() override { events.push_back("ReceiveBegin"); }
  void NotifyReceiveEnd(std::int64_t total) override { events.push_back("ReceiveEnd " + std::to_string(total)); }
  void NotifyChunkReceived(const char*, int bytes) override { Chunk("ChunkReceived", bytes); }
  void NotifyChunkSent(const char*, int bytes) override { Chunk("ChunkSent", bytes); }
  void NotifyDownloadBegin(const std::string& remote, const std::string& local, std::int64_t size) override {
    events.push_back("DownloadBegin " + remote + " " + local + " " + std::to_string(size));
  }
  void NotifyUploadBegin(const std::string& local, const std::string& remote, std::int64_t size) override {
    events.push_back("UploadBegin " + local + " " + remote + " " + std::to_string(size));
  }
  void NotifyDownloadEnd(const std::string& remote, const std::string& local, std::int64_t size) override {
    events.push_back("DownloadEnd " + remote + " " + local + " " + std::to_string(size));
  }
  void NotifyUploadEnd(const std::string& local, const std::string& remote, std::int64_t size) override {
    events.push_back("UploadEnd " + local + " " + remote + " " + std::to_string(size));
  }
  void NotifyCommand(const nsFTP::CCommand& command, const nsFTP::CArg& arguments) override {
    events.push_back("Command " + command.AsString(arguments));
  }
  void NotifyReply(const nsFTP::CServerReply& reply) override { events.push_back("Reply " + reply.Value()); }

  // The events whose text starts with the prefix, in order.
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& e : events) {
      if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
    }
    return out;
  }
  // The events without commands and replies.
  std::vector<std::string> TransferEvents() const {
    std::vector<std::string> out;
    for (const std::string& e : events) {
      if (e.rfind("Command ", 0) != 0 && e.rfind("Reply ", 0) != 0) out.push_back(e);
    }
    return out;
  }

 private:
  void Chunk(const char* name, int bytes) {
    if (events.empty() || events.back() != name) events.push_back(name);
    chunkSizes.push_back(bytes);
    chunkBytes += bytes;
    if (onChunk) onChunk(chunkBytes);
  }
};

}  // namespace vantrel::test
