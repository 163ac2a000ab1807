#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillary {

// Names a source or target of an exchange run.
using SourceKind = std::uint8_t;

namespace kind {
inline constexpr SourceKind InternetExplorer = 0;
inline constexpr SourceKind Firefox2 = 1;
inline constexpr SourceKind Firefox3 = 2;
inline constexpr SourceKind Opera = 3;
inline constexpr SourceKind Safari = 4;
inline constexpr SourceKind Netscape = 5;
inline constexpr SourceKind SeaMonkey = 6;
inline constexpr SourceKind BackupFile = 7;
} // namespace kind

// The settings key of a browser kind 0..6 ("ie", "firefox2", ...); empty for any other value.
std::string_view SettingsKeyOf(SourceKind kind);

} // namespace quillary
