#include "store/Find.h"

#include "base/Error.h"
#include "base/Text.h"
#include "store/DocumentWalk.h"

#include <cstring>

namespace quillary {

namespace {

class Search {
public:
  Search(std::string text, FindTarget target, bool wholeWord, bool matchCase)
      : text_(std::move(text)), target_(target), wholeWord_(wholeWord), matchCase_(matchCase) {
    if (!matchCase_)
      LowerAsciiInPlace(text_);
  }

  void Walk(Node start, std::vector<FoundBookmark>& found) {
    WalkFoldersAndBookmarks(start, [&](Node node, std::size_t) {
      if (IsBookmark(node))
        Test(node, found);
    });
  }

private:
  bool Matches(std::string_view field) const {
    return wholeWord_ ? field == text_ : field.find(text_) != std::string_view::npos;
  }

  void Test(Node bookmark, std::vector<FoundBookmark>& found) {
    if (target_ == FindTarget::Nothing)
      return;
    const char* name = AttributeText(bookmark, "name");
    const char* url = AttributeText(bookmark, "url");
    if (matchCase_) {
      if (Hit(name, url))
        found.push_back({name, url});
      return;
    }
    name_.assign(name);
    url_.assign(url);
    LowerAsciiInPlace(name_);
    LowerAsciiInPlace(url_);
    if (Hit(name_, url_))
      found.push_back({name_, url_});
  }

  bool Hit(std::string_view name, std::string_view url) const {
    switch (target_) {
    case FindTarget::All:
      return Matches(name) || Matches(url);
    case FindTarget::Name:
      return Matches(name);
    case FindTarget::Url:
      return Matches(url);
    case FindTarget::Nothing:
      break;
    }
    return false;
  }

  std::string text_;
  FindTarget target_;
  bool wholeWord_;
  bool matchCase_;
  std::string name_; // reused buffers for the lowered fields
  std::string url_;
};

} // namespace

std::optional<std::vector<FoundBookmark>> FindBookmarks(const BookmarkDocument& collection,
                                                        const FindOptions& options) {
  std::string_view text = TrimmedView(options.text);
  if (text.empty())
    return std::nullopt;
  Node root = Root(collection);
  if (!root)
    throw Error("No active document");
  std::vector<FoundBookmark> found;
  Search search(std::string(text), options.target, options.wholeWord, options.matchCase);
  search.Walk(root, found);
  return found;
}

} // namespace quillary
