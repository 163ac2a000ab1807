#pragma once

#include "store/BookmarkDocument.h"

#include <memory>
#include <string>

namespace quillary {

// The contract between the exchange coordinator and every exchanger: one new object per call,
// SourcePath set before the call, failures raised as exceptions.
class Exchanger {
public:
  virtual ~Exchanger() = default;

  // The browser's bookmarks as a new document built like NewBookmarkDocument's.
  virtual std::unique_ptr<BookmarkDocument> ImportBookmarks() = 0;

  // Writes the folders and bookmarks below the document's root into SourcePath.
  virtual void ExportBookmarks(BookmarkDocument& document) = 0;

  std::string SourcePath;
};

} // namespace quillary
