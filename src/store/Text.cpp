#include "store/Text.h"

namespace quillary {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

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

} // namespace quillary
