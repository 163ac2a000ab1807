#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A forgiving HTML tokenizer: splits a byte buffer into a flat list of text runs, tags, comments
// and server-script sections, each a view into the buffer. No tree, no nesting checks, no
// character references decoded; malformed markup gives odd items, never a failure.
namespace quillary {

using THTMLErrorHandler =
    std::function<void(const std::string& message, const std::string& context)>;

// A span of the parser's buffer; copied out only when read.
class THTMLItem {
public:
  THTMLItem() = default;
  THTMLItem(const char* start, std::int32_t length) : Start(start), Length(length) {}

  // The span as text; empty when unset or not positive.
  std::string Text() const { return std::string(View()); }
  std::string_view View() const {
    return Start && Length > 0 ? std::string_view(Start, static_cast<std::size_t>(Length))
                               : std::string_view();
  }

  const char* Start = nullptr; // unset for an item that was never placed
  std::int32_t Length = 0;
};

// The three plain kinds differ only in kind.
class THTMLText : public THTMLItem {
public:
  using THTMLItem::THTMLItem;
};
class THTMLComment : public THTMLItem {
public:
  using THTMLItem::THTMLItem;
};
class THTMLServerScript : public THTMLItem {
public:
  using THTMLItem::THTMLItem;
};

class THTMLParam {
public:
  THTMLItem Raw;   // the attribute's source text
  THTMLItem Name;  // as written
  THTMLItem Value; // without its surrounding quotes; empty when written without "="
};

class THTMLTag {
public:
  // The parser's handler, shared rather than copied into every tag; null when none.
  const THTMLErrorHandler* OnError = nullptr;
  THTMLItem Name; // up to the first whitespace outside quotes, with any leading "/" or "!"
  THTMLItem Raw;  // the whole body between "<" and ">"
  std::vector<THTMLParam> Params; // empty when the tag has no attribute

  bool HasParams() const { return !Params.empty(); }
};

// One entry of the item list is exactly one of these; consumers test the exact kind.
using THTMLEntry = std::variant<THTMLText, THTMLComment, THTMLServerScript, THTMLTag>;

class THTMLParser {
public:
  THTMLParser() = default;
  THTMLParser(const THTMLParser&) = delete; // items point into Source
  THTMLParser& operator=(const THTMLParser&) = delete;

  // Frees the items of any earlier parse and tokenizes the whole of Source. Never fails.
  void Parse();

  THTMLErrorHandler OnError;
  std::string LastTagName;
  std::ptrdiff_t Start = 0;
  std::ptrdiff_t End = 0;
  std::ptrdiff_t PrevEnd = -1;
  std::vector<THTMLEntry> Items;
  std::string Source; // filled by the caller before Parse

private:
  void Report(const char* message, std::string_view context) const;
  void AddPendingText();
  void AddMarkupItem();
  THTMLTag BuildTag(const char* body, std::ptrdiff_t m) const;
};

// The search primitives over a buffer of n bytes from s; -1 stands for none.
namespace html {

inline constexpr std::ptrdiff_t None = -1;

std::ptrdiff_t FindText(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s,
                        std::string_view pattern);
std::ptrdiff_t FindChar(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s, char c);
std::ptrdiff_t FindOutsideQuotes(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s, char c);
std::ptrdiff_t FindSpaceOutsideQuotes(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s);
std::ptrdiff_t SkipSpace(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s);
std::ptrdiff_t SkipSpaceBack(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s);

} // namespace html

} // namespace quillary
