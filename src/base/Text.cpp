#include "base/Text.h"

#include <cstdint>
#include <cstring>

namespace quillary {

namespace {

// The length of the well-formed UTF-8 sequence at p, or 0 when none starts there.
size_t SequenceLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char c = *p;
  if (c < 0x80)
    return 1;
  size_t length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0)
      low = 0xA0; // overlong
    if (c == 0xED)
      high = 0x9F; // surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0)
      low = 0x90; // overlong
    if (c == 0xF4)
      high = 0x8F; // above U+10FFFF
  } else {
    return 0;
  }
  if (static_cast<size_t>(end - p) < length || p[1] < low || p[1] > high)
    return 0;
  for (size_t i = 2; i < length; ++i)
    if (p[i] < 0x80 || p[i] > 0xBF)
      return 0;
  return length;
}

// Windows-1252's characters for the bytes 0x80 to 0x9F; 0xA0 to 0xFF are Latin-1's.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

} // namespace

std::string_view TrimmedView(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32)
    ++first;
  size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
    --last;
  return text.substr(first, last - first);
}

void LowerAsciiInPlace(std::string& text) {
  for (char& c : text)
    c = LowerAscii(c);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i]))
      return false;
  return true;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string TruncatedUtf8(std::string text, size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text;
  size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    --cut;
  text.resize(cut);
  return text;
}

bool IsWellFormedUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // Plain ASCII eight bytes at a time.
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        p += 8;
        continue;
      }
    }
    const size_t length = SequenceLength(p, end);
    if (length == 0)
      return false;
    p += length;
  }
  return true;
}

std::string RepairedUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const size_t length = SequenceLength(p, end);
    if (length > 0) {
      out.append(reinterpret_cast<const char*>(p), length);
      p += length;
      continue;
    }
    const unsigned char c = *p++;
    AppendUtf8(out, c < 0xA0 ? kWindows1252High[c - 0x80] : char32_t{c});
  }
  return out;
}

std::string OnOneLine(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\r' || name[i] == '\n') {
      if (name[i] == '\r' && i + 1 < name.size() && name[i + 1] == '\n')
        ++i;
      out.push_back(' ');
    } else {
      out.push_back(name[i]);
    }
  }
  return out;
}

std::string AddressOnOneLine(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (char c : url)
    if (c != '\r' && c != '\n' && c != '\t')
      out.push_back(c);
  return out;
}

std::string_view AsUtf8(std::string_view text, std::string& buffer) {
  if (IsWellFormedUtf8(text))
    return text;
  buffer = RepairedUtf8(text);
  return buffer;
}

} // namespace quillary
