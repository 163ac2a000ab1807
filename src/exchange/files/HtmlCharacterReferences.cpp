#include "exchange/files/HtmlCharacterReferences.h"

#include "base/Text.h"

#include <array>
#include <cstring>
#include <utility>

namespace quillary::html {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kTooLarge = 0x110000;

// The names of U+00A0 to U+00FF, in code point order.
constexpr std::array<const char*, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr std::pair<const char*, char32_t> kOtherNames[] = {
    {"amp", '&'},       {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
    {"AMP", '&'},       {"LT", '<'},       {"GT", '>'},       {"QUOT", '"'},     {"euro", 0x20AC},
    {"hellip", 0x2026}, {"mdash", 0x2014}, {"ndash", 0x2013}, {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"ldquo", 0x201C},  {"rdquo", 0x201D}, {"bull", 0x2022},  {"trade", 0x2122}};

// What browsers make of the numeric references 128 to 159: the Windows-1252 characters.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsAlnum(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c) {
  if (IsDigit(c))
    return c - '0';
  return (c | 0x20) - 'a' + 10;
}

bool LookUpName(std::string_view name, char32_t& codePoint) {
  for (const auto& [known, value] : kOtherNames)
    if (name == known) {
      codePoint = value;
      return true;
    }
  for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
    if (name == kLatin1Names[i]) {
      codePoint = static_cast<char32_t>(0xA0 + i);
      return true;
    }
  return false;
}

char32_t SoundCodePoint(char32_t value) {
  if (value >= 0x80 && value <= 0x9F)
    return kWindows1252High[value - 0x80];
  if (value == 0 || value >= kTooLarge || (value >= 0xD800 && value <= 0xDFFF))
    return kReplacement;
  return value;
}

// Reads the reference that starts at text[at] == '&'; on success gives its code point and the
// position after its ";".
bool ReadReference(std::string_view text, std::size_t at, char32_t& codePoint, std::size_t& next) {
  std::size_t p = at + 1;
  if (p < text.size() && text[p] == '#') {
    ++p;
    const bool hex = p < text.size() && (text[p] == 'x' || text[p] == 'X');
    if (hex)
      ++p;
    const std::size_t digits = p;
    char32_t value = 0;
    for (; p < text.size() && (hex ? IsHexDigit(text[p]) : IsDigit(text[p])); ++p) {
      const char32_t digit = static_cast<char32_t>(hex ? HexValue(text[p]) : text[p] - '0');
      value = value >= kTooLarge ? kTooLarge : value * (hex ? 16 : 10) + digit;
    }
    if (p == digits || p >= text.size() || text[p] != ';')
      return false;
    codePoint = SoundCodePoint(value);
    next = p + 1;
    return true;
  }
  const std::size_t name = p;
  while (p < text.size() && p - name < 16 && IsAlnum(text[p]))
    ++p;
  if (p == name || p >= text.size() || text[p] != ';')
    return false;
  if (!LookUpName(text.substr(name, p - name), codePoint))
    return false;
  next = p + 1;
  return true;
}

} // namespace

std::string DecodeCharacterReferences(std::string_view text) {
  std::size_t amp = text.find('&');
  if (amp == std::string_view::npos)
    return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  while (amp != std::string_view::npos) {
    char32_t codePoint = 0;
    std::size_t next = 0;
    if (ReadReference(text, amp, codePoint, next)) {
      out.append(text.substr(copied, amp - copied));
      AppendUtf8(out, codePoint);
      copied = next;
      amp = text.find('&', next);
    } else {
      amp = text.find('&', amp + 1);
    }
  }
  out.append(text.substr(copied));
  return out;
}

void AppendEscapedMarkup(std::string& out, std::string_view text) {
  std::size_t copied = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* replacement = nullptr;
    switch (text[i]) {
    case '&':
      replacement = "&amp;";
      break;
    case '<':
      replacement = "&lt;";
      break;
    case '>':
      replacement = "&gt;";
      break;
    case '"':
      replacement = "&quot;";
      break;
    default:
      continue;
    }
    out.append(text.substr(copied, i - copied));
    out.append(replacement);
    copied = i + 1;
  }
  out.append(text.substr(copied));
}

std::string EscapeMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscapedMarkup(out, text);
  return out;
}

} // namespace quillary::html
