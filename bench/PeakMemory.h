#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quillary::bench {

// Runs the work in a forked child and returns how far the child's peak resident memory rose
// above what it started with, in bytes, so that nothing the benchmark itself holds is counted.
std::size_t PeakMemoryOf(const std::function<void()>& work);

// Size of a file in bytes.
std::size_t FileSize(const std::string& path);

} // namespace quillary::bench
