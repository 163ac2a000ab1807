#include "exchange/files/untHtmlpars2.h"

#include "base/Text.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace quillary {

namespace html {

namespace {

bool IsSpace(char c) {
  return c == 9 || c == 10 || c == 13 || c == 32;
}
bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// Scans from s outside quoted sections for the first byte the predicate accepts. Inside a quoted
// section only the closing quote matters, so memchr jumps over it (long ICON values live there).
template <typename Accept>
std::ptrdiff_t ScanOutsideQuotes(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s,
                                 Accept accept) {
  if (s < 0 || s >= n)
    return None;
  for (std::ptrdiff_t p = s; p < n; ++p) {
    const char c = buffer[p];
    if (IsQuote(c)) {
      const void* close = std::memchr(buffer + p + 1, c, static_cast<std::size_t>(n - p - 1));
      if (!close)
        return None;
      p = static_cast<const char*>(close) - buffer;
    } else if (accept(c)) {
      return p;
    }
  }
  return None;
}

} // namespace

std::ptrdiff_t FindText(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s,
                        std::string_view pattern) {
  const auto length = static_cast<std::ptrdiff_t>(pattern.size());
  if (s < 0 || s >= n || length == 0 || length > n - s)
    return None;
  const char first = LowerAscii(pattern[0]);
  const bool firstIsLetter = first >= 'a' && first <= 'z';
  const std::ptrdiff_t last = n - length; // the last position where a match still fits
  for (std::ptrdiff_t p = s; p <= last; ++p) {
    if (!firstIsLetter) {
      const void* hit = std::memchr(buffer + p, first, static_cast<std::size_t>(last - p + 1));
      if (!hit)
        return None;
      p = static_cast<const char*>(hit) - buffer;
    } else if (LowerAscii(buffer[p]) != first) {
      continue;
    }
    if (EqualsIgnoringAsciiCase(std::string_view(buffer + p + 1, pattern.size() - 1),
                                pattern.substr(1)))
      return p;
  }
  return None;
}

std::ptrdiff_t FindChar(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s, char c) {
  if (s < 0 || s >= n)
    return None;
  const void* hit = std::memchr(buffer + s, c, static_cast<std::size_t>(n - s));
  return hit ? static_cast<const char*>(hit) - buffer : None;
}

std::ptrdiff_t FindOutsideQuotes(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s, char c) {
  return ScanOutsideQuotes(buffer, n, s, [c](char b) { return b == c; });
}

std::ptrdiff_t FindSpaceOutsideQuotes(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s) {
  return ScanOutsideQuotes(buffer, n, s, IsSpace);
}

std::ptrdiff_t SkipSpace(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s) {
  if (s < 0)
    return None;
  for (std::ptrdiff_t p = s; p < n; ++p)
    if (!IsSpace(buffer[p]))
      return p;
  return None;
}

std::ptrdiff_t SkipSpaceBack(const char* buffer, std::ptrdiff_t n, std::ptrdiff_t s) {
  if (s < 0 || s >= n)
    return None;
  for (std::ptrdiff_t p = s; p >= 0; --p)
    if (!IsSpace(buffer[p]))
      return p;
  return None;
}

} // namespace html

namespace {

// Item lengths are 32-bit; a span beyond that is capped rather than wrapped.
std::int32_t SpanLength(std::ptrdiff_t length) {
  return static_cast<std::int32_t>(std::min<std::ptrdiff_t>(length, INT32_MAX));
}

THTMLItem Span(const char* buffer, std::ptrdiff_t from, std::ptrdiff_t length) {
  return THTMLItem(buffer + from, SpanLength(length));
}

} // namespace

void THTMLParser::Report(const char* message, std::string_view context) const {
  if (OnError)
    OnError(message, std::string(context));
}

void THTMLParser::AddPendingText() {
  const std::ptrdiff_t length = Start - PrevEnd - 1;
  if (length > 0)
    Items.emplace_back(std::in_place_type<THTMLText>, Source.data() + PrevEnd + 1,
                       SpanLength(length));
}

