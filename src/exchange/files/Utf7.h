#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-7, in which Windows keeps a shortcut's address when the address is not plain ASCII.
namespace quillary {

// The UTF-8 text of the UTF-7 bytes; none when they are not well-formed UTF-7.
std::optional<std::string> Utf8FromUtf7(std::string_view utf7);

// The UTF-7 form of UTF-8 text; none when the text is not well-formed UTF-8.
std::optional<std::string> Utf7FromUtf8(std::string_view utf8);

} // namespace quillary
