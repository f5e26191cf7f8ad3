#pragma once
// The receiver's command port as the connection state holds it. The client
// itself lives in the network layer (net/CommandChannel.h), which also gives
// GetConnectedCommandChannel(); core only owns it through this interface.
#include <string>
#include <vector>

namespace vantrel {

class ICommandChannel {
 public:
  virtual ~ICommandChannel() = default;

  virtual bool IsConnected() const = 0;
  // The port GetConnectedCommandChannel connects to.
  virtual int Port() const = 0;
  virtual bool Connect(const std::string& host, int port) = 0;
  // Connect without telling the user: for a worker thread, which must not
  // show a window. On failure *failureText is the index of the text to show.
  virtual bool ConnectSilently(const std::string& host, int port, int* failureText) {
    *failureText = 0;
    return Connect(host, port);
  }

  // Megabytes; 0 after a transport failure, -1 for a reply without a value.
  virtual int GetPartitionSize() = 0;
  virtual int GetFreeMBSize() = 0;
  // kind 1 TV, 2 radio; false when the receiver answered "FALSE" or the exchange failed.
  virtual bool DeleteByKeyList(int kind, const std::vector<int>& keys) = 0;
};

}  // namespace vantrel
