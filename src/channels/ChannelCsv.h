#pragma once
// The channel list as a spreadsheet: export of one kind's services with every
// column of the channel list, and an import that changes the number, name,
// lock and skip of existing services found by their ids (service id,
// transport stream id, original network id). The import is planned first:
// the plan lists every row it can not use, and nothing changes until the
// caller applies it.
//
// Files are UTF-8 with a header row. The export separates with commas; the
// import takes commas, semicolons (what spreadsheets write where the decimal
// separator is a comma) or tabs, whichever the header row uses. Fields that
// hold the separator, a quote or a line break are quoted, quotes doubled.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

// --- the file format
struct CsvRecord {
  std::size_t line = 0;  // 1-based line of the file the record starts on
  std::vector<std::string> fields;
};

// The separator the header row (the first line) uses: ',', ';' or '\t'.
char DetectCsvSeparator(std::string_view bytes);
// Splits the bytes into records (a leading UTF-8 byte-order mark is skipped,
// empty lines are dropped). False with the line of a quote that never closes.
bool ParseCsv(std::string_view bytes, char separator, std::vector<CsvRecord>& records, std::size_t* badLine = nullptr);
// One field, quoted when it needs to be.
std::string CsvField(std::string_view text, char separator = ',');

// --- export
// The header key of each exported column of the channel list, in column
// order ("number", "name", ..., "hd"); the filler column is left out.
const std::vector<std::string>& CsvColumnKeys();
// The services of a kind in list order, one line each, "\n" line ends.
std::string ChannelCsvBytes(ChannelList& list, ServiceKind kind);
// Writes them like the channel file (AtomicFile.h): the target is replaced
// whole or not at all. False with the reason.
bool WriteChannelCsv(ChannelList& list, ServiceKind kind, const std::string& path, std::string* error = nullptr);

// --- import
enum class CsvProblemKind {
  NoIdColumns,      // the header row lacks sid, onid or tsid: nothing can be matched
  OpenQuote,        // a quoted field never closes; the rest of the file is unusable
  FieldCount,       // the row has another number of fields than the header
  BadId,            // an id is not a number
  NoService,        // no service of the list carries these ids (or more rows than services do)
  BadType,          // the type column is neither TV nor RADIO
  BadNumber,        // not a number, or outside 1..count of the kind
  DuplicateNumber,  // an earlier row already gives the service this number
  BadName,          // empty, or longer than the receiver keeps
  BadFlag,          // lock or skip is not true/false (yes/no, 1/0)
};

struct CsvProblem {
  std::size_t line = 0;  // 0 for a problem of the whole file
  CsvProblemKind kind = CsvProblemKind::NoService;
  std::string value;  // the offending text
};

struct CsvChange {
  Service* service = nullptr;
  ServiceKind kind = ServiceKind::Tv;
  std::optional<int> number;
  std::optional<std::string> name;
  std::optional<bool> locked;
  std::optional<bool> skipped;
};

struct CsvImportPlan {
  std::size_t rows = 0;            // data rows read
  std::vector<CsvChange> changes;  // the usable rows, in file order
  std::vector<CsvProblem> problems;
  std::size_t changedServices = 0;  // services whose number, name, lock or skip changes
  std::vector<Service*> order[2];   // the new order of each kind (empty: unchanged)
};

// Reads a CSV against the list. Rows with problems are left out of the
// changes. Numbers given by the rows pin their services to those positions;
// two rows giving one number are refused, and the services without a given
// number fill the free positions in their present order, so each kind stays
// numbered 1..n without gaps or doubles.
CsvImportPlan PlanCsvImport(const ChannelList& list, std::string_view bytes);
// The problem as a line for the user (from the text tables).
std::string DescribeCsvProblem(const CsvProblem& problem);
// CChannelEditor::ApplyCsvImport applies a plan.

// Reads a whole file of at most kMaxTextFileSize bytes; false with the reason.
inline constexpr std::size_t kMaxTextFileSize = std::size_t{64} << 20;
bool ReadTextFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

}  // namespace vantrel::channels
