#pragma once
// Text-table indexes of the reference list and the CSV export and import
// (menus, windows, messages). Declared here only, so they can move together.
namespace vantrel::channels {

inline constexpr int kTextMenuApplyReference = 412;   // "Apply reference list..."
inline constexpr int kTextMenuExportCsv = 413;        // "Export CSV..."
inline constexpr int kTextMenuImportCsv = 414;        // "Import CSV..."
inline constexpr int kTextReferenceCaption = 415;     // "Apply reference list"
inline constexpr int kTextReferenceCounts = 416;      // "Matched: %d   Moved: %d   Unchanged: %d"
inline constexpr int kTextReferenceNotFound = 417;    // "Reference entries that found nothing (%d):"
inline constexpr int kTextReferenceFavourites = 418;  // "Also take the favourite groups"
inline constexpr int kTextApply = 419;                // "Apply"
inline constexpr int kTextImportCaption = 420;        // "Import CSV"
inline constexpr int kTextImportCounts = 421;         // "Rows: %d   Services changed: %d   Rows left out: %d"
inline constexpr int kTextColumnLine = 422;           // "Line"
inline constexpr int kTextColumnProblem = 423;        // "Problem"
inline constexpr int kTextCsvNoIds = 424;             // "The header row has no sid, onid and tsid columns."
inline constexpr int kTextCsvOpenQuote = 425;         // "A quoted field is not closed."
inline constexpr int kTextCsvFieldCount = 426;        // "The row has another number of fields than the header."
inline constexpr int kTextCsvBadId = 427;             // "Not a valid id: %s"
inline constexpr int kTextCsvNoService = 428;         // "No service has these ids: %s"
inline constexpr int kTextCsvBadType = 429;           // "Unknown type: %s"
inline constexpr int kTextCsvBadNumber = 430;         // "Not a valid channel number: %s"
inline constexpr int kTextCsvDuplicateNumber = 431;   // "Channel number %s is given twice."
inline constexpr int kTextCsvBadName = 432;           // "Not a valid name: %s"
inline constexpr int kTextCsvBadFlag = 433;           // "Not true or false: %s"
inline constexpr int kTextCannotRead = 434;           // "The file %s can not be read."
inline constexpr int kTextCannotWriteCsv = 435;       // "The file %s can not be written."
inline constexpr int kTextNothingToChange = 436;      // "There is nothing to change."
inline constexpr int kTextRowsLeftOut = 437;          // "The rows listed are left out; the others are applied."
inline constexpr int kTextReferenceEmpty = 438;       // "The reference list holds no channel names."

}  // namespace vantrel::channels
