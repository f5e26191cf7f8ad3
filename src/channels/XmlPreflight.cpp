#include "channels/XmlPreflight.h"

#include <cstring>
#include <vector>

namespace vantrel::channels::detail {
namespace {

struct Open {
  std::size_t children = 0;  // element children met so far
  bool wrapperOpen = false;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Position just after the first occurrence of end at or after from; npos if none.
std::size_t After(std::string_view text, std::size_t from, std::string_view end) {
  const std::size_t at = text.find(end, from);
  return at == std::string_view::npos ? std::string_view::npos : at + end.size();
}

// True when the character reference starting at doc[at] ('&') is closed: "&#"
// digits ";" or "&#x" hex digits ";". Other references are IXML's to judge.
// (IXML reads past the end of its buffer on a numeric reference that runs
// into the end of the document, so such a reference never reaches it.)
bool CharacterReferenceClosed(std::string_view doc, std::size_t at) {
  std::size_t j = at + 1;
  if (j >= doc.size() || doc[j] != '#') return true;
  ++j;
  const bool hex = j < doc.size() && doc[j] == 'x';
  if (hex) ++j;
  const std::size_t digits = j;
  while (j < doc.size() && ((doc[j] >= '0' && doc[j] <= '9') ||
                            (hex && ((doc[j] >= 'a' && doc[j] <= 'f') || (doc[j] >= 'A' && doc[j] <= 'F'))))) {
    ++j;
  }
  return j > digits && j < doc.size() && doc[j] == ';';
}

// Checks the references of a stretch of character data.
bool TextReferencesClosed(std::string_view doc, std::size_t from, std::size_t to) {
  // Searches only inside the stretch: a search to the end of the document
  // for every stretch would make the whole scan quadratic.
  const std::string_view text = doc.substr(from, to - from);
  for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
    if (!CharacterReferenceClosed(doc, from + at)) return false;
  }
  return true;
}

}  // namespace

PreflightResult PreflightXml(std::string_view doc, const XmlLimits& limits) {
  PreflightResult result;
  if (doc.size() > limits.maxBytes) {
    result.status = PreflightStatus::TooLarge;
    result.detail = "the document is larger than " + std::to_string(limits.maxBytes) + " bytes";
    return result;
  }

  static constexpr std::string_view kOpenWrapper = "<vantrel-chunk>";
  static constexpr std::string_view kCloseWrapper = "</vantrel-chunk>";
  static_assert(sizeof(kChunkElement) == 14);

  std::string out;
  out.reserve(doc.size() + doc.size() / 64 + 64);
  bool followed = true;  // the tokenizer kept a consistent view of the structure
  const char* why = "";
  bool canWrap = true;
  std::vector<Open> stack;
  std::size_t copied = 0;  // doc[0, copied) is already in out
  std::size_t i = 0;
  const std::size_t n = doc.size();

  auto flushTo = [&](std::size_t pos) {
    out.append(doc.data() + copied, pos - copied);
    copied = pos;
  };

  auto badReference = [&result]() {
    result.status = PreflightStatus::NotWellFormed;
    result.detail = "a character reference is not closed";
    return result;
  };

  auto notWellFormed = [&result](const char* why) {
    result.status = PreflightStatus::NotWellFormed;
    result.detail = why;
    return result;
  };
  bool rootSeen = false;

  while (i < n) {
    const std::size_t lt = doc.find('<', i);
    const std::size_t textEnd = lt == std::string_view::npos ? n : lt;
    if (!TextReferencesClosed(doc, i, textEnd)) return badReference();
    if (stack.empty()) {
      // Outside the document element only white space may stand (IXML also
      // leaks a node on such a document).
      for (std::size_t k = i; k < textEnd; ++k) {
        if (!IsSpace(doc[k])) return notWellFormed("text stands outside the document element");
      }
    }
    if (lt == std::string_view::npos) break;
    i = lt;
    if (doc.compare(i, 4, "<!--") == 0) {
      i = After(doc, i + 4, "-->");
    } else if (doc.compare(i, 9, "<![CDATA[") == 0) {
      i = After(doc, i + 9, "]]>");
    } else if (doc.compare(i, 2, "<?") == 0) {
      i = After(doc, i + 2, "?>");
    } else if (doc.compare(i, 2, "<!") == 0) {
      // A declaration; an internal subset in brackets may hold quoted '>'.
      std::size_t j = i + 2;
      int brackets = 0;
      char quote = '\0';
      for (; j < n; ++j) {
        const char c = doc[j];
        if (quote != '\0') {
          if (c == quote) quote = '\0';
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '[') {
          ++brackets;
        } else if (c == ']') {
          --brackets;
        } else if (c == '>' && brackets <= 0) {
          break;
        }
      }
      i = j < n ? j + 1 : std::string_view::npos;
    } else if (doc.compare(i, 2, "</") == 0) {
      const std::size_t gt = doc.find('>', i + 2);
      if (gt == std::string_view::npos || stack.empty()) {
        followed = false;
        why = gt == std::string_view::npos ? "markup runs to the end of the document" : "an end tag has no start tag";
        break;
      } else {
        if (stack.back().wrapperOpen) {
          flushTo(i);
          out.append(kCloseWrapper);
        }
        stack.pop_back();
        i = gt + 1;
      }
    } else {
      // A start tag: name, attributes with quoted values, '>' or "/>".
      std::size_t j = i + 1;
      while (j < n && !IsSpace(doc[j]) && doc[j] != '>' && doc[j] != '/') ++j;
      const std::string_view name = doc.substr(i + 1, j - i - 1);
      if (name == kChunkElement) canWrap = false;
      std::size_t quotes = 0;
      char quote = '\0';
      char previous = '\0';
      for (; j < n; ++j) {
        const char c = doc[j];
        if (quote != '\0') {
          if (c == quote) {
            quote = '\0';
          } else if (c == '&' && !CharacterReferenceClosed(doc, j)) {
            return badReference();
          }
        } else if (c == '"' || c == '\'') {
          quote = c;
          ++quotes;
        } else if (c == '>') {
          break;
        }
        if (quote == '\0' && !IsSpace(c)) previous = c;
      }
      if (j >= n) {
        followed = false;
        why = "markup runs to the end of the document";
        break;
      }
      if (quotes > limits.maxAttributesPerTag) {
        result.status = PreflightStatus::TooManyAttributes;
        result.detail = "an element has more than " + std::to_string(limits.maxAttributesPerTag) + " attributes";
        return result;
      }
      if (++result.elements > limits.maxElements) {
        result.status = PreflightStatus::TooManyElements;
        result.detail = "the document has more than " + std::to_string(limits.maxElements) + " elements";
        return result;
      }
      if (stack.empty()) {
        if (rootSeen) return notWellFormed("a second document element");
        rootSeen = true;
      } else {
        Open& parent = stack.back();
        if (parent.children >= limits.chunkSize && parent.children % limits.chunkSize == 0) {
          flushTo(i);
          if (parent.wrapperOpen) out.append(kCloseWrapper);
          out.append(kOpenWrapper);
          parent.wrapperOpen = true;
        }
        ++parent.children;
      }
      const bool empty = previous == '/';
      if (!empty) {
        stack.push_back(Open{});
        if (stack.size() > result.depth) result.depth = stack.size();
        if (stack.size() > limits.maxDepth) {
          result.status = PreflightStatus::TooDeep;
          result.detail = "elements are nested deeper than " + std::to_string(limits.maxDepth) + " levels";
          return result;
        }
      }
      i = j + 1;
    }
    if (i == std::string_view::npos) {
      followed = false;
      why = "markup runs to the end of the document";
      break;
    }
  }
  if (followed && !stack.empty()) {
    followed = false;
    why = "elements are not closed";
  }

  if (!followed) {
    // Never well-formed, and IXML 1.8.4 reads past the end of its buffer on
    // some such documents (an unterminated CDATA section at the end, for one),
    // so it does not see them.
    result.status = PreflightStatus::NotWellFormed;
    result.detail = why;
    return result;
  }
  if (canWrap) {
    flushTo(n);
    result.text = std::move(out);
    result.wrapped = result.text.size() != n;
    return result;
  }
  result.text.assign(doc);
  result.wrapped = false;
  return result;
}

}  // namespace vantrel::channels::detail
