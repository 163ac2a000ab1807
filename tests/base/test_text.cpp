#include "base/Text.h"

#include <gtest/gtest.h>

using namespace quillary;

TEST(Text, TrimmingRemovesBlanksAndControlCharactersOnly) {
  EXPECT_EQ(Trimmed(" \t\r\n\x01 a b \x1f\x20"), "a b");
  EXPECT_EQ(Trimmed("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0"); // no-break spaces stay
  EXPECT_EQ(Trimmed("   "), "");
}

TEST(Text, CaseRulesTouchAsciiLettersOnly) {
  std::string text = "ÄBC-É-xyz";
  LowerAsciiInPlace(text);
  EXPECT_EQ(text, "Äbc-É-xyz");
  EXPECT_TRUE(EqualsIgnoringAsciiCase("FoLdEr", "folder"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("É", "é"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("folder", "folders"));
}

// Well-formed sequences are kept byte for byte; every other byte is its Windows-1252 character.
TEST(Text, Utf8RepairTable) {
  struct Case {
    std::string bytes;
    bool wellFormed;
    std::string repaired;
  };
  const Case cases[] = {
      {"plain ascii, long enough for a word", true, "plain ascii, long enough for a word"},
      {"Ünï €𝄞", true, "Ünï €𝄞"},
      {"caf\xE9", false, "café"},
      {"\x80\x81\x8D\x9F", false, "€\uFFFD\uFFFDŸ"},
      {"\xC0\xAF", false, "À¯"},                // overlong
      {"\xED\xA0\x80", false, "í\u00A0€"},      // surrogate
      {"\xF4\x90\x80\x80", false, "ô\uFFFD€€"}, // above U+10FFFF
      {"ok\xE2\x82", false, "okâ‚"},            // cut short
      {"\xE2\x82\xAC\xFF", false, "€ÿ"},        // valid sequence, then a stray byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(IsWellFormedUtf8(c.bytes), c.wellFormed);
    EXPECT_EQ(RepairedUtf8(c.bytes), c.repaired);
    EXPECT_TRUE(IsWellFormedUtf8(RepairedUtf8(c.bytes)));
    std::string buffer;
    EXPECT_EQ(AsUtf8(c.bytes, buffer), c.repaired);
  }
}

TEST(Text, LineBreaksLeaveNamesAndAddressesForLineBasedFiles) {
  EXPECT_EQ(OnOneLine("a\r\nb\rc\nd\n\ne\tf"), "a b c d  e\tf");
  EXPECT_EQ(AddressOnOneLine("http://x/\r\n?a=\t1\n"), "http://x/?a=1");
  EXPECT_EQ(OnOneLine("plain"), "plain");
}
