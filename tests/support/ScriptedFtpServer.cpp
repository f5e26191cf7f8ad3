#include "support/ScriptedFtpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vantrel::test {
namespace {

constexpr int kWaitMilliseconds = 10000;  // the bound of every wait of the server

sockaddr_in LoopbackAddress(const std::string& address, std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  inet_pton(AF_INET, address.c_str(), &a.sin_addr);
  return a;
}

std::string VerbOf(const std::string& line) {
  std::string verb = line.substr(0, line.find(' '));
  for (char& c : verb) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return verb;
}

}  // namespace

ScriptedFtpServer::Step& ScriptedFtpServer::Step::Reply(const std::string& line) {
  m_actions.push_back({Kind::Reply, line + "\r\n", {}, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::Raw(const std::string& bytes) {
  m_actions.push_back({Kind::Reply, bytes, {}, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::Bytewise(const std::string& bytes) {
  m_actions.push_back({Kind::Bytewise, bytes, {}, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::SendData(const std::string& bytes) {
  m_actions.push_back({Kind::SendData, bytes, {}, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::SendDataFrom(const std::string& source, const std::string& bytes) {
  m_actions.push_back({Kind::SendData, bytes, source, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::ConnectDataFrom(const std::string& source) {
  m_actions.push_back({Kind::ConnectFrom, {}, source, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::ReceiveData() {
  m_actions.push_back({Kind::ReceiveData, {}, {}, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::StreamDataUntilCommand(std::size_t limit) {
  m_actions.push_back({Kind::Stream, {}, {}, limit});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::Trickle(const std::string& bytes,
                                                          std::chrono::milliseconds interval) {
  m_actions.push_back({Kind::Trickle, bytes, {}, static_cast<std::size_t>(interval.count())});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::HoldDataUntilCommand() {
  m_actions.push_back({Kind::Hold, {}, {}, 0});
  return *this;
}
ScriptedFtpServer::Step& ScriptedFtpServer::Step::CloseControl() {
  m_actions.push_back({Kind::CloseControl, {}, {}, 0});
  return *this;
}

ScriptedFtpServer::ScriptedFtpServer(const std::string& address) : m_address(address) {
  if (::pipe2(m_wake, O_CLOEXEC) != 0) Problem("pipe");
  m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in a = LoopbackAddress(address, 0);
  if (::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(m_listen, 4) != 0) {
    Problem(std::string("listen: ") + std::strerror(errno));
  }
  socklen_t length = sizeof a;
  ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &length);
  m_port = ntohs(a.sin_port);
}

ScriptedFtpServer::~ScriptedFtpServer() {
  if (m_wake[1] >= 0) {
    const char stop = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &stop, 1);
  }
  if (m_thread.joinable()) m_thread.join();
  if (m_listen >= 0) ::close(m_listen);
  for (int fd : m_wake) {
    if (fd >= 0) ::close(fd);
  }
}

ScriptedFtpServer::Step& ScriptedFtpServer::On(const std::string& verb) {
  m_steps.emplace_back();
  m_steps.back().m_verb = verb;
  return m_steps.back();
}

ScriptedFtpServer::Step& ScriptedFtpServer::NextConnection() { return On("*"); }

void ScriptedFtpServer::Start() {
  m_thread = std::thread([this] { Run(); });
}

bool ScriptedFtpServer::WaitDone(std::chrono::milliseconds bound) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_doneSignal.wait_for(lock, bound, [this] { return m_done; });
}

std::vector<std::string> ScriptedFtpServer::Commands() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_commands;
}

std::vector<std::string> ScriptedFtpServer::Verbs() const {
  std::vector<std::string> verbs;
  for (const std::string& line : Commands()) verbs.push_back(VerbOf(line));
  return verbs;
}

std::string ScriptedFtpServer::Uploaded() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_uploaded;
}

std::vector<std::string> ScriptedFtpServer::Problems() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_problems;
}

std::string ScriptedFtpServer::Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + (i >> 11)) & 0xff);
  return bytes;
}

void ScriptedFtpServer::Problem(const std::string& what) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_problems.push_back(what);
}

void ScriptedFtpServer::Record(const std::string& line) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_commands.push_back(line);
}

bool ScriptedFtpServer::WaitFor(int fd, short events, int milliseconds) {
  pollfd entries[2] = {{fd, events, 0}, {m_wake[0], POLLIN, 0}};
  for (;;) {
    const int result = ::poll(entries, 2, milliseconds);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0 || (entries[1].revents & POLLIN) != 0) return false;
    return entries[0].revents != 0;
  }
}

bool ScriptedFtpServer::AcceptControl(int& control) {
  if (!WaitFor(m_listen, POLLIN, kWaitMilliseconds)) {
    Problem("no control connection");
    return false;
  }
  control = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
  m_input.clear();
  return control >= 0;
}

bool ScriptedFtpServer::ReadLine(int control, std::string& line) {
  for (;;) {
    const std::size_t end = m_input.find('\n');
    if (end != std::string::npos) {
      line = m_input.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      m_input.erase(0, end + 1);
      return true;
    }
    if (control < 0 || !WaitFor(control, POLLIN, kWaitMilliseconds)) return false;
    char buffer[4096];
    const ssize_t n = ::recv(control, buffer, sizeof buffer, 0);
    if (n <= 0) return false;  // the client closed
    m_input.append(buffer, static_cast<std::size_t>(n));
  }
}

bool ScriptedFtpServer::SendAll(int fd, const char* data, std::size_t size) {
  std::size_t sent = 0;
  while (sent < size) {
    if (!WaitFor(fd, POLLOUT, kWaitMilliseconds)) return false;
    const ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

int ScriptedFtpServer::ConnectData(const std::string& requested) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  // Like a real server, the data connection comes from the server's own
  // address unless a test asks for another one.
  const std::string source = requested.empty() ? m_address : requested;
  {
    sockaddr_in from = LoopbackAddress(source, 0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
      Problem("bind data source " + source);
      ::close(fd);
      return -1;
    }
  }
  sockaddr_in to = LoopbackAddress(m_dataAddress, m_dataPort);
  if (m_dataPort == 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    Problem("data connect to " + m_dataAddress + ":" + std::to_string(m_dataPort));
    ::close(fd);
    return -1;
  }
  return fd;
}

bool ScriptedFtpServer::RunActions(const Step& step, int& control) {
  for (const Step::Action& action : step.m_actions) {
    switch (action.kind) {
      case Step::Kind::Reply:
        if (control < 0 || !SendAll(control, action.text.data(), action.text.size())) return false;
        break;
      case Step::Kind::Bytewise: {
        const int on = 1;
        ::setsockopt(control, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (char c : action.text) {
          if (!SendAll(control, &c, 1)) return false;
        }
        break;
      }
      case Step::Kind::SendData: {
        const int fd = ConnectData(action.source);
        if (fd < 0) break;
        if (!SendAll(fd, action.text.data(), action.text.size())) Problem("data send");
        ::close(fd);
        break;
      }
      case Step::Kind::ConnectFrom: {
        const int fd = ConnectData(action.source);
        if (fd < 0) break;
        char byte;
        // The client must close a connection from a stranger without reading from it.
        if (WaitFor(fd, POLLIN, kWaitMilliseconds) && ::recv(fd, &byte, 1, 0) <= 0) m_foreignClosed = true;
        ::close(fd);
        break;
      }
      case Step::Kind::ReceiveData: {
        const int fd = ConnectData(action.source);
        if (fd < 0) break;
        std::string bytes;
        char buffer[65536];
        for (;;) {
          if (!WaitFor(fd, POLLIN, kWaitMilliseconds)) {
            Problem("upload never ended");
            break;
          }
          const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
          if (n <= 0) break;
          bytes.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_uploaded = std::move(bytes);
        break;
      }
      case Step::Kind::Stream: {
        const int fd = ConnectData(action.source);
        if (fd < 0) break;
        const std::string pattern = Pattern(action.limit);
        std::size_t sent = 0;
        while (sent < action.limit) {
          pollfd entries[3] = {{fd, POLLOUT, 0}, {control, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
          const int result = ::poll(entries, 3, kWaitMilliseconds);
          if (result < 0 && errno == EINTR) continue;
          if (result <= 0 || entries[1].revents != 0 || entries[2].revents != 0) break;
          if ((entries[0].revents & (POLLERR | POLLHUP)) != 0) break;
          const ssize_t n = ::send(fd, pattern.data() + sent, std::min<std::size_t>(65536, action.limit - sent),
                                   MSG_NOSIGNAL | MSG_DONTWAIT);
          if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
          if (n < 0) break;  // the client closed the data connection
          sent += static_cast<std::size_t>(n);
          m_streamed = sent;
        }
        ::close(fd);
        break;
      }
      case Step::Kind::Trickle: {
        const int on = 1;
        ::setsockopt(control, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (char c : action.text) {
          // The pause between bytes is the behaviour under test; the client's
          // close (or the end of the test) ends it early.
          pollfd entries[2] = {{control, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
          if (::poll(entries, 2, static_cast<int>(action.limit)) > 0) {
            char byte;
            if (entries[1].revents != 0 || ::recv(control, &byte, 1, MSG_PEEK) <= 0) {
              m_trickleCut = true;
              return false;
            }
          }
          if (!SendAll(control, &c, 1)) {
            m_trickleCut = true;
            return false;
          }
        }
        break;
      }
      case Step::Kind::Hold: {
        const int fd = ConnectData(action.source);
        if (fd < 0) break;
        pollfd entries[2] = {{control, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(entries, 2, kWaitMilliseconds) <= 0) Problem("held upload: no command came");
        ::close(fd);
        break;
      }
      case Step::Kind::CloseControl:
        if (control >= 0) ::close(control);
        control = -1;
        break;
    }
  }
  return true;
}

void ScriptedFtpServer::Run() {
  int control = -1;
  std::size_t next = 0;
  if (AcceptControl(control)) {
    RunActions(m_welcome, control);
    for (;;) {
      if (next < m_steps.size() && m_steps[next].m_verb == "*") {
        if (control >= 0) ::close(control);
        control = -1;
        if (!AcceptControl(control)) break;
        RunActions(m_steps[next++], control);
        continue;
      }
      std::string line;
      if (!ReadLine(control, line)) break;
      Record(line);
      const std::string verb = VerbOf(line);
      if (verb == "PORT") {
        unsigned h[4] = {}, p[2] = {};
        if (std::sscanf(line.c_str() + 4, " %u,%u,%u,%u,%u,%u", &h[0], &h[1], &h[2], &h[3], &p[0], &p[1]) == 6) {
          m_dataAddress = std::to_string(h[0]) + "." + std::to_string(h[1]) + "." + std::to_string(h[2]) + "." +
                          std::to_string(h[3]);
          m_dataPort = static_cast<std::uint16_t>(p[0] * 256 + p[1]);
        }
      }
      if (next < m_steps.size() && m_steps[next].m_verb == verb) {
        RunActions(m_steps[next++], control);
      } else if (next < m_steps.size()) {
        const std::string reply = "500 Unexpected " + verb + "\r\n";
        SendAll(control, reply.data(), reply.size());
      } else if (verb == "QUIT") {
        SendAll(control, "221 Goodbye\r\n", 13);
        ::close(control);
        control = -1;
      } else {
        SendAll(control, "502 Not scripted\r\n", 18);
      }
    }
  }
  if (control >= 0) ::close(control);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_done = true;
  m_doneSignal.notify_all();
}

}  // namespace vantrel::test
