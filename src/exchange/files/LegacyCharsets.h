#pragma once

#include <string>
#include <string_view>

// Old bookmark files come in the charset of the machine that wrote them; these turn such bytes
// into UTF-8.
namespace quillary::html {

// The charset a META tag of the page names ("x-mac-roman" in «CONTENT="text/html;
// charset=x-mac-roman"»), as written; empty when no META tag names one.
std::string DeclaredCharset(std::string_view bytes);

// Decodes bytes that are not UTF-8: with the charset the page declares when the system knows it,
// otherwise as Windows-1252. A byte the charset cannot map becomes U+FFFD.
std::string DecodeLegacyText(std::string_view bytes);

// Decodes with the named charset; false when the system does not know the name.
bool DecodeWithCharset(std::string_view bytes, const std::string& charset, std::string& out);

} // namespace quillary::html
