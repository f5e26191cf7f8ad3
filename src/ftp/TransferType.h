#pragma once
// How transferred data is represented: ASCII for listings, image for files.
namespace nsFTP {

class CTransferType {
 public:
  enum Kind { ASCII, Image };

  constexpr CTransferType(Kind kind) : m_kind(kind) {}  // NOLINT: a kind is a type
  static constexpr CTransferType AsciiType() { return CTransferType(ASCII); }
  static constexpr CTransferType ImageType() { return CTransferType(Image); }

  constexpr Kind GetKind() const { return m_kind; }
  // The TYPE argument.
  constexpr const char* AsTypeCode() const { return m_kind == ASCII ? "A" : "I"; }
  constexpr bool operator==(const CTransferType&) const = default;

 private:
  Kind m_kind;
};

}  // namespace nsFTP
