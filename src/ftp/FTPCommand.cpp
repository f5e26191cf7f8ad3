#include "ftp/FTPCommand.h"

#include <array>
#include <utility>

namespace nsFTP {
namespace {

using Info = CCommand::CExtendedInfo;
using InfoPtr = nsSmartPointer::RCIPtr<const Info>;
using Table = std::array<InfoPtr, CCommand::kCount>;

constexpr int kStd = CCommand::kStandard;
constexpr int kExt = CCommand::kExtension;
constexpr int kOth = CCommand::kOther;
constexpr int kRecv = CCommand::kReceivesData;
constexpr int kSend = CCommand::kSendsData;
constexpr int kNone = CCommand::kNoData;

Table BuildTable() {
  struct Row {
    CCommand::Id id;
    const char* name;
    const char* syntax;
    int parameters, optional, origin, data;
  };
  static const Row rows[] = {
      {CCommand::ABOR, "ABOR", "ABOR <CRLF>", 0, 0, kStd, kNone},
      {CCommand::ACCT, "ACCT", "ACCT <SP> <account-information> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::ALLO, "ALLO", "ALLO <SP> <decimal-integer> [<SP> R <SP> <decimal-integer>] <CRLF>", 3, 2, kStd, kNone},
      {CCommand::APPE, "APPE", "APPE <SP> <pathname> <CRLF>", 1, 0, kStd, kSend},
      {CCommand::CDUP, "CDUP", "CDUP <CRLF>", 0, 0, kStd, kNone},
      {CCommand::CWD, "CWD", "CWD <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::DELE, "DELE", "DELE <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::HELP, "HELP", "HELP [<SP> <string>] <CRLF>", 1, 1, kStd, kNone},
      {CCommand::LIST, "LIST", "LIST [<SP> <pathname>] <CRLF>", 1, 1, kStd, kRecv},
      {CCommand::MDTM, "MDTM", "MDTM <SP> <pathname> <CRLF>", 1, 0, kExt, kNone},
      {CCommand::MKD, "MKD", "MKD <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::MODE, "MODE", "MODE <SP> <mode-code> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::NLST, "NLST", "NLST [<SP> <pathname>] <CRLF>", 1, 1, kStd, kRecv},
      {CCommand::NOOP, "NOOP", "NOOP <CRLF>", 0, 0, kStd, kNone},
      {CCommand::OPEN, "OPEN", "OPEN <SP> <string> <CRLF>", 1, 0, kOth, kNone},
      {CCommand::PASS, "PASS", "PASS <SP> <password> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::PASV, "PASV", "PASV <CRLF>", 0, 0, kStd, kNone},
      {CCommand::PORT, "PORT", "PORT <SP> <host-port> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::PWD, "PWD", "PWD <CRLF>", 0, 0, kStd, kNone},
      {CCommand::QUIT, "QUIT", "QUIT <CRLF>", 0, 0, kStd, kNone},
      {CCommand::REIN, "REIN", "REIN <CRLF>", 0, 0, kStd, kNone},
      {CCommand::REST, "REST", "REST <SP> <marker> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::RETR, "RETR", "RETR <SP> <pathname> <CRLF>", 1, 0, kStd, kRecv},
      {CCommand::RMD, "RMD", "RMD <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::RNFR, "RNFR", "RNFR <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::RNTO, "RNTO", "RNTO <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::SITE, "SITE", "SITE <SP> <string> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::SIZE, "SIZE", "SIZE <SP> <pathname> <CRLF>", 1, 0, kExt, kNone},
      {CCommand::SMNT, "SMNT", "SMNT <SP> <pathname> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::STAT, "STAT", "STAT [<SP> <pathname>] <CRLF>", 1, 1, kStd, kNone},
      {CCommand::STOR, "STOR", "STOR <SP> <pathname> <CRLF>", 1, 0, kStd, kSend},
      {CCommand::STOU, "STOU", "STOU <CRLF>", 0, 0, kStd, kSend},
      {CCommand::STRU, "STRU", "STRU <SP> <structure-code> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::SYST, "SYST", "SYST <CRLF>", 0, 0, kStd, kNone},
      {CCommand::TYPE, "TYPE", "TYPE <SP> <type-code> <CRLF>", 1, 0, kStd, kNone},
      {CCommand::USER, "USER", "USER <SP> <username> <CRLF>", 1, 0, kStd, kNone},
  };
  static_assert(sizeof rows / sizeof rows[0] == CCommand::kCount, "one row per command");
  Table table;
  for (const Row& row : rows) {
    table[row.id] =
        std::make_shared<const Info>(row.name, row.syntax, row.parameters, row.optional, row.origin, row.data);
  }
  return table;
}

const Table& CommandTable() {
  static const Table table = BuildTable();  // built once, read-only afterwards
  return table;
}

}  // namespace

CCommand::CExtendedInfo::CExtendedInfo(std::string name, std::string syntax, int parameters, int optional, int origin,
                                       int data)
    : m_name(std::move(name)),
      m_syntax(std::move(syntax)),
      m_parameters(parameters),
      m_optional(optional),
      m_origin(origin),
      m_data(data) {}

const CCommand::CExtendedInfo& CCommand::GetExtendedInfo() const { return *CommandTable()[m_id]; }

std::string CCommand::AsString(const CArg& arguments) const {
  std::string line = AsString();
  for (const std::string& argument : arguments) {
    if (argument.empty()) continue;
    line += ' ';
    line += argument;
  }
  return line;
}

bool IsSafeArgument(const std::string& argument) {
  return argument.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool AreSafeArguments(const CArg& arguments) {
  for (const std::string& argument : arguments) {
    if (!IsSafeArgument(argument)) return false;
  }
  return true;
}

}  // namespace nsFTP
