#pragma once
// Runs a function on a thread of its own with a large stack and waits for it:
// IXML walks and frees its trees recursively, so a parse, walk and free of a
// big document runs there rather than on the caller's (possibly small) stack.
#include <cstddef>
#include <functional>

namespace vantrel::channels::detail {

inline constexpr std::size_t kLargeStackBytes = std::size_t{256} << 20;  // reserved, touched only as used

// False when the thread could not be started (the function did not run).
bool RunWithLargeStack(const std::function<void()>& function, std::size_t stackBytes = kLargeStackBytes);

}  // namespace vantrel::channels::detail
