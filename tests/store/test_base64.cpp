#include "store/untBase64.h"

#include <gtest/gtest.h>

#include <ostream>

#include <random>

using namespace quillary;

struct Vector {
  const char* plain;
  const char* encoded;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Vector& c, std::ostream* out) {
  *out << '"' << c.encoded << '"';
}

class Rfc4648 : public testing::TestWithParam<Vector> {};

TEST_P(Rfc4648, EncodesAndDecodes) {
  EXPECT_EQ(Base64Encode(GetParam().plain), GetParam().encoded);
  EXPECT_EQ(Base64Decode(GetParam().encoded), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Vectors, Rfc4648,
                         testing::Values(Vector{"", ""}, Vector{"f", "Zg=="}, Vector{"fo", "Zm8="},
                                         Vector{"foo", "Zm9v"}, Vector{"foob", "Zm9vYg=="},
                                         Vector{"fooba", "Zm9vYmE="},
                                         Vector{"foobar", "Zm9vYmFy"}));

struct Lenient {
  const char* name;
  std::string text;
  std::string bytes;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Lenient& c, std::ostream* out) {
  *out << '"' << c.name << '"';
}

class LenientDecoding : public testing::TestWithParam<Lenient> {};

TEST_P(LenientDecoding, NeverFails) {
  EXPECT_EQ(Base64Decode(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LenientDecoding,
    testing::Values(Lenient{"ShorterThanFour", "Zm9", ""},
                    Lenient{"OneToThreeCharactersAfterTheLastGroupAreIgnored", "Zm9vYg", "foo"},
                    Lenient{"ForeignCharactersCountAsZero", "Zm 9", "f\x60\x3d"},
                    Lenient{"LineBreakInsideCountsAsZero", "Zm\n9", "f\x60\x3d"},
                    Lenient{"PadInsideCountsAsZero", "Zg==Zm8=",
                            std::string("f\x00\x00"
                                        "fo",
                                        5)},
                    Lenient{"ThreePadsLeaveNothingOfTheGroup", "Zg===", ""},
                    Lenient{"LongPadRunShortensEarlierGroups", "Zm9vZm9v======", "foo"},
                    Lenient{"OnlyPads", "========", ""}),
    [](const testing::TestParamInfo<Lenient>& info) { return info.param.name; });

TEST(Base64, RandomBytesRoundTrip) {
  std::mt19937 random(7);
  for (int length = 0; length < 300; ++length) {
    std::string bytes(length, '\0');
    for (char& c : bytes)
      c = static_cast<char>(random());
    std::string text = Base64Encode(bytes);
    ASSERT_EQ(text.size(), (bytes.size() + 2) / 3 * 4);
    ASSERT_EQ(
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
        std::string::npos);
    ASSERT_EQ(Base64Decode(text), bytes);
  }
}

// Decoding every short text of awkward characters must stay inside its buffers (run under the
// sanitizers in CI).
TEST(Base64, HostileInputStaysInBounds) {
  const std::string alphabet = "A=\n\xff/";
  for (int length = 0; length <= 9; ++length) {
    std::string text(length, 'A');
    for (int code = 0; code < 625 && length > 0; ++code) {
      for (int i = 0, c = code; i < length; ++i, c /= 5)
        text[i] = alphabet[c % 5];
      std::string bytes = Base64Decode(text);
      ASSERT_LE(bytes.size(), static_cast<size_t>(length / 4 * 3));
    }
  }
}
