#pragma once

#include "store/BookmarkDocument.h"

#include <cstddef>
#include <string>
#include <string_view>

// The bare work the benchmarks are measured against: the least a program must do over the same
// bytes, written with the system and the libraries alone, so that it moves with the machine and
// never with Quillary's own code. Every function returns something to keep its work from being
// optimised away.
namespace quillary::bench {

// Finds every `stop` byte of the bytes with memchr and counts them.
std::size_t BareScan(std::string_view bytes, char stop);

// Reads the file, or every file of the folder tree, and scans it as BareScan does.
std::size_t BareReadAndScan(const std::string& path, char stop);

// Visits every node below the document's root and reads its name and address to their ends: the
// texts that finding, merging and writing a collection read.
std::size_t BareWalk(const BookmarkDocument& document);

// Visits the nodes below the document's root in document order until an element of the tag has
// the gid, as a lookup by gid does; returns how many it visited.
std::size_t BareFindByGid(const BookmarkDocument& document, const char* tag,
                          const std::string& gid);

// Writes the bytes to a new file beside the path, syncs it and renames it over the path: the
// way every writer replaces a file.
std::size_t BareReplaceFile(const std::string& path, std::string_view bytes);

// A store file's steps: header line, Base64 and a pugixml parse with the store's options for
// reading; a pugixml serialisation with the store's options and Base64 for writing, the file
// replaced as above.
std::size_t BareReadStoreFile(const std::string& path);
std::size_t BareWriteStoreFile(const BookmarkDocument& document, const std::string& path);

} // namespace quillary::bench
