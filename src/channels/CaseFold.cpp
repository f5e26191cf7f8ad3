#include "channels/CaseFold.h"

namespace vantrel::channels {

std::size_t CharacterCount(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;  // not a continuation byte
  }
  return n;
}

}  // namespace vantrel::channels
