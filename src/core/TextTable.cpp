#include "core/TextTable.h"

#include <atomic>
#include <mutex>

#include "core/AppSettings.h"
#include "core/StringUtil.h"
#include "core/texts/TextTables.h"

namespace vantrel {
namespace {

struct LanguageEntry {
  const char* name;
  int code;
};

// The order of comparison; the settings dialog offers its own order.
constexpr LanguageEntry kLanguages[] = {
    {"English", LANG_ENGLISH}, {"Danish", LANG_DANISH},   {"Finnish", LANG_FINNISH}, {"German", LANG_GERMAN},
    {"Swedish", LANG_SWEDISH}, {"Russian", LANG_RUSSIAN}, {"Slovak", LANG_SLOVAK},   {"Polish", LANG_POLISH},
};

const texts::TextTable& TableOf(int code) {
  switch (code) {
    case LANG_RUSSIAN: return texts::kRussian;
    case LANG_GERMAN: return texts::kGerman;
    case LANG_FINNISH: return texts::kFinnish;
    case LANG_DANISH: return texts::kDanish;
    case LANG_SWEDISH: return texts::kSwedish;
    case LANG_SLOVAK: return texts::kSlovak;
    case LANG_POLISH: return texts::kPolish;
    default: return texts::kEnglish;
  }
}

std::atomic<const texts::TextTable*> g_table{nullptr};
std::atomic<int> g_code{LANG_ENGLISH};
std::atomic<bool> g_selected{false};
std::mutex g_selectMutex;

}  // namespace

int TextCount() { return static_cast<int>(texts::kTextCount); }

int LanguageCodeFromName(const std::string& name) {
  int code = LANG_ENGLISH;
  for (const auto& entry : kLanguages) {
    if (EqualsIgnoreCase(name, entry.name)) {
      code = entry.code;
      break;
    }
  }
  g_code = code;
  return code;
}

void SelectTextTable(int languageCode) {
  if (languageCode > 12) languageCode = LANG_ENGLISH;
  g_table = &TableOf(languageCode);
  g_code = languageCode;
}

int CurrentLanguageCode() { return g_code; }

const char* GetText(int index) {
  if (!g_selected.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(g_selectMutex);
    if (!g_selected.load(std::memory_order_relaxed)) {
      const std::string language = GetSettings().GetLanguage();
      SelectTextTable(LanguageCodeFromName(language));
      g_selected.store(true, std::memory_order_release);
    }
  }
  if (index < 0 || index >= TextCount()) return "";
  const char* text = (*g_table.load())[static_cast<std::size_t>(index)];
  return text != nullptr ? text : "";
}

const char* TextOf(int languageCode, int index) {
  if (index < 0 || index >= TextCount()) return "";
  const char* text = TableOf(languageCode)[static_cast<std::size_t>(index)];
  return text != nullptr ? text : "";
}

void ResetTextSelectionForTest() {
  std::lock_guard<std::mutex> lock(g_selectMutex);
  g_selected = false;
  g_table = &texts::kEnglish;
  g_code = LANG_ENGLISH;
}

}  // namespace vantrel
