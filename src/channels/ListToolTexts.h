#pragma once
// Text-table indexes of the reference list and the CSV export and import
// (menus, windows, messages). Declared here only, so they can move together.
namespace vantrel::channels {

inline constexpr int kTextMenuApplyReference = 383;   // "Apply reference list..."
inline constexpr int kTextMenuExportCsv = 384;        // "Export CSV..."
inline constexpr int kTextMenuImportCsv = 385;        // "Import CSV..."
inline constexpr int kTextReferenceCaption = 386;     // "Apply reference list"
inline constexpr int kTextReferenceCounts = 387;      // "Matched: %d   Moved: %d   Unchanged: %d"
inline constexpr int kTextReferenceNotFound = 388;    // "Reference entries that found nothing (%d):"
inline constexpr int kTextReferenceFavourites = 389;  // "Also take the favourite groups"
inline constexpr int kTextApply = 390;                // "Apply"
inline constexpr int kTextImportCaption = 391;        // "Import CSV"
inline constexpr int kTextImportCounts = 392;         // "Rows: %d   Services changed: %d   Rows left out: %d"
inline constexpr int kTextColumnLine = 393;           // "Line"
inline constexpr int kTextColumnProblem = 394;        // "Problem"
inline constexpr int kTextCsvNoIds = 395;             // "The header row has no sid, onid and tsid columns."
inline constexpr int kTextCsvOpenQuote = 396;         // "A quoted field is not closed."
inline constexpr int kTextCsvFieldCount = 397;        // "The row has another number of fields than the header."
inline constexpr int kTextCsvBadId = 398;             // "Not a valid id: %s"
inline constexpr int kTextCsvNoService = 399;         // "No service has these ids: %s"
inline constexpr int kTextCsvBadType = 400;           // "Unknown type: %s"
inline constexpr int kTextCsvBadNumber = 401;         // "Not a valid channel number: %s"
inline constexpr int kTextCsvDuplicateNumber = 402;   // "Channel number %s is given twice."
inline constexpr int kTextCsvBadName = 403;           // "Not a valid name: %s"
inline constexpr int kTextCsvBadFlag = 404;           // "Not true or false: %s"
inline constexpr int kTextCannotRead = 405;           // "The file %s can not be read."
inline constexpr int kTextCannotWriteCsv = 406;       // "The file %s can not be written."
inline constexpr int kTextNothingToChange = 407;      // "There is nothing to change."
inline constexpr int kTextRowsLeftOut = 408;          // "The rows listed are left out; the others are applied."
inline constexpr int kTextReferenceEmpty = 409;       // "The reference list holds no channel names."

}  // namespace vantrel::channels
