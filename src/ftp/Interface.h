#pragma once
// The base of the FTP layer's interfaces: only a virtual destructor.
namespace nsFTP {

class IInterface {
 public:
  virtual ~IInterface() = default;
};

}  // namespace nsFTP
