#pragma once

#include "base/Error.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillary {

// How deep folders may nest, counted in element levels below the root: far beyond any real
// collection, and well within what the views and every writer handle. Every reader, writer and
// walk refuses deeper input with the same error, so a collection that loads can be exported
// everywhere.
inline constexpr std::size_t kMaxFolderDepth = 10000;

// Input nested deeper than the limit.
class NestingError : public Error {
public:
  using Error::Error;
};

// "<subject> is nested deeper than 10,000 folders.", for example with the subject
// "The file \"bookmarks.html\"" or "The collection".
static_assert(kMaxFolderDepth == 10000, "the message below spells the limit out");
inline NestingError NestedTooDeep(std::string_view subject) {
  return NestingError(std::string(subject) + " is nested deeper than 10,000 folders.");
}

} // namespace quillary
