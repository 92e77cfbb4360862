// Frees nested payload containers in a loop instead of by recursion.
#pragma once

#include <memory>

namespace stratovane::detail {

// Called by a container's destructor for each nested container it owns. A chain of containers
// nested a million levels deep is then freed with a bounded stack.
void releaseLater(std::shared_ptr<const void> storage) noexcept;

}  // namespace stratovane::detail
