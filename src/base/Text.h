#pragma once

#include <string>
#include <string_view>

// Small text rules shared across the program. Text is UTF-8; only ASCII letters change case.
namespace quillary {

// Without the leading and trailing characters whose codes are 32 or less (blanks and control
// characters), which is what "trimmed" means throughout the program.
std::string_view TrimmedView(std::string_view text);
inline std::string Trimmed(std::string_view text) {
  return std::string(TrimmedView(text));
}

inline char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
void LowerAsciiInPlace(std::string& text);

// Appends the code point's UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t codePoint);

// At most maxBytes bytes of the text, cut between UTF-8 characters, never inside one.
std::string TruncatedUtf8(std::string text, size_t maxBytes);

// True when the bytes are well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool IsWellFormedUtf8(std::string_view bytes);

// The bytes with every well-formed UTF-8 sequence kept and every other byte read as the
// Windows-1252 character it stands for (U+FFFD for the five bytes that code page leaves open),
// so that text from a file in an old 8-bit code page, or with a stray byte, stays readable and
// everything written from it is UTF-8.
std::string RepairedUtf8(std::string_view bytes);

// For line-based files: every line break (CR LF, CR or LF) of a name becomes one blank, and an
// address loses its tabs and line breaks, as browsers drop them from addresses anyway.
std::string OnOneLine(std::string_view name);
std::string AddressOnOneLine(std::string_view url);

// The text itself when it is well-formed UTF-8, else its repaired form kept in buffer: writers
// use it so that every file they write is UTF-8, whatever the collection holds.
std::string_view AsUtf8(std::string_view text, std::string& buffer);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace quillary
