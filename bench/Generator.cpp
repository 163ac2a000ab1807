#include "Generator.h"

#include <random>
#include <string>
#include <vector>

namespace quillary::bench {

namespace {

const char* const kWords[] = {"news",   "recipes", "travel", "music", "science", "linux",
                              "photos", "maps",    "garden", "bikes", "chess",   "weather"};
const char* const kForeign[] = {"Über", "café", "Ελληνικά", "русский", "日本語", "naïve"};

class Names {
public:
  explicit Names(const CollectionShape& shape) : shape_(shape), random_(shape.seed) {}

  std::string Gid() {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string gid;
    for (int i = 0; i < 16; ++i) {
      if (i == 4 || i == 6 || i == 8 || i == 10)
        gid.push_back('-');
      unsigned byte = random_() & 0xFF;
      gid.push_back(digits[byte >> 4]);
      gid.push_back(digits[byte & 15]);
    }
    return gid;
  }

  std::string Name(const char* prefix, std::size_t n) {
    std::string name = std::string(prefix) + " " + kWords[random_() % 12] + " " + std::to_string(n);
    if (std::uniform_real_distribution<double>(0, 1)(random_) < shape_.nonAsciiShare)
      name += std::string(" ") + kForeign[random_() % 6];
    return name;
  }

  std::string Url(std::size_t n) {
    return "https://www.example" + std::to_string(n % 997) + ".com/" + kWords[n % 12] +
           "/page?id=" + std::to_string(n);
  }

private:
  const CollectionShape& shape_;
  std::mt19937 random_;
};

void AddBookmark(Node folder, Names& names, std::size_t n) {
  Node url = AppendElement(folder, "url");
  SetAttribute(url, "name", names.Name("Bookmark", n));
  SetAttribute(url, "url", names.Url(n));
  SetAttribute(url, "gid", names.Gid());
}

} // namespace

std::unique_ptr<BookmarkDocument> GenerateCollection(const CollectionShape& shape) {
  Names names(shape);
  auto document = std::make_unique<BookmarkDocument>();
  SetUpBookmarkDocument(*document, "UTF-8", names.Gid());
  Node root = Root(*document);

  // Folders level by level, each level's folders spread over the previous level's.
  std::vector<Node> folders{root};
  std::vector<Node> level{root};
  for (std::size_t depth = 0; depth < shape.maxDepth && folders.size() <= shape.folders; ++depth) {
    std::vector<Node> next;
    for (Node parent : level) {
      for (std::size_t i = 0; i < shape.fanOut && folders.size() <= shape.folders; ++i) {
        Node folder = AppendElement(parent, "folder");
        SetAttribute(folder, "name", names.Name("Folder", folders.size()));
        SetAttribute(folder, "gid", names.Gid());
        folders.push_back(folder);
        next.push_back(folder);
      }
    }
    if (next.empty())
      break;
    level = std::move(next);
  }

  Node flat;
  if (shape.flatFolder > 0) {
    flat = AppendElement(root, "folder");
    SetAttribute(flat, "name", "Flat");
    SetAttribute(flat, "gid", "FLAT");
  }
  for (std::size_t k = shape.firstBookmark; k < shape.firstBookmark + shape.bookmarks; ++k) {
    const bool inFlat = k >= shape.flatFrom && k < shape.flatFrom + shape.flatFolder;
    AddBookmark(inFlat ? flat : folders[k % folders.size()], names, k);
  }
  return document;
}

std::size_t CountBookmarks(const BookmarkDocument& document) {
  std::size_t count = 0;
  struct Walker : pugi::xml_tree_walker {
    std::size_t* count;
    bool for_each(pugi::xml_node& node) override {
      if (IsBookmark(node))
        ++*count;
      return true;
    }
  } walker;
  walker.count = &count;
  Root(document).traverse(walker);
  return count;
}

} // namespace quillary::bench
