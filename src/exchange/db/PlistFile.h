#pragma once

#include "base/NestingLimit.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <plist/plist.h>

// Property lists in both of their forms, XML and binary, read and written with libplist. The
// library recurses once per nesting level when it writes, copies or frees a tree, so every input
// is measured before it is handed over, and callers run their work on a stack of kPlistStack.
namespace quillary::plist {

// Enough levels for a collection nested as deep as kMaxFolderDepth: each folder takes two (its
// dictionary and its list), and a bookmark's own dictionaries a few more.
inline constexpr std::size_t kMaxNesting = 2 * kMaxFolderDepth + 16;

// The stack the library needs for kMaxNesting levels, with room to spare.
inline constexpr std::size_t kPlistStack = 64u << 20;

struct FreeTree {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Tree = std::unique_ptr<void, FreeTree>;

enum class Format { Xml, Binary };

struct Parsed {
  Tree root;
  Format format;
};

// The property list in the bytes, in whichever form they hold it. subject names the file in the
// messages: "<subject> is not well-formed XML." and the like, NestedTooDeep(subject) for
// nesting beyond kMaxNesting. XML is read as UTF-8 whatever its declaration says, its line ends
// normalised as XML prescribes; a document type is skipped, and one that declares entities is
// refused, as is a binary list whose shared parts would expand beyond its size.
Parsed Parse(std::string_view bytes, const std::string& subject);

// The tree in the given form. XML gets CR LF line ends and indentation of at most 64 tabs; a
// carriage return inside a value is written as a character reference so that it reads back as
// itself.
std::string Serialise(plist_t root, Format format);

} // namespace quillary::plist
