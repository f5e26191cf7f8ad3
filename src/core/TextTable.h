#pragma once
// User-visible texts by index. The first lookup of a run picks the table from
// the language setting; nothing changes it afterwards, so a new language is
// seen from the next start.
#include <string>

namespace vantrel {

enum LanguageCode : int {
  LANG_ENGLISH = 0,
  LANG_RUSSIAN = 3,
  LANG_GERMAN = 4,
  LANG_FINNISH = 8,
  LANG_DANISH = 9,
  LANG_SWEDISH = 10,
  LANG_SLOVAK = 11,
  LANG_POLISH = 12,
};

// Number of texts every table holds (indexes 0 .. count-1).
int TextCount();

// The current table's text; on the first call of the run it selects the table.
// An index outside the tables gives an empty text.
const char* GetText(int index);

// Compares the name, ignoring case, with the eight language names; any other
// name gives English. Records the code as the current one.
int LanguageCodeFromName(const std::string& name);

// Makes the table of that language current; a code without a table of its own
// selects English, and one above 12 is first reset to 0.
void SelectTextTable(int languageCode);

int CurrentLanguageCode();

// The table of a language, without selecting it (for tests and tools).
const char* TextOf(int languageCode, int index);

// Forgets the selection so the next lookup selects again. Tests only.
void ResetTextSelectionForTest();

}  // namespace vantrel
