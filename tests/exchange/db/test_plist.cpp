#include "base/Error.h"
#include "exchange/db/PlistFile.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace quillary;

namespace {

std::string LibraryXmlWithCrLf(plist_t root) {
  char* xml = nullptr;
  uint32_t size = 0;
  plist_to_xml(root, &xml, &size);
  const std::unique_ptr<char, void (*)(char*)> owned(xml, plist_to_xml_free);
  std::string out;
  std::string_view text(xml, size);
  if (text.ends_with('\0'))
    text.remove_suffix(1);
  for (char c : text)
    c == '\n' ? out.append("\r\n") : out.append(1, c);
  return out;
}

plist::Parsed Read(std::string_view bytes) {
  return plist::Parse(bytes, plist::Measure(bytes, "The test"), "The test");
}

// Every kind of value, the markup characters and a line break, a few levels deep. The library
// wraps data at a width that depends on its depth, so data can be left out.
plist::Tree EveryKind(bool withData = true) {
  plist::Tree root(plist_new_dict());
  plist_t list = plist_new_array();
  plist_dict_set_item(root.get(), "a <list> & more", list);
  plist_array_append_item(list, plist_new_string("x < y & \"z\" > 'w'\nsecond line"));
  plist_array_append_item(list, plist_new_string(""));
  plist_array_append_item(list, plist_new_bool(1));
  plist_array_append_item(list, plist_new_bool(0));
  plist_array_append_item(list, plist_new_uint(static_cast<uint64_t>(-3)));
  plist_array_append_item(list, plist_new_uint(42));
  plist_array_append_item(list, plist_new_real(0.1));
  plist_array_append_item(list, plist_new_date(667967451, 0));
  if (withData) {
    const std::string bytes = std::string("\x00\x01\x02", 3) +
                              " some bytes that wrap over the line length of the library's "
                              "base64 output";
    plist_array_append_item(list, plist_new_data(bytes.data(), bytes.size()));
  }
  plist_array_append_item(list, plist_new_uid(7));
  plist_array_append_item(list, plist_new_dict());
  plist_array_append_item(list, plist_new_array());
  plist_t inner = plist_new_dict();
  plist_dict_set_item(inner, "", plist_new_string("empty key"));
  plist_array_append_item(list, inner);
  plist_dict_set_item(root.get(), "Caf\xC3\xA9", plist_new_string("\xE6\x97\xA5\xE6\x9C\xAC"));
  return root;
}

TEST(PlistXml, WritesWhatTheLibraryWritesWithCrLf) {
  plist::Tree root = EveryKind(false);
  EXPECT_EQ(plist::Serialise(root.get(), plist::Format::Xml), LibraryXmlWithCrLf(root.get()));
  QUILLARY_REQUIRE_SAMPLE(sample, "plist/safari-bookmarks-cli__Bookmarks.xml");
  plist::Parsed parsed = Read(test::ReadFile(sample));
  EXPECT_EQ(parsed.format, plist::Format::Xml);
  EXPECT_EQ(plist::Serialise(parsed.root.get(), plist::Format::Xml),
            LibraryXmlWithCrLf(parsed.root.get()));
}

TEST(PlistXml, BothFormsReadBackWhatWasWritten) {
  plist::Tree root = EveryKind();
  for (plist::Format format : {plist::Format::Xml, plist::Format::Binary}) {
    const std::string bytes = plist::Serialise(root.get(), format);
    plist::Parsed parsed = Read(bytes);
    EXPECT_EQ(parsed.format, format);
    EXPECT_EQ(LibraryXmlWithCrLf(parsed.root.get()), LibraryXmlWithCrLf(root.get()));
  }
}

// The library indents every line by its depth; deep lists must not grow with its square.
TEST(PlistXml, IndentationStopsAt64Levels) {
  plist::Tree root(plist_new_array());
  plist_t level = root.get();
  for (int i = 0; i < 200; ++i) {
    plist_t next = plist_new_array();
    plist_array_append_item(level, plist_new_string("a\n\t\tb"));
    plist_array_append_item(level, next);
    level = next;
  }
  plist_array_append_item(level, plist_new_data("abc", 3));
  const std::string xml = plist::Serialise(root.get(), plist::Format::Xml);
  EXPECT_EQ(xml.find(std::string(65, '\t') + "<"), std::string::npos);
  EXPECT_NE(xml.find(std::string(64, '\t') + "<array>"), std::string::npos);
  EXPECT_EQ(plist::Measure(xml, "The test").nesting, 203u); // plist and the innermost data
  plist::Parsed parsed = Read(xml);
  EXPECT_EQ(LibraryXmlWithCrLf(parsed.root.get()), LibraryXmlWithCrLf(root.get()));
}

} // namespace
