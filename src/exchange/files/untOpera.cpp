#include "exchange/files/untOpera.h"

#include "base/Error.h"
#include "base/Text.h"
#include "platform/Files.h"
#include "store/DocumentWalk.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <vector>

namespace quillary {

namespace {

constexpr std::string_view kFolder = "#FOLDER";
constexpr std::string_view kUrl = "#URL";
constexpr std::string_view kName = "NAME=";
constexpr std::string_view kAddress = "URL=";
constexpr std::string_view kTrash = "TRASH FOLDER=YES";
constexpr std::string_view kBlankLine = "\r\n\r\n";
constexpr std::string_view kCloser = "\r\n\r\n-";
constexpr std::string_view kHeader = "Opera Hotlist version 2.0\r\n"
                                     "Options: encoding = utf8, version=3\r\n"
                                     "\r\n";

// Hostile files may nest folders without end; real hotlists stay far below this.
constexpr int kMaxDepth = 200;

Node AppendUrl(Node parent, std::string_view name, std::string_view url) {
  Node element = AppendElement(parent, "url");
  SetAttribute(element, "name", name);
  SetAttribute(element, "url", url);
  SetAttribute(element, "gid", TOperaOjb::NewUniqueId());
  return element;
}

bool HasVisibleByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) > 32; });
}

// One "#FOLDER" block of a level's text, found by the depth scan: each "#FOLDER" opens one,
// each closing marker closes the innermost open one.
struct FolderBlock {
  std::size_t begin = 0;
  std::size_t end = 0;     // past its closing marker, or the end of the text when never closed
  std::size_t leadEnd = 0; // where its own text first meets a nested block or a closing marker
  bool topLevel = false;
  bool closed = false;
};

std::vector<FolderBlock> ScanFolderBlocks(std::string_view text) {
  std::vector<FolderBlock> blocks;
  std::vector<std::size_t> open;
  constexpr std::size_t npos = std::string_view::npos;
  std::size_t nextFolder = text.find(kFolder);
  std::size_t nextCloser = nextFolder == npos ? npos : text.find(kCloser, nextFolder);
  std::size_t pendingLead = npos;
  auto endLead = [&](std::size_t at) {
    if (pendingLead != npos)
      blocks[pendingLead].leadEnd = at;
    pendingLead = npos;
  };
  while (nextFolder != npos || (!open.empty() && nextCloser != npos)) {
    if (nextFolder < nextCloser) {
      endLead(nextFolder);
      FolderBlock block;
      block.begin = nextFolder;
      block.topLevel = open.empty();
      pendingLead = blocks.size();
      open.push_back(blocks.size());
      blocks.push_back(block);
      nextFolder = text.find(kFolder, nextFolder + kFolder.size());
    } else {
      endLead(nextCloser);
      // A closing marker outside every block closes nothing.
      if (!open.empty()) {
        blocks[open.back()].end = nextCloser + kCloser.size();
        blocks[open.back()].closed = true;
        open.pop_back();
      }
      nextCloser = text.find(kCloser, nextCloser + kCloser.size());
    }
  }
  endLead(text.size());
  for (std::size_t index : open)
    blocks[index].end = text.size();
  return blocks;
}

// Blocks that can hold the same text: same leading text and same length, and where several
// share those, the same hash of the whole text.
struct BlockKey {
  std::string_view lead;
  std::size_t length;
  std::size_t hash;
  bool operator==(const BlockKey&) const = default;
};

struct BlockKeyHash {
  std::size_t operator()(const BlockKey& key) const {
    return std::hash<std::string_view>()(key.lead) ^ (key.length * 0x9E3779B97F4A7C15ull) ^
           key.hash;
  }
};

// The folder pass removes every occurrence of a block's exact text from the level before it
// looks for the next block. Such an occurrence always starts at a later "#FOLDER" and spans
// exactly that block, so instead of rewriting the text the pass keeps the removed ranges and
// compares only blocks with the same key. Where a copy was taken out of a later block, the
// joined text may hold new structure: the rest of the level is then written out and scanned
// again, so every block compared still has its text as it stands. Real hotlists, whose blocks
// all differ, never need that.
class FolderPass {
public:
  FolderPass(std::string_view text, Node parent, int depth)
      : text_(text), parent_(parent), depth_(depth) {}

  void Run() {
    Scan();
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      const FolderBlock block = blocks_[i];
      if (!block.topLevel || IsRemoved(block.begin))
        continue;
      const std::string_view text = Text(block);
      ReadBlock(text, block.closed);
      Remove(block);
      bool changedLaterBlocks = false;
      for (std::size_t other : byKey_[Key(i)]) {
        const FolderBlock& copy = blocks_[other];
        if (copy.begin < block.end || IsRemoved(copy.begin) || Text(copy) != text)
          continue;
        Remove(copy);
        changedLaterBlocks = changedLaterBlocks || !copy.topLevel;
      }
      if (changedLaterBlocks) {
        Rescan(block.end);
        i = static_cast<std::size_t>(-1);
      }
    }
    ReadBookmarksLeft();
  }

