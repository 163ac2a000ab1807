#pragma once

#include "store/BookmarkDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace quillary {

// Which fields of a bookmark count. Nothing is the target that names no field (a typed one that
// is none of the offered ones): the walk runs and nothing matches.
enum class FindTarget { All, Name, Url, Nothing };

struct FindOptions {
  std::string text; // trimmed before use
  FindTarget target = FindTarget::All;
  bool wholeWord = false; // the whole field must equal the text
  bool matchCase = false; // off: ASCII letters are lowered in the text and the fields
};

struct FoundBookmark {
  std::string name; // as used in the test (lowered when case does not matter)
  std::string url;
};

// Every matching bookmark of the collection in document order; folder names never match.
// Nothing (no result at all) when the text is blank after trimming. Fails with
// "No active document" when the collection has no root.
std::optional<std::vector<FoundBookmark>> FindBookmarks(const BookmarkDocument& collection,
                                                        const FindOptions& options);

} // namespace quillary
