#pragma once
// Text table indexes of the duplicate finder and the list check (menus, the
// two dialogs, their questions and findings, and the command line's findings).
// Kept together so that a renumbering of the tables touches only this place.
namespace vantrel::channels {

inline constexpr int kTextFindDuplicatesMenu = 383;  // "Find Duplicates..."
inline constexpr int kTextCheckListMenu = 384;       // "Check List..."
inline constexpr int kTextDuplicatesTitle = 385;     // dialog caption
inline constexpr int kTextRuleExact = 386;           // same ids
inline constexpr int kTextRuleLoose = 387;           // same name on the same satellite
inline constexpr int kTextKeepColumn = 388;
inline constexpr int kTextFavoritesColumn = 389;
inline constexpr int kTextDeleteDuplicates = 390;     // button; also the operation's name
inline constexpr int kTextAskDeleteDuplicates = 391;  // "%d ... %d"
inline constexpr int kTextNoDuplicates = 392;
inline constexpr int kTextCheckTitle = 393;  // dialog caption
inline constexpr int kTextFindingColumn = 394;
inline constexpr int kTextFixButton = 395;  // also the operation's name
inline constexpr int kTextSaveAnyway = 396;
inline constexpr int kTextSendAnyway = 397;
inline constexpr int kTextAskFix = 398;                  // "%d"
inline constexpr int kTextFindingNumbering = 399;        // "%s %d %d %d"
inline constexpr int kTextFindingDuplicateNumber = 400;  // "%s %d %d"
inline constexpr int kTextFindingDanglingMember = 401;   // "%s %d"
inline constexpr int kTextFindingLongName = 402;         // "%s %d"
inline constexpr int kTextFindingLongGroupName = 403;    // "%s %d"
inline constexpr int kTextFindingNoSatellite = 404;      // "%d %s %s"
inline constexpr int kTextListClean = 405;
inline constexpr int kTextClose = 406;

}  // namespace vantrel::channels
