#include "exchange/files/LegacyCharsets.h"

#include "base/Text.h"
#include "exchange/files/HtmlCharacterReferences.h"
#include "exchange/files/untHtmlpars2.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace quillary::html {

namespace {

bool IsCharsetNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':';
}

// The name the system's converter knows for a declared charset; empty for one that cannot
// describe bytes that are not UTF-8.
std::string ConverterName(const std::string& declared) {
  std::string name = declared;
  LowerAsciiInPlace(name);
  // The classic Mac names; "X-MAC-SYSTEM" is the system's own script, Roman for these files.
  if (name == "x-mac-roman" || name == "mac-roman" || name == "macintosh" || name == "mac" ||
      name == "x-mac-system")
    return "MACINTOSH";
  // Browsers read Latin-1 and ASCII pages as Windows-1252, and so do the pages' writers.
  if (name == "iso-8859-1" || name == "iso8859-1" || name == "latin1" || name == "l1" ||
      name == "us-ascii" || name == "ascii")
    return "WINDOWS-1252";
  if (name == "utf-8" || name == "utf8" || name == "x-user-defined")
    return "";
  return declared;
}

class Converter {
public:
  explicit Converter(const std::string& from) : handle_(::iconv_open("UTF-8", from.c_str())) {}
  ~Converter() {
    if (valid())
      ::iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

private:
  iconv_t handle_;
};

} // namespace

std::string DeclaredCharset(std::string_view bytes) {
  const char* buffer = bytes.data();
  const auto n = static_cast<std::ptrdiff_t>(bytes.size());
  for (std::ptrdiff_t meta = FindText(buffer, n, 0, "<meta"); meta != None;
       meta = FindText(buffer, n, meta + 1, "<meta")) {
    // The tag ends at its ">", or where the next one starts when the ">" is missing.
    std::ptrdiff_t end = meta + 1;
    while (end < n && buffer[end] != '>' && buffer[end] != '<')
      ++end;
    const std::string_view tag(buffer + meta, static_cast<std::size_t>(end - meta));
    const std::ptrdiff_t at =
        FindText(tag.data(), static_cast<std::ptrdiff_t>(tag.size()), 0, "charset");
    if (at == None)
      continue;
    std::size_t p = static_cast<std::size_t>(at) + 7;
    while (p < tag.size() && (tag[p] == ' ' || tag[p] == '\t'))
      ++p;
    if (p >= tag.size() || tag[p] != '=')
      continue;
    ++p;
    while (p < tag.size() && (tag[p] == ' ' || tag[p] == '\t' || tag[p] == '"' || tag[p] == '\''))
      ++p;
    const std::size_t name = p;
    while (p < tag.size() && IsCharsetNameByte(tag[p]))
      ++p;
    if (p > name)
      return std::string(tag.substr(name, p - name));
  }
  return "";
}

bool DecodeWithCharset(std::string_view bytes, const std::string& charset, std::string& out) {
  Converter converter(charset);
  if (!converter.valid())
    return false;
  out.clear();
  out.reserve(bytes.size() + bytes.size() / 4);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char chunk[16384];
  while (inLeft > 0) {
    char* outPointer = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = ::iconv(converter.get(), &in, &inLeft, &outPointer, &outLeft);
    out.append(chunk, static_cast<std::size_t>(outPointer - chunk));
    if (result != static_cast<std::size_t>(-1))
      continue;
    if (errno == E2BIG)
      continue;
    // A byte the charset does not map (EILSEQ), or a sequence cut off at the end (EINVAL).
    AppendUtf8(out, 0xFFFD);
    ++in;
    --inLeft;
  }
  return true;
}

std::string DecodeLegacyText(std::string_view bytes) {
  std::string out;
  // A byte-order mark of UTF-16 says more than any META tag inside the text.
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
    if (DecodeWithCharset(bytes, "UTF-16", out))
      return out;
  const std::string name = ConverterName(DeclaredCharset(bytes));
  if (!name.empty() && DecodeWithCharset(bytes, name, out))
    return out;
  DecodeWithCharset(bytes, "WINDOWS-1252", out);
  return out;
}

} // namespace quillary::html
