#pragma once

#include <cstddef>
#include <functional>

namespace quillary::platform {

// Runs work on a thread of its own with a stack of stackBytes and waits for it; an exception
// that work raises is raised again here. For libraries that recurse once per nesting level: the
// calling thread's stack may be as small as a megabyte.
void RunOnLargeStack(std::size_t stackBytes, const std::function<void()>& work);

} // namespace quillary::platform
