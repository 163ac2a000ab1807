#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace quillary {

// Names a source or target of an exchange run. The values are the ones the settings and the
// run lists have always used.
enum class SourceKind : std::uint8_t {
  InternetExplorer = 0,
  Firefox2 = 1,
  Firefox3 = 2,
  Opera = 3,
  Safari = 4,
  Netscape = 5,
  SeaMonkey = 6,
  BackupFile = 7,
};

constexpr int IndexOf(SourceKind kind) {
  return static_cast<int>(kind);
}

// The browser kinds, whose locations the settings file keeps, in their order.
inline constexpr std::array<SourceKind, 7> kBrowserKinds = {
    SourceKind::InternetExplorer, SourceKind::Firefox2, SourceKind::Firefox3, SourceKind::Opera,
    SourceKind::Safari,           SourceKind::Netscape, SourceKind::SeaMonkey};

constexpr bool IsBrowserKind(SourceKind kind) {
  return std::ranges::find(kBrowserKinds, kind) != kBrowserKinds.end();
}

// The settings key of a browser kind ("ie", "firefox2", ...); empty for any other value.
std::string_view SettingsKeyOf(SourceKind kind);

} // namespace quillary
