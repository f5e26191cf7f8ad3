#include "core/TextConvert.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

#include "core/StringUtil.h"

namespace vantrel {
namespace {

// RAII for an iconv descriptor.
class CIconv {
 public:
  CIconv(const std::string& to, const std::string& from) : m_cd(iconv_open(to.c_str(), from.c_str())) {}
  ~CIconv() {
    if (Valid()) iconv_close(m_cd);
  }
  CIconv(const CIconv&) = delete;
  CIconv& operator=(const CIconv&) = delete;
  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return m_cd; }

 private:
  iconv_t m_cd;
};

std::string SystemCharset() {
  const char* codeset = nl_langinfo(CODESET);
  if (codeset == nullptr || *codeset == '\0' || EqualsIgnoreCase(codeset, "ANSI_X3.4-1968") ||
      EqualsIgnoreCase(codeset, "ASCII") || EqualsIgnoreCase(codeset, "US-ASCII")) {
    return "UTF-8";  // the C/POSIX locale counts as UTF-8
  }
  return codeset;
}

// Converts the whole input; unconvertible characters become replacement when
// it is not null, otherwise the conversion fails. Returns false on failure.
bool Convert(const std::string& to, const std::string& from, std::string_view in, std::string& out,
             const char* replacement) {
  out.clear();
  if (EqualsIgnoreCase(to, from) && replacement == nullptr) {
    out.assign(in);
    return true;
  }
  CIconv cd(to, from);
  if (!cd.Valid()) return false;
  std::string input(in);
  char* src = input.data();
  std::size_t srcLeft = input.size();
  char buffer[1024];
  while (srcLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t rc = iconv(cd.Get(), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (errno == EILSEQ && replacement != nullptr) {
      // Skip one input character: for UTF-8 input the whole sequence.
      std::size_t skip = 1;
      if (EqualsIgnoreCase(from, "UTF-8")) {
        const auto lead = static_cast<unsigned char>(*src);
        if ((lead & 0xE0) == 0xC0)
          skip = 2;
        else if ((lead & 0xF0) == 0xE0)
          skip = 3;
        else if ((lead & 0xF8) == 0xF0)
          skip = 4;
        // An invalid sequence is invalid input, not an unmappable character.
        if (skip == 1 && lead >= 0x80) return false;
        for (std::size_t i = 1; i < skip; ++i) {
          if (i >= srcLeft || (static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) return false;
        }
      }
      if (skip > srcLeft) return false;
      src += skip;
      srcLeft -= skip;
      out.append(replacement);
      continue;
    }
    return false;
  }
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  iconv(cd.Get(), nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<std::size_t>(dst - buffer));
  return true;
}

bool ValidUtf8(std::string_view text) {
  std::string ignored;
  return Convert("UTF-32LE", "UTF-8", text, ignored, nullptr);
}

}  // namespace

std::string CodePageName(int codePage) {
  if (codePage == kSystemCodePage) return SystemCharset();
  if (codePage == kUtf8CodePage) return "UTF-8";
  return "CP" + std::to_string(codePage);
}

std::string AnsiToUtf8(std::string_view text, int codePage) {
  std::string out;
  const std::string from = CodePageName(codePage);
  if (EqualsIgnoreCase(from, "UTF-8")) {
    if (!ValidUtf8(text)) return {};
    return std::string(text);
  }
  if (!Convert("UTF-8", from, text, out, nullptr)) return {};
  return out;
}

std::size_t AnsiToUtf8(std::string_view text, std::array<char, 256>& out, int codePage) {
  out.fill('\0');
  // At most 256 characters of input; count characters, not bytes, for UTF-8 input.
  const std::string from = CodePageName(codePage);
  std::size_t end = text.size();
  if (EqualsIgnoreCase(from, "UTF-8")) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
        if (chars == 256) {
          end = i;
          break;
        }
        ++chars;
      }
    }
  } else if (end > 256) {
    end = 256;
  }
  const std::string utf8 = AnsiToUtf8(text.substr(0, end), codePage);
  if (utf8.size() >= out.size()) return 0;
  std::memcpy(out.data(), utf8.data(), utf8.size());
  return utf8.size();
}

std::string Utf8ToAnsi(std::string_view utf8, int codePage) {
  const std::string to = CodePageName(codePage);
  if (EqualsIgnoreCase(to, "UTF-8")) {
    return ValidUtf8(utf8) ? std::string(utf8) : std::string();
  }
  std::string out;
  if (!Convert(to, "UTF-8", utf8, out, "?")) return {};
  return out;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '\'': out += "&apos;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace vantrel
