#pragma once
// What happens to a channel file's bytes before IXML sees them.
//
// IXML (libupnp 1.8 of Debian 12) has three weaknesses a hostile or merely
// large file can hit: it frees its tree recursively over children *and*
// siblings (a long run of siblings exhausts the stack), its appendChild walks
// all earlier siblings and all ancestors (a parse is quadratic in the longest
// run of siblings and in the depth: 40,000 services take seconds, 1,000,000
// siblings hours), and attribute handling is quadratic per element.
//
// The preflight is a tokenizer, not a parser: it steps over markup (start and
// end tags with quoted attribute values, comments, CDATA sections,
// processing instructions, declarations) to measure depth, element count and
// attributes per tag, and refuses a document beyond sane bounds. Where the
// structure it saw is consistent it also groups long runs of sibling elements
// into wrapper elements named kChunkElement (the first kChunkSize children of
// an element stay where they are; every further kChunkSize go into one
// wrapper), so IXML's sibling chains stay short. The reader looks through the
// wrappers (ForEachChildElement); the wrappers are balanced and sit only
// between complete children, so they change no verdict of IXML's.
//
// IXML 1.8.4 also reads past the end of its copy of the buffer when the
// document ends inside some constructs (found by the fuzz target: a numeric
// character reference or a CDATA section running into the end). So the
// preflight refuses, as not well-formed, what XML never allows and IXML
// cannot be trusted with: markup that runs to the end of the document, end
// tags without a start tag, unclosed elements, numeric character references
// without their ';', and text or a second element outside the document
// element (on which IXML leaks memory). Everything else is IXML's to judge.
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::channels::detail {

inline constexpr char kChunkElement[] = "vantrel-chunk";

struct XmlLimits {
  std::size_t maxBytes = std::size_t{256} << 20;   // of the document from its first '<'
  std::size_t maxDepth = 64;                       // the format needs 5
  std::size_t maxElements = std::size_t{4} << 20;  // a 40,000-service list has about 1,000,000
  std::size_t maxAttributesPerTag = 256;           // the format uses 2
  std::size_t chunkSize = 256;
};

enum class PreflightStatus {
  Ok,  // text is ready for IXML
  TooLarge,
  TooDeep,
  TooManyElements,
  TooManyAttributes,
  NotWellFormed,  // see above: never well-formed, and not safe to hand to IXML
};

struct PreflightResult {
  PreflightStatus status = PreflightStatus::Ok;
  std::string text;      // what to hand to IXML (valid when status is Ok)
  bool wrapped = false;  // whether kChunkElement wrappers were inserted
  std::size_t depth = 0;
  std::size_t elements = 0;
  std::string detail;  // why a document was refused
};

// document: the bytes from the first '<' up to (not including) the first NUL.
PreflightResult PreflightXml(std::string_view document, const XmlLimits& limits = XmlLimits());

}  // namespace vantrel::channels::detail