private:
  void Scan() {
    blocks_ = ScanFolderBlocks(text_);
    hashes_.assign(blocks_.size(), 0);
    byKey_.clear();
    for (std::size_t i = 0; i < blocks_.size(); ++i)
      byKey_[Key(i)].push_back(i);
    // Only blocks that look alike have their whole text hashed.
    std::vector<std::size_t> alike;
    for (const auto& [key, indices] : byKey_)
      if (indices.size() > 1)
        alike.insert(alike.end(), indices.begin(), indices.end());
    if (alike.empty())
      return;
    std::sort(alike.begin(), alike.end());
    for (std::size_t i : alike)
      byKey_.erase(Key(i));
    for (std::size_t i : alike) {
      hashes_[i] = std::hash<std::string_view>()(Text(blocks_[i])) | 1;
      byKey_[Key(i)].push_back(i);
    }
  }

  // Continues with the level's text from position on as the removals have left it.
  void Rescan(std::size_t from) {
    for (const FolderBlock& block : blocks_)
      if (block.topLevel && block.begin < from)
        KeepGapBefore(block);
    std::string rest;
    std::size_t cursor = from;
    for (auto range = removed_.lower_bound(from); range != removed_.end(); ++range) {
      rest.append(text_.substr(cursor, range->first - cursor));
      cursor = range->second;
    }
    rest.append(text_.substr(cursor));
    owned_ = std::move(rest);
    text_ = owned_;
    removed_.clear();
    gapFrom_ = 0;
    Scan();
  }

  std::string_view Text(const FolderBlock& block) const {
    return text_.substr(block.begin, block.end - block.begin);
  }

  BlockKey Key(std::size_t i) const {
    const FolderBlock& block = blocks_[i];
    return {text_.substr(block.begin, block.leadEnd - block.begin), block.end - block.begin,
            hashes_[i]};
  }

  bool IsRemoved(std::size_t position) const {
    auto after = removed_.upper_bound(position);
    if (after == removed_.begin())
      return false;
    return position < std::prev(after)->second;
  }

  void Remove(const FolderBlock& block) {
    removed_.erase(removed_.lower_bound(block.begin), removed_.lower_bound(block.end));
    removed_.emplace(block.begin, block.end);
  }

  void ReadBlock(std::string_view block, bool closed) {
    Node target = parent_;
    if (block.find(kTrash) == std::string_view::npos) {
      std::size_t nameAt;
      const std::string_view own = block.substr(0, opera::BlockLinesEnd(block, 0));
      const std::string_view name = opera::FieldValue(own, kName, 0, nameAt);
      target = AppendElement(parent_, "folder");
      SetAttribute(target, "name", name);
      SetAttribute(target, "gid", TOperaOjb::NewUniqueId());
    }
    const std::size_t contentEnd = closed ? block.size() - kCloser.size() : block.size();
    const std::size_t blank = block.find(kBlankLine);
    if (blank == std::string_view::npos || blank + kBlankLine.size() > contentEnd)
      return;
    const std::string_view content =
        block.substr(blank + kBlankLine.size(), contentEnd - blank - kBlankLine.size());
    if (HasVisibleByte(content) && depth_ < kMaxDepth)
      FolderPass(content, target, depth_ + 1).Run();
  }

  void KeepGapBefore(const FolderBlock& block) {
    left_.append(text_.substr(gapFrom_, block.begin - gapFrom_));
    gapFrom_ = block.end;
  }

  // What is left of the level once every folder block is taken out.
  void ReadBookmarksLeft() {
    if (left_.empty() && blocks_.empty()) {
      opera::ReadBookmarks(text_, parent_);
      return;
    }
    for (const FolderBlock& block : blocks_)
      if (block.topLevel)
        KeepGapBefore(block);
    left_.append(text_.substr(std::min(gapFrom_, text_.size())));
    opera::ReadBookmarks(left_, parent_);
  }

  std::string_view text_;
  std::string owned_; // the level's remaining text once it had to be scanned again
  Node parent_;
  int depth_;
  std::vector<FolderBlock> blocks_;
  std::vector<std::size_t> hashes_; // of the whole text where blocks look alike, else 0
  std::unordered_map<BlockKey, std::vector<std::size_t>, BlockKeyHash> byKey_;
  std::map<std::size_t, std::size_t> removed_; // begin -> end of the outermost removed blocks
  std::string left_;                           // the gaps between top-level blocks so far
  std::size_t gapFrom_ = 0;
};

void AppendLine(std::string& out, std::string_view a, std::string_view b = {}) {
  out.append(a).append(b).append("\r\n");
}

} // namespace