THTMLTag THTMLParser::BuildTag(const char* body, std::ptrdiff_t m) const {
  using namespace html;
  THTMLTag tag;
  tag.OnError = OnError ? &OnError : nullptr;
  tag.Raw = Span(body, 0, m);
  const std::ptrdiff_t w = FindSpaceOutsideQuotes(body, m, 0);
  if (w == None) {
    tag.Name = tag.Raw;
    return tag;
  }
  tag.Name = Span(body, 0, w);
  std::string context; // made once, however many keys are missing
  std::ptrdiff_t cursor = w;
  for (;;) {
    const std::ptrdiff_t p = SkipSpace(body, m, cursor + 1);
    if (p == None)
      break;
    const std::ptrdiff_t q = FindOutsideQuotes(body, m, p, '=');
    if (q == None) {
      // The rest of the body, trimmed, is one attribute without a value.
      const std::ptrdiff_t k = SkipSpaceBack(body, m, m - 1);
      if (k != None && k >= p) {
        THTMLParam param;
        param.Raw = Span(body, p, k - p + 1);
        param.Name = param.Raw;
        tag.Params.push_back(param);
      }
      break;
    }
    std::ptrdiff_t v = SkipSpace(body, m, q + 1);
    if (v == None)
      v = m;
    std::ptrdiff_t e = FindSpaceOutsideQuotes(body, m, v);
    if (e == None)
      e = m;
    std::ptrdiff_t valueStart = v;
    std::ptrdiff_t valueEnd = e;
    if (valueEnd > valueStart && (body[valueStart] == '"' || body[valueStart] == '\''))
      ++valueStart;
    if (valueEnd > valueStart && (body[valueEnd - 1] == '"' || body[valueEnd - 1] == '\''))
      --valueEnd;
    const std::ptrdiff_t k = SkipSpaceBack(body, m, q - 1);
    if (k == None || k < p) {
      if (OnError) {
        if (context.empty()) {
          context.reserve(static_cast<std::size_t>(m) + 2);
          context.push_back('<');
          context.append(body, static_cast<std::size_t>(m));
          context.push_back('>');
        }
        OnError("key not defined in tag", context);
      }
    } else {
      THTMLParam param;
      param.Raw = Span(body, p, e - p);
      param.Name = Span(body, p, k - p + 1);
      param.Value = Span(body, valueStart, valueEnd - valueStart);
      tag.Params.push_back(param);
    }
    cursor = e;
  }
  return tag;
}

void THTMLParser::AddMarkupItem() {
  const char* buffer = Source.data();
  const char* body = buffer + Start + 1;
  const std::ptrdiff_t m = End - Start - 1;
  if (m <= 0)
    return;
  if (body[0] == '%') {
    Items.emplace_back(std::in_place_type<THTMLServerScript>, buffer + Start + 2,
                       SpanLength(m - 2));
  } else if (m >= 3 && std::memcmp(body, "!--", 3) == 0) {
    Items.emplace_back(std::in_place_type<THTMLComment>, buffer + Start + 4, SpanLength(m - 5));
  } else {
    THTMLTag tag = BuildTag(body, m);
    LastTagName.assign(tag.Name.View());
    Items.emplace_back(std::move(tag));
  }
}

void THTMLParser::Parse() {
  using namespace html;
  Items.clear();
  LastTagName.clear();
  Start = 0;
  End = 0;
  PrevEnd = -1;
  const char* buffer = Source.data();
  const auto n = static_cast<std::ptrdiff_t>(Source.size());
  if (n == 0)
    return;
  if (FindText(buffer, n, 0, "<html") == None && FindText(buffer, n, 0, "<script") == None &&
      FindText(buffer, n, 0, "<body") == None) {
    Items.emplace_back(std::in_place_type<THTMLText>, buffer, SpanLength(n));
    return;
  }
  // Every item but the last text follows a "<", so this bounds the count and spares regrowth;
  // a hostile file full of "<" grows the list as it goes instead of asking for all at once.
  constexpr std::size_t kMostReserved = std::size_t{1} << 22;
  Items.reserve(
      std::min(2 * static_cast<std::size_t>(std::count(Source.begin(), Source.end(), '<')) + 1,
               kMostReserved));
  for (;;) {
    if (buffer[Start] == '<') {
      if (Start + 1 < n && buffer[Start + 1] == '%') {
        End = FindText(buffer, n, Start + 2, "%>");
        if (End != None)
          End += 1;
      } else if (Start + 3 < n && std::memcmp(buffer + Start + 1, "!--", 3) == 0) {
        End = FindText(buffer, n, Start + 2, "-->");
        if (End != None)
          End += 2;
      } else {
        End = FindOutsideQuotes(buffer, n, Start + 1, '>');
      }
      if (End == None) {
        Report("> not found",
               std::string_view(buffer + Start, static_cast<std::size_t>(n - Start)));
        return;
      }
      AddMarkupItem();
      Start = End;
      PrevEnd = End;
      continue;
    }
    const auto rawTextEnd = [&](std::string_view closing, const char* message) {
      Start = FindText(buffer, n, End + 1, closing);
      if (Start == None) {
        const std::ptrdiff_t from = std::min(End + 1, n);
        Report(message, std::string_view(buffer + from, static_cast<std::size_t>(n - from)));
        return false;
      }
      return true;
    };
    if (EqualsIgnoringAsciiCase(LastTagName, "script")) {
      if (!rawTextEnd("</script", "</script> not match"))
        return;
    } else if (EqualsIgnoringAsciiCase(LastTagName, "style")) {
      if (!rawTextEnd("</style", "</style> not match"))
        return;
    } else {
      Start = FindChar(buffer, n, End + 1, '<');
      if (Start == None) {
        Start = n;
        AddPendingText();
        return;
      }
    }
    AddPendingText();
  }
}

} // namespace quillary
