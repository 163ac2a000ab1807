#pragma once

#include "store/BookmarkDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace quillary {

// The search targets as the find dialog lists them.
inline constexpr const char* kTargetAll = "All";
inline constexpr const char* kTargetName = "Bookmark name";
inline constexpr const char* kTargetUrl = "Bookmark URL";

struct FindOptions {
  std::string text;                // trimmed before use
  std::string target = kTargetAll; // trimmed, then compared exactly with the three targets
  bool wholeWord = false;          // the whole field must equal the text
  bool matchCase = false;          // off: ASCII letters are lowered in the text and the fields
};

struct FoundBookmark {
  std::string name; // as used in the test (lowered when case does not matter)
  std::string url;
};

// Every matching bookmark of the collection in document order; folder names never match.
// Nothing (no result at all) when the text or the target is blank after trimming. Fails with
// "No active document" when the collection has no root.
std::optional<std::vector<FoundBookmark>> FindBookmarks(const BookmarkDocument& collection,
                                                        const FindOptions& options);

} // namespace quillary
