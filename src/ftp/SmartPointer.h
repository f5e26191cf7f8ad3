#pragma once
// Shared ownership for command-table rows, listing entries and the state of
// a memory stream: copying shares, the last pointer destroys.
#include <memory>

namespace nsSmartPointer {

template <class T>
using RCIPtr = std::shared_ptr<T>;

}  // namespace nsSmartPointer
