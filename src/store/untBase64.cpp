#include "store/untBase64.h"

#include <array>
#include <cstdint>

namespace quillary {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
  std::array<std::uint8_t, 256> table{}; // every other character decodes as 0
  for (std::uint8_t i = 0; i < 64; ++i)
    table[static_cast<unsigned char>(kAlphabet[i])] = i;
  return table;
}

constexpr auto kDecode = MakeDecodeTable();

} // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.resize((bytes.size() + 2) / 3 * 4);
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  size_t o = 0;
  size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = kAlphabet[(v >> 6) & 63];
    out[o++] = kAlphabet[v & 63];
  }
  if (n - i == 1) {
    std::uint32_t v = in[i] << 16;
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = '=';
    out[o++] = '=';
  } else if (n - i == 2) {
    std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8);
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = kAlphabet[(v >> 6) & 63];
    out[o++] = '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  const size_t length = text.size();
  if (length < 4)
    return {};
  size_t padding = 0;
  while (padding < length && text[length - 1 - padding] == '=')
    ++padding;
  const size_t groups = length / 4;
  const size_t full = groups * 3;
  std::string out;
  out.resize(full);
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t g = 0; g < groups; ++g) {
    const unsigned char* c = in + g * 4;
    std::uint32_t v =
        (kDecode[c[0]] << 18) | (kDecode[c[1]] << 12) | (kDecode[c[2]] << 6) | kDecode[c[3]];
    out[g * 3] = static_cast<char>(v >> 16);
    out[g * 3 + 1] = static_cast<char>(v >> 8);
    out[g * 3 + 2] = static_cast<char>(v);
  }
  out.resize(padding < full ? full - padding : 0);
  return out;
}

} // namespace quillary
