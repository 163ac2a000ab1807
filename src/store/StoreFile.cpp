#include "store/StoreFile.h"

#include "base/Error.h"
#include "platform/Files.h"
#include "store/untBase64.h"

#include <cstring>

namespace quillary {

namespace {

// The second line of the text, where lines end at CR LF, a lone CR or a lone LF and a last line
// without an ending still counts. False when there is no second line.
bool SecondLine(std::string_view text, std::string_view& line) {
  size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos)
    return false;
  size_t next = end + 1;
  if (text[end] == '\r' && next < text.size() && text[next] == '\n')
    ++next;
  if (next >= text.size())
    return false;
  std::string_view rest = text.substr(next);
  line = rest.substr(0, rest.find_first_of("\r\n"));
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
