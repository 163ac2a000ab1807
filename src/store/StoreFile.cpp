#include "store/StoreFile.h"

#include "base/Error.h"
#include "platform/Files.h"
#include "store/untBase64.h"

#include <cstring>

namespace quillary {

namespace {

// Where the line starting at begin ends: at its first CR or LF, else at the end of the text.
// Two memchr scans instead of find_first_of, which tests every byte against the set and made
// up a tenth of reading a large store file.
std::size_t LineEnd(std::string_view text, std::size_t begin) {
  const char* start = text.data() + begin;
  const std::size_t length = text.size() - begin;
  const void* lf = std::memchr(start, '\n', length);
  const std::size_t lfAt = lf ? static_cast<const char*>(lf) - start : length;
  const void* cr = std::memchr(start, '\r', lfAt);
  return begin + (cr ? static_cast<const char*>(cr) - start : lfAt);
}

// The second line of the text, where lines end at CR LF, a lone CR or a lone LF and a last line
// without an ending still counts. False when there is no second line.
bool SecondLine(std::string_view text, std::string_view& line) {
  const std::size_t end = LineEnd(text, 0);
  if (end == text.size())
    return false;
  std::size_t next = end + 1;
  if (text[end] == '\r' && next < text.size() && text[next] == '\n')
    ++next;
  if (next >= text.size())
    return false;
  line = text.substr(next, LineEnd(text, next) - next);
  return true;
}

} // namespace

void WriteStoreFile(const BookmarkDocument& document, const std::string& path) {
  std::string xml = Serialise(document);
  if (size_t zero = xml.find('\0'); zero != std::string::npos)
    xml.resize(zero);
  std::string file;
  const size_t headerLength = std::strlen(kStoreFileHeader);
  file.reserve(headerLength + 4 + (xml.size() + 2) / 3 * 4);
  file.append(kStoreFileHeader, headerLength);
  file.append("\r\n");
  file.append(Base64Encode(xml));
  xml = {};
  file.append("\r\n");
  platform::WriteFileChecked(path, file);
}

void ReadStoreFile(BookmarkDocument& document, const std::string& source) {
  std::string text;
  text = platform::ReadFileChecked(source);
  std::string_view payload;
  if (!SecondLine(text, payload))
    throw Error("The file \"" + source + "\" is not a Quillary bookmark file.");
  std::string xml = Base64Decode(payload);
  text = {};
  Parse(document, xml);
  try {
    CheckNestingDepth(document);
  } catch (...) {
    document.reset();
    throw;
  }
}

} // namespace quillary
