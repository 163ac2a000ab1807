#pragma once

#include "base/NestingLimit.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <plist/plist.h>

// Property lists in both of their forms, XML and binary, read and written with libplist. The
// library recurses once per nesting level when it reads binary, writes, copies or frees a tree,
// so every input is measured before it is handed over, and deep trees are handled on a stack of
// kPlistStack.
namespace quillary::plist {

// Enough levels for a collection nested as deep as kMaxFolderDepth: each folder takes two (its
// dictionary and its list), and a bookmark's own dictionaries a few more.
inline constexpr std::size_t kMaxNesting = 2 * kMaxFolderDepth + 16;

// The stack the library needs for kMaxNesting levels, with room to spare.
inline constexpr std::size_t kPlistStack = 64u << 20;

// Levels that the library handles within a stack of a few hundred kilobytes.
inline constexpr std::size_t kShallowNesting = 512;

struct FreeTree {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Tree = std::unique_ptr<void, FreeTree>;

enum class Format { Xml, Binary };

// What is known of the bytes before the library sees them.
struct Measured {
  Format format;
  std::size_t nesting;      // levels of elements (XML) or of lists and dictionaries (binary)
  std::string firstElement; // XML only
};

// Measures the bytes as Parse needs them measured: NestedTooDeep(subject) for nesting beyond
// kMaxNesting, an error for a binary list whose shared parts would expand beyond its size.
Measured Measure(std::string_view bytes, const std::string& subject);

struct Parsed {
  Tree root;
  Format format;
};

// The property list in the bytes, in whichever form they hold it, measured first. subject names
// the file in the messages: "<subject> is not well-formed XML." and the like. XML is read as
// UTF-8 whatever its declaration says, its line ends normalised as XML prescribes; a document
// type is skipped, and one that declares entities is refused.
Parsed Parse(std::string_view bytes, const Measured& measured, const std::string& subject);

// Runs work, which handles trees nested up to nesting levels, on the calling thread when that
// is shallow enough for any thread's stack, else on a stack of kPlistStack.
void RunWithRoomFor(std::size_t nesting, const std::function<void()>& work);

// The tree in the given form. XML gets CR LF line ends and indentation of at most 64 tabs; a
// carriage return inside a value is written as a character reference so that it reads back as
// itself.
std::string Serialise(plist_t root, Format format);

} // namespace quillary::plist
