#include "platform/SimulatedPlatform.h"
#include "store/BookmarkDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <set>

using namespace quillary;

TEST(NewGid, HasTheRegistryFormWithoutBracesAndIsUnique) {
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string gid = NewGid();
    ASSERT_TRUE(std::regex_match(gid, form)) << gid;
    ASSERT_TRUE(seen.insert(gid).second) << "repeated " << gid;
  }
}

TEST(NewGid, FormatsThePlatformBytesInOrder) {
  platform::SimulatedPlatform simulated;
  simulated.queuedGuids.push_back({0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0x4c, 0xde, 0x8f, 0x01, 0x23,
                                   0x45, 0x67, 0x89, 0xab, 0xcd});
  platform::ScopedPlatform scoped(simulated);
  EXPECT_EQ(NewGid(), "01234567-89AB-4CDE-8F01-23456789ABCD");
}

TEST(BookmarkDocument, NewDocumentHasDeclarationAndRoot) {
  auto document = NewBookmarkDocument();
  Node root = Root(*document);
  ASSERT_TRUE(root);
  EXPECT_STREQ(root.name(), "folder");
  EXPECT_EQ(GetAttribute(root, "name"), "bookmarks");
  EXPECT_EQ(GetAttribute(root, "gid").size(), 36u);
  std::string text = Serialise(*document);
  EXPECT_EQ(
      text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<folder name=\"bookmarks\"", 0), 0u)
      << text;
}

TEST(BookmarkDocument, ElementKindIgnoresAsciiCaseOnly) {
  BookmarkDocument document;
  Parse(document, "<folder><Folder/><URL/><url/><FOLDER/><folders/><bookmark/>x<!--c--></folder>");
  std::vector<ElementKind> kinds;
  for (Node child : Root(document).children())
    kinds.push_back(KindOf(child));
  using K = ElementKind;
  EXPECT_EQ(kinds, (std::vector<K>{K::Folder, K::Bookmark, K::Bookmark, K::Folder, K::Other,
                                   K::Other, K::Other}));
  EXPECT_FALSE(IsExactFolder(Root(document).first_child()));
  EXPECT_TRUE(IsExactBookmark(Root(document).first_child().next_sibling().next_sibling()));
}

TEST(BookmarkDocument, AttributesAppendAndReplace) {
  auto document = NewBookmarkDocument();
  Node url = AppendElement(Root(*document), "url");
  EXPECT_EQ(GetAttribute(url, "gid"), "");
  SetAttribute(url, "name", "a");
  SetAttribute(url, "url", "u");
  SetAttribute(url, "name", "b");
  SetAttribute(url, "gid", "g");
  std::vector<std::string> names;
  for (auto attribute : url.attributes())
    names.push_back(attribute.name());
  EXPECT_EQ(names, (std::vector<std::string>{"name", "url", "gid"}));
  EXPECT_EQ(GetAttribute(url, "name"), "b");
}

TEST(BookmarkDocument, InsertAtIndexAndRemoveSubtree) {
  auto document = NewBookmarkDocument();
  Node root = Root(*document);
  SetAttribute(AppendElement(root, "url"), "name", "a");
  SetAttribute(AppendElement(root, "url"), "name", "c");
  SetAttribute(InsertElementAt(root, "url", 1), "name", "b");
  SetAttribute(InsertElementAt(root, "url", 99), "name", "d");
  Node folder = InsertElementAt(root, "folder", 0);
  AppendElement(folder, "url");
  std::string order;
  for (Node child : root.children())
    order += GetAttribute(child, "name");
  EXPECT_EQ(order, "abcd");
  RemoveElement(folder);
  EXPECT_EQ(std::distance(root.children().begin(), root.children().end()), 4);
}

TEST(BookmarkDocument, TextFormIndentsWithTwoSpacesAndCrLf) {
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped(simulated);
  auto document = NewBookmarkDocument();
  Node root = Root(*document);
  SetAttribute(root, "gid", "R");
  Node folder = AppendElement(root, "folder");
  SetAttribute(folder, "name", "F");
  Node url = AppendElement(folder, "url");
  SetAttribute(url, "name", "n");
  SetAttribute(url, "url", "u");
  Node empty = AppendElement(root, "folder");
  SetAttribute(empty, "name", "E");
  EXPECT_EQ(Serialise(*document), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                  "<folder name=\"bookmarks\" gid=\"R\">\r\n"
                                  "  <folder name=\"F\">\r\n"
                                  "    <url name=\"n\" url=\"u\" />\r\n"
                                  "  </folder>\r\n"
                                  "  <folder name=\"E\" />\r\n"
                                  "</folder>\r\n");
}

TEST(BookmarkDocument, ParseDropsWhitespaceAndKeepsTheDeclaration) {
  BookmarkDocument document;
  Parse(document,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<folder name=\"x\">\n  \n<url/></folder>");
  EXPECT_EQ(std::distance(Root(document).children().begin(), Root(document).children().end()), 1);
  EXPECT_EQ(Serialise(document).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
}

TEST(BookmarkDocument, ParseFailureLeavesTheDocumentEmpty) {
  for (const char* bad : {"", "not xml", "<folder>", "<a/><b/>", "<folder name='x'></url>"}) {
    auto document = NewBookmarkDocument();
    EXPECT_THROW(Parse(*document, bad), std::runtime_error) << bad;
    EXPECT_FALSE(Root(*document)) << bad;
  }
}

TEST(BookmarkDocument, SerialiseWithoutRootFails) {
  BookmarkDocument empty;
  EXPECT_THROW(Serialise(empty), std::runtime_error);
}

// Every attribute value, control characters and markup included, survives a write and a read.
TEST(BookmarkDocument, RoundTripIsLosslessForRandomValues) {
  std::mt19937 random(20261210);
  const std::vector<std::string> pieces = {
      "\r", "\n", "\r\n", "\t",   "\x01", "\x1f", "\"", "'",    "<",        ">", "&", "&amp;",
      " ",  "  ", "é",    "漢字", "]]>",  "a",    "Z",  "\x7f", "\xc3\xa9", "=", "/"};
  for (int round = 0; round < 50; ++round) {
    auto document = NewBookmarkDocument();
    std::vector<std::string> values;
    Node parent = Root(*document);
    for (int i = 0; i < 40; ++i) {
      std::string value;
      for (int n = random() % 8; n > 0; --n)
        value += pieces[random() % pieces.size()];
      values.push_back(value);
      Node element = AppendElement(parent, i % 3 ? "url" : "folder");
      SetAttribute(element, "name", value);
      SetAttribute(element, "url", value + "u");
      if (i % 3 == 0)
        parent = element;
    }
    BookmarkDocument copy;
    Parse(copy, Serialise(*document));
    std::vector<std::string> back;
    for (Node node = Root(copy).first_child(); node;) {
      back.push_back(GetAttribute(node, "name"));
      EXPECT_EQ(GetAttribute(node, "url"), back.back() + "u");
      Node next = node.first_child() ? node.first_child() : node.next_sibling();
      while (!next && node.parent() != Root(copy)) {
        node = node.parent();
        next = node.next_sibling();
      }
      node = next;
    }
    ASSERT_EQ(back, values) << "round " << round;
  }
}
