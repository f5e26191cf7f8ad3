#pragma once
// FTP commands: an identifier into the process-wide, read-only command table
// that holds each command's name, syntax and data-connection kind.
#include <string>
#include <vector>

#include "ftp/Interface.h"
#include "ftp/SmartPointer.h"

namespace nsFTP {

// The arguments of one command line, in order; empty ones are left out.
using CArg = std::vector<std::string>;

class CCommand {
 public:
  enum Id : int {
    ABOR = 0,
    ACCT,
    ALLO,
    APPE,
    CDUP,
    CWD,
    DELE,
    HELP,
    LIST,
    MDTM,
    MKD,
    MODE,
    NLST,
    NOOP,
    OPEN,
    PASS,
    PASV,
    PORT,
    PWD,
    QUIT,
    REIN,
    REST,
    RETR,
    RMD,
    RNFR,
    RNTO,
    SITE,
    SIZE,
    SMNT,
    STAT,
    STOR,
    STOU,
    STRU,
    SYST,
    TYPE,
    USER,
    kCount
  };
  enum Origin : int { kOther = 0, kStandard = 1, kExtension = 2 };
  enum DataConnection : int { kReceivesData = 0, kSendsData = 1, kNoData = 2 };

  class IExtendedInfo : public IInterface {
   public:
    virtual const std::string& GetServerString() const = 0;
    virtual const std::string& GetCompleteServerStringSyntax() const = 0;
    virtual int GetNumberOfParameters() const = 0;
    virtual int GetNumberOfOptionalParameters() const = 0;
    virtual int GetTypeOfCommand() const = 0;
    virtual int GetTypeOfDataConnection() const = 0;
  };

  class CExtendedInfo final : public IExtendedInfo {
   public:
    CExtendedInfo(std::string name, std::string syntax, int parameters, int optional, int origin, int data);
    const std::string& GetServerString() const override { return m_name; }
    const std::string& GetCompleteServerStringSyntax() const override { return m_syntax; }
    int GetNumberOfParameters() const override { return m_parameters; }
    int GetNumberOfOptionalParameters() const override { return m_optional; }
    int GetTypeOfCommand() const override { return m_origin; }
    int GetTypeOfDataConnection() const override { return m_data; }

   private:
    std::string m_name;
    std::string m_syntax;
    int m_parameters;
    int m_optional;
    int m_origin;
    int m_data;
  };

  constexpr CCommand(Id id) : m_id(id) {}  // NOLINT: an identifier is a command
  constexpr Id GetId() const { return m_id; }
  constexpr bool operator==(const CCommand&) const = default;

  // The command's row of the table (built once, on first use).
  const CExtendedInfo& GetExtendedInfo() const;
  const std::string& AsString() const { return GetExtendedInfo().GetServerString(); }
  // The command line without its line end: the name and, for each non-empty
  // argument, one space and the argument.
  std::string AsString(const CArg& arguments) const;

 private:
  Id m_id;
};

// True when no argument holds CR, LF or NUL, so none can end the command
// line early and smuggle a second command onto the wire.
bool IsSafeArgument(const std::string& argument);
bool AreSafeArguments(const CArg& arguments);

}  // namespace nsFTP
