#include "ini/IniFile.h"

#include "base/Error.h"
#include "base/Text.h"
#include "platform/Files.h"

#include <vector>

namespace quillary::ini {

namespace {

struct Line {
  size_t begin; // first byte of the line
  size_t end;   // first byte of its line ending
  size_t next;  // first byte of the next line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  // An editor may have saved the file with a UTF-8 byte order mark; it belongs to no line.
  size_t begin = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({begin, text.size(), text.size()});
      break;
    }
    size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n')
      ++next;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

// The section name when the line is a section header.
bool SectionName(std::string_view line, std::string_view& name) {
  std::string_view trimmed = TrimmedView(line);
  if (trimmed.size() < 2 || trimmed.front() != '[')
    return false;
  size_t close = trimmed.find(']');
  if (close == std::string_view::npos)
    return false;
  name = TrimmedView(trimmed.substr(1, close - 1));
  return true;
}

// Position of the "=" when the line is a setting whose key matches.
bool MatchesKey(std::string_view line, std::string_view key, size_t& equals) {
  equals = line.find('=');
  return equals != std::string_view::npos &&
         EqualsIgnoringAsciiCase(TrimmedView(line.substr(0, equals)), key);
}

struct Found {
  bool section = false;
  size_t sectionEnd = 0; // where a new key of the section goes
  bool key = false;
  size_t valueBegin = 0;
  size_t valueEnd = 0;
};

Found Locate(std::string_view text, std::string_view section, std::string_view key) {
  Found found;
  bool inSection = false;
  for (const Line& line : SplitLines(text)) {
    std::string_view content = text.substr(line.begin, line.end - line.begin);
    std::string_view name;
    if (SectionName(content, name)) {
      if (inSection)
        break; // the first matching section ends here
      inSection = EqualsIgnoringAsciiCase(name, section);
      if (inSection) {
        found.section = true;
        found.sectionEnd = line.next;
      }
      continue;
    }
    if (!inSection)
      continue;
    size_t equals;
    if (MatchesKey(content, key, equals)) {
      found.key = true;
      found.valueBegin = line.begin + equals + 1;
      found.valueEnd = line.end;
      return found;
    }
    if (!TrimmedView(content).empty())
      found.sectionEnd = line.next;
  }
  return found;
}

std::string_view LineEndingOf(std::string_view text) {
  size_t end = text.find_first_of("\r\n");
  if (end != std::string_view::npos && text[end] == '\n')
    return "\n";
  return "\r\n";
}

} // namespace

std::string ReadValueFromText(std::string_view text, std::string_view section,
                              std::string_view key) {
  Found found = Locate(text, section, key);
  if (!found.key)
    return {};
  return std::string(TrimmedView(text.substr(found.valueBegin, found.valueEnd - found.valueBegin)));
}

std::string WriteValueToText(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value) {
  Found found = Locate(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  const std::string_view eol = LineEndingOf(text);
  if (found.key) {
    out.append(text.substr(0, found.valueBegin));
    out.append(value);
    out.append(text.substr(found.valueEnd));
    return out;
  }
  std::string setting = std::string(key) + "=" + std::string(value) + std::string(eol);
  if (found.section) {
    size_t at = found.sectionEnd;
    out.append(text.substr(0, at));
    // A section that is the file's last line may lack its line ending.
    if (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r')
      out.append(eol);
    out.append(setting);
    out.append(text.substr(at));
    return out;
  }
  out.append(text);
  if (!out.empty() && out.back() != '\n' && out.back() != '\r')
    out.append(eol);
  out.append("[").append(section).append("]").append(eol);
  out.append(setting);
  return out;
}

std::string ReadText(const std::string& path) {
  try {
    return platform::ReadRegularFile(path, kMaxFileBytes);
  } catch (const FileError&) {
    return {};
  }
}

std::string ReadValue(const std::string& path, std::string_view section, std::string_view key) {
  return ReadValueFromText(ReadText(path), section, key);
}

void WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value) {
  std::string text;
  const bool exists = platform::PathExists(path);
  try {
    if (exists)
      text = platform::ReadRegularFile(path, kMaxFileBytes);
  } catch (const FileError&) {
    throw Error("Unable to write to " + path);
  }
  const std::string updated = WriteValueToText(text, section, key, value);
  // Detection writes the same values at every start; an unchanged file is not rewritten.
  if (updated == text && exists)
    return;
  try {
    platform::WriteFileAtomically(path, updated);
  } catch (const FileError&) {
    throw Error("Unable to write to " + path);
  }
}

} // namespace quillary::ini
