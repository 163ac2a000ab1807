#pragma once

#include <string>
#include <string_view>

// Character references in bookmark names and addresses, both ways.
namespace quillary::html {

// Replaces every reference ended by ";" that names a character: the numeric forms ("&#39;",
// "&#x27;") and the named ones browsers write ("&amp;", "&nbsp;", the Latin-1 letters, ...).
// Code points that no character may have become U+FFFD. Any other "&" stays as it is, since old
// writers leave bare ones in addresses ("?a=1&center=2").
std::string DecodeCharacterReferences(std::string_view text);

// Escapes "&", "<", ">" and the double quote, so the text fits in an attribute or between tags.
std::string EscapeMarkup(std::string_view text);
void AppendEscapedMarkup(std::string& out, std::string_view text);

} // namespace quillary::html
