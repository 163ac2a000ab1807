#pragma once

#include <string>
#include <string_view>

namespace quillary {

// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).
std::string Base64Encode(std::string_view bytes);

// Lenient decoding that never fails: characters outside the alphabet count as 0, the trailing
// run of "=" shortens the last group, and one to three characters after the last whole group
// are ignored. A trailing run longer than the group it ends removes as many bytes in all.
std::string Base64Decode(std::string_view text);

} // namespace quillary
