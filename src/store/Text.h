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

void LowerAsciiInPlace(std::string& text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace quillary