namespace opera {

std::string NormaliseHotlist(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16 + 16);
  std::size_t begin = 0;
  while (begin < bytes.size()) {
    std::size_t end = begin;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
      ++end;
    std::string_view line = bytes.substr(begin, end - begin);
    const std::size_t visible = line.find_first_not_of(" \t");
    if (visible == std::string_view::npos) {
      line = {};
    } else if (visible > 0) {
      line.remove_prefix(visible);
      // Indented field lines get the one TAB the reader looks for; block lines and the
      // closing "-" lose their indentation.
      if (line.front() != '#' && line != "-")
        out.push_back('\t');
    }
    out.append(line);
    if (end == bytes.size())
      break;
    out.append("\r\n");
    begin = end + 1;
    if (bytes[end] == '\r' && begin < bytes.size() && bytes[begin] == '\n')
      ++begin;
  }
  return out;
}

std::size_t BlockLinesEnd(std::string_view text, std::size_t begin) {
  std::size_t lineEnd = text.find("\r\n", begin);
  while (lineEnd != std::string_view::npos) {
    const std::size_t next = lineEnd + 2;
    if (next >= text.size())
      return lineEnd;
    const char first = text[next];
    if (first == '\r' || first == '#' || (first == '-' && text.substr(next, 3) == "-\r\n") ||
        text.substr(next) == "-")
      return lineEnd;
    lineEnd = text.find("\r\n", next);
  }
  return text.size();
}

std::string_view FieldValue(std::string_view block, std::string_view key, std::size_t from,
                            std::size_t& keyAt) {
  keyAt = block.find(key, from);
  if (keyAt == std::string_view::npos)
    return {};
  const std::size_t begin = keyAt + key.size();
  std::size_t end = block.find('\r', begin);
  if (end == std::string_view::npos)
    end = block.size();
  return block.substr(begin, end - begin);
}

void ReadBookmarks(std::string_view text, Node parent) {
  std::size_t at = text.find(kUrl);
  while (at != std::string_view::npos) {
    const std::size_t end = BlockLinesEnd(text, at);
    const std::string_view block = text.substr(0, end);
    std::size_t nameAt, urlAt;
    const std::string_view name = FieldValue(block, kName, at, nameAt);
    const std::string_view url =
        FieldValue(block, kAddress, nameAt == std::string_view::npos ? at : nameAt, urlAt);
    AppendUrl(parent, name, url);
    at = text.find(kUrl, std::max(end, at + kUrl.size()));
  }
}

} // namespace opera

std::string TOperaOjb::NewUniqueId() {
  std::string id = NewGid();
  id.erase(std::remove(id.begin(), id.end(), '-'), id.end());
  return id;
}

void TOperaOjb::ReadLevel(std::string_view text, Node parent) {
  FolderPass(text, parent, 0).Run();
}

std::unique_ptr<BookmarkDocument> TOperaOjb::ImportBookmarks() {
  auto document = std::make_unique<BookmarkDocument>();
  SetUpBookmarkDocument(*document, "utf-8", NewUniqueId());
  std::string bytes;
  bytes = platform::ReadFileChecked(SourcePath);
  // A hotlist in an old 8-bit code page, or one with a stray byte, is read with those bytes as
  // Windows-1252 characters instead of giving nothing at all.
  if (!IsWellFormedUtf8(bytes))
    bytes = RepairedUtf8(bytes);
  const std::string text = opera::NormaliseHotlist(bytes);
  bytes = std::string();
  ReadLevel(text, Root(*document));
  return document;
}

void TOperaOjb::WriteEntries(Node node, std::string& out) {
  // Names and addresses are written as UTF-8 whatever the collection holds, each on one line:
  // a line break would end the field and start another block.
  struct Writer {
    std::string& out;
    std::string repaired;
    std::string_view NameOf(Node node) { return AsUtf8(AttributeText(node, "name"), repaired); }
    void EnterFolder(Node folder, std::size_t) {
      AppendLine(out, "#FOLDER");
      AppendLine(out, "\t\tID=0");
      AppendLine(out, "\t\tNAME=", OnOneLine(NameOf(folder)));
      AppendLine(out, "\t\tUNIQUEID=", NewUniqueId());
      AppendLine(out, "");
    }
    void LeaveFolder(Node, std::size_t) {
      AppendLine(out, "-");
      AppendLine(out, "");
    }
    void Bookmark(Node bookmark, std::size_t) {
      AppendLine(out, "#URL");
      AppendLine(out, "\t\tID=0");
      AppendLine(out, "\t\tNAME=", OnOneLine(NameOf(bookmark)));
      AppendLine(out,
                 "\t\tURL=", AddressOnOneLine(AsUtf8(AttributeText(bookmark, "url"), repaired)));
      AppendLine(out, "\t\tUNIQUEID=", NewUniqueId());
      AppendLine(out, "");
    }
  };
  WalkSiblings(node, Writer{out, {}});
}

void TOperaOjb::ExportBookmarks(BookmarkDocument& document) {
  const Node root = Root(document);
  // Without a collection there is nothing to write, and the user's hotlist stays as it is.
  if (!root)
    throw Error("There are no bookmarks to export.");
  std::string out(kHeader);
  WriteEntries(root.first_child(), out);
  out.append("\r\n");
  platform::WriteFileChecked(SourcePath, out);
}

} // namespace quillary
