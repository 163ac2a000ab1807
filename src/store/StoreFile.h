#pragma once

#include "store/BookmarkDocument.h"

#include <string>

// The two-line file format shared by the store file and backup files: a header line, then the
// Base64 of the document's XML text.
namespace quillary {

// The first line of every store and backup file. Written, never examined on reading.
inline constexpr const char* kStoreFileHeader = "Quillary Bookmark File 2.0";

// Writes the document (which must have a root) as a store or backup file, atomically.
void WriteStoreFile(const BookmarkDocument& document, const std::string& path);

// Replaces the document's content by the file's tree. A file that cannot be read or holds fewer
// than two lines fails before the document is touched; a payload that is not XML, or one nested
// deeper than the limit, leaves the document empty and fails.
void ReadStoreFile(BookmarkDocument& document, const std::string& source);

} // namespace quillary
