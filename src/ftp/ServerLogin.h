#pragma once
// The data of one FTP login.
#include <cstdint>
#include <string>
#include <utility>

namespace nsFTP {

class CServerLogin {
 public:
  CServerLogin() = default;
  CServerLogin(std::string host, std::uint16_t port, std::string user, std::string password, std::string account = {})
      : m_host(std::move(host)),
        m_port(port),
        m_user(std::move(user)),
        m_password(std::move(password)),
        m_account(std::move(account)) {}

  const std::string& GetHostname() const { return m_host; }
  std::uint16_t GetPort() const { return m_port; }
  const std::string& GetUsername() const { return m_user; }
  const std::string& GetPassword() const { return m_password; }
  const std::string& GetAccount() const { return m_account; }

 private:
  std::string m_host;
  std::uint16_t m_port = 21;
  std::string m_user = "anonymous";
  std::string m_password;
  std::string m_account;
};

}  // namespace nsFTP
