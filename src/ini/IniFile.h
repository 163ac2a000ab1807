#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Initialization files as the settings file and Internet Explorer shortcuts use them: sections
// and keys matched without regard to ASCII case; a missing file, section or key reads as empty.
namespace quillary::ini {

// An initialization file is a few kilobytes; a longer one is not read.
inline constexpr std::size_t kMaxFileBytes = 1 << 20;

// The text of the file for the two operations below on text; empty when the file is missing,
// unreadable, not a regular file or longer than kMaxFileBytes.
std::string ReadText(const std::string& path);

// The value of the first matching key in the first matching section, without the blanks around
// it; empty when the file, section or key is missing.
std::string ReadValue(const std::string& path, std::string_view section, std::string_view key);

// Replaces the value of the key in place, or adds the key (and the section) where it is missing,
// creating the file as needed. Every other line stays byte for byte as it was. The file is
// replaced atomically; a refused write, or a file that ReadText would not read, raises
// "Unable to write to <path>".
void WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value);

// The same two operations on text held in memory.
std::string ReadValueFromText(std::string_view text, std::string_view section,
                              std::string_view key);
std::string WriteValueToText(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);

} // namespace quillary::ini
