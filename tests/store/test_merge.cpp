#include "base/Error.h"
#include "store/untUtil.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstring>
#include <random>

using namespace quillary;

namespace {

// The merge as a plain scan of the destination folder's children, kept here to check that the
// indexed merge gives exactly the same documents.
struct PlainMerge {
  static void Children(Node target, Node first) {
    for (Node node = first; node; node = node.next_sibling()) {
      std::string name = node.name();
      for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (node.type() == pugi::node_element && name == "folder") {
        Node match = Folder(target, node);
        if (node.first_child())
          Children(match, node.first_child());
      } else if (node.type() == pugi::node_element && name == "url") {
        Url(target, node);
      }
    }
  }
  static Node Folder(Node target, Node source) {
    for (Node child : target.children())
      if (std::strcmp(child.name(), "folder") == 0 &&
          GetAttribute(child, "name") == GetAttribute(source, "name"))
        return child;
    Node folder = target.append_child("folder");
    SetAttribute(folder, "name", GetAttribute(source, "name"));
    SetAttribute(folder, "gid", GetAttribute(source, "gid"));
    return folder;
  }
  static void Url(Node target, Node source) {
    for (Node child : target.children())
      if (std::strcmp(child.name(), "url") == 0 &&
          GetAttribute(child, "url") == GetAttribute(source, "url"))
        return;
    Node url = target.append_child("url");
    SetAttribute(url, "name", GetAttribute(source, "name"));
    SetAttribute(url, "url", GetAttribute(source, "url"));
    SetAttribute(url, "gid", GetAttribute(source, "gid"));
  }
};

std::string Merged(const std::string& destination, const std::string& source) {
  BookmarkDocument into, from;
  Parse(into, destination);
  Parse(from, source);
  TUtil().MergeDocuments(into, from);
  return Serialise(into);
}

std::string Normal(const std::string& xml) {
  BookmarkDocument document;
  Parse(document, xml);
  return Serialise(document);
}

struct MergeCase {
  const char* name;
  const char* destination;
  const char* source;
  const char* expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const MergeCase& c, std::ostream* out) {
  *out << '"' << c.name << '"';
}

class MergeRules : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeRules, GiveTheExpectedDocument) {
  const MergeCase& c = GetParam();
  EXPECT_EQ(Merged(c.destination, c.source), Normal(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeRules,
    testing::Values(
        MergeCase{"EverythingPresentChangesNothing",
                  "<folder gid='R'><folder name='A' gid='1'><url name='x' url='u' "
                  "gid='2'/></folder></folder>",
                  "<folder gid='S'><folder name='A' gid='9'><url name='other' url='u' "
                  "gid='8'/></folder></folder>",
                  "<folder gid='R'><folder name='A' gid='1'><url name='x' url='u' "
                  "gid='2'/></folder></folder>"},
        MergeCase{"NewElementsAppendInSourceOrderWithGidsCopied",
                  "<folder gid='R'><url name='a' url='1' gid='A'/></folder>",
                  "<folder gid='S'><url name='c' url='3' gid='C'/><folder name='F' gid='G' "
                  "extra='no'/><url name='b' url='2' gid='B'/></folder>",
                  "<folder gid='R'><url name='a' url='1' gid='A'/><url name='c' url='3' "
                  "gid='C'/><folder name='F' gid='G'/><url name='b' url='2' gid='B'/></folder>"},
        MergeCase{"AddressInAnotherFolderIsAddedAgain",
                  "<folder><folder name='A'><url url='u'/></folder><folder name='B'/></folder>",
                  "<folder><folder name='B'><url name='n' url='u' gid='g'/></folder></folder>",
                  "<folder><folder name='A'><url url='u'/></folder><folder name='B'><url name='n' "
                  "url='u' gid='g'/></folder></folder>"},
        MergeCase{
            "CaseAndTrailingSlashMakeDifferentItems",
            "<folder><folder name='a'/><url url='http://x'/></folder>",
            "<folder><folder name='A' gid='1'/><url name='' url='http://X' gid='2'/><url name='' "
            "url='http://x/' gid='3'/></folder>",
            "<folder><folder name='a'/><url url='http://x'/><folder name='A' gid='1'/><url name='' "
            "url='http://X' gid='2'/><url name='' url='http://x/' gid='3'/></folder>"},
        MergeCase{
            "CapitalFolderIsNeverACandidate", "<folder><Folder name='A' gid='1'/></folder>",
            "<folder><folder name='A' gid='2'><url name='n' url='u' gid='3'/></folder></folder>",
            "<folder><Folder name='A' gid='1'/><folder name='A' gid='2'><url name='n' url='u' "
            "gid='3'/></folder></folder>"},
        MergeCase{"SourceSpellingsMergeAsLowerCase", "<folder/>",
                  "<folder><FOLDER name='F' gid='1'><URL name='n' url='u' gid='2'/></FOLDER><Url "
                  "url='v'/><link url='w'/>text</folder>",
                  "<folder><folder name='F' gid='1'><url name='n' url='u' gid='2'/></folder><url "
                  "name='' url='v' gid=''/></folder>"},
        MergeCase{"EmptySourceFolderStillCreatesItsFolder", "<folder/>",
                  "<folder><folder name='' gid='1'/></folder>",
                  "<folder><folder name='' gid='1'/></folder>"},
        MergeCase{"SameNamedSourceFoldersUniteAndRepeatedAddressesArriveOnce", "<folder/>",
                  "<folder><folder name='F' gid='1'><url name='a' url='u' "
                  "gid='2'/></folder><folder name='F' gid='3'><url name='b' url='u' gid='4'/><url "
                  "name='c' url='v' gid='5'/></folder></folder>",
                  "<folder><folder name='F' gid='1'><url name='a' url='u' gid='2'/><url name='c' "
                  "url='v' gid='5'/></folder></folder>"},
        MergeCase{"FirstOfTwoSameNamedDestinationFoldersWins",
                  "<folder><folder name='F' gid='1'/><folder name='F' gid='2'/></folder>",
                  "<folder><folder name='F'><url name='n' url='u' gid='3'/></folder></folder>",
                  "<folder><folder name='F' gid='1'><url name='n' url='u' "
                  "gid='3'/></folder><folder name='F' gid='2'/></folder>"},
        MergeCase{
            "RenamedFolderAndItsBackupCopyShareAGid",
            "<folder><folder name='New' gid='G'><url name='n' url='u' gid='1'/></folder></folder>",
            "<folder><folder name='Old' gid='G'><url name='n' url='u' gid='1'/></folder></folder>",
            "<folder><folder name='New' gid='G'><url name='n' url='u' gid='1'/></folder><folder "
            "name='Old' gid='G'><url name='n' url='u' gid='1'/></folder></folder>"}),
    [](const testing::TestParamInfo<MergeCase>& info) { return info.param.name; });

TEST(Merge, TwiceGivesTheSameAsOnceAndLeavesTheSourceAlone) {
  const char* source =
      "<folder><folder name='A' gid='1'><url name='n' url='u' gid='2'/>"
      "<folder name='B' gid='3'/></folder><url name='m' url='v' gid='4'/></folder>";
  BookmarkDocument into, from;
  Parse(into, "<folder gid='R'><url url='v'/></folder>");
  Parse(from, source);
  TUtil util;
  util.MergeDocuments(into, from);
  const std::string once = Serialise(into);
  util.MergeDocuments(into, from);
  EXPECT_EQ(Serialise(into), once);
  TUtil().MergeDocuments(into, from);
  EXPECT_EQ(Serialise(into), once);
  EXPECT_EQ(Serialise(from), Normal(source));
}

TEST(Merge, DocumentWithoutRootFailsAndChangesNothing) {
  BookmarkDocument empty, full;
  Parse(full, "<folder><url url='u'/></folder>");
  const std::string before = Serialise(full);
  EXPECT_THROW(TUtil().MergeDocuments(full, empty), std::runtime_error);
  EXPECT_THROW(TUtil().MergeDocuments(empty, full), std::runtime_error);
  EXPECT_EQ(Serialise(full), before);
  EXPECT_FALSE(Root(empty));
}

TEST(Merge, NestingUpToTheLimitMergesAndDeeperIsRefusedUnchanged) {
  auto nested = [](std::size_t depth) {
    std::string xml = "<folder>";
    for (std::size_t i = 0; i < depth; ++i)
      xml += "<folder name='d'>";
    xml += "<url url='deep'/>";
    for (std::size_t i = 0; i < depth; ++i)
      xml += "</folder>";
    return xml + "</folder>";
  };
  BookmarkDocument into, from;
  Parse(into, "<folder/>");
  Parse(from, nested(kMaxFolderDepth - 1));
  TUtil().MergeDocuments(into, from);
  EXPECT_EQ(NestingDepth(Root(into)), kMaxFolderDepth);

  BookmarkDocument empty, tooDeep;
  Parse(empty, "<folder/>");
  Parse(tooDeep, nested(200000));
  EXPECT_THROW(TUtil().MergeDocuments(empty, tooDeep), Error);
  EXPECT_FALSE(Root(empty).first_child());
}

// Random trees with repeated names and addresses, every spelling, empty names and missing
// attributes: the indexed merge must give exactly what the plain scans give.
class RandomTree {
public:
  explicit RandomTree(unsigned seed) : random_(seed) {}

  void Fill(Node folder, int depth) {
    for (int n = Pick(7); n > 0; --n) {
      int kind = Pick(10);
      if (kind < 3 && depth < 4) {
        Node child = folder.append_child(Spelling({"folder", "folder", "Folder", "FOLDER"}));
        MaybeSet(child, "name", {"", "a", "b", "A", "c"});
        MaybeSet(child, "gid", {"1", "2", "3"});
        Fill(child, depth + 1);
      } else if (kind < 9) {
        Node child = folder.append_child(Spelling({"url", "url", "URL", "Url"}));
        MaybeSet(child, "name", {"", "x", "y"});
        MaybeSet(child, "url", {"u", "v", "U", "u/", ""});
        MaybeSet(child, "gid", {"4", "5"});
      } else {
        folder.append_child(Pick(2) ? "other" : "folders").append_child("url");
      }
    }
  }

private:
  int Pick(int n) { return static_cast<int>(random_() % n); }
  const char* Spelling(std::initializer_list<const char*> options) {
    return options.begin()[Pick(static_cast<int>(options.size()))];
  }
  void MaybeSet(Node node, const char* name, std::initializer_list<const char*> values) {
    if (Pick(6) != 0)
      SetAttribute(node, name, values.begin()[Pick(static_cast<int>(values.size()))]);
  }
  std::mt19937 random_;
};

TEST(Merge, IndexedMergeEqualsThePlainScans) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    BookmarkDocument destination, source;
    Parse(destination, "<folder name='bookmarks' gid='R'/>");
    Parse(source, "<folder name='bookmarks' gid='S'/>");
    RandomTree(seed).Fill(Root(destination), 0);
    RandomTree(seed * 7919).Fill(Root(source), 0);
    BookmarkDocument plain;
    plain.reset(destination);

    TUtil util;
    util.MergeDocuments(destination, source);
    util.MergeDocuments(destination, source); // a second source in the same run
    PlainMerge::Children(Root(plain), Root(source).first_child());
    PlainMerge::Children(Root(plain), Root(source).first_child());
    ASSERT_EQ(Serialise(destination), Serialise(plain)) << "seed " << seed;
  }
}

} // namespace
