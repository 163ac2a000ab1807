#include "exchange/db/PlistFile.h"

#include "base/Error.h"
#include "platform/LargeStack.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace quillary::plist {

namespace {

constexpr std::string_view kBinaryMagic = "bplist00";

Error NotWellFormedXml(const std::string& subject) {
  return Error(subject + " is not well-formed XML.");
}

Error NotWellFormedBinary(const std::string& subject) {
  return Error(subject + " is not a well-formed binary property list.");
}

// The line ends of XML text as a conforming parser sees them: CR LF and a lone CR become LF.
// libplist keeps them as they are, so a value would gain a CR at every rewrite.
std::string WithXmlLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t cr; (cr = text.find('\r')) != std::string_view::npos;) {
    out.append(text.substr(0, cr)).push_back('\n');
    text.remove_prefix(cr + (cr + 1 < text.size() && text[cr + 1] == '\n' ? 2 : 1));
  }
  out.append(text);
  return out;
}

// Walks the markup once, before the parser sees it: how deep the elements nest, and the name of
// the first one. Comments, processing instructions, CDATA sections and the document type are
// passed over. Markup the parser will refuse anyway only has to end the walk.
struct XmlOutline {
  std::string_view first; // the first element's name
  std::size_t nesting = 0;
};

XmlOutline OutlineOf(std::string_view text, const std::string& subject) {
  XmlOutline outline;
  bool seenElement = false;
  std::size_t depth = 0;
  std::size_t at = 0;
  auto skipPast = [&](std::string_view end) {
    const std::size_t found = text.find(end, at);
    at = found == std::string_view::npos ? text.size() : found + end.size();
  };
  while ((at = text.find('<', at)) != std::string_view::npos) {
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("<?")) {
      skipPast("?>");
    } else if (rest.starts_with("<!--")) {
      skipPast("-->");
    } else if (rest.starts_with("<![CDATA[")) {
      skipPast("]]>");
    } else if (rest.starts_with("<!")) {
      skipPast(">");
    } else {
      const std::size_t close = text.find('>', at);
      if (close == std::string_view::npos)
        break;
      if (rest.starts_with("</")) {
        depth -= depth > 0;
      } else {
        if (!seenElement) {
          seenElement = true;
          const std::string_view tag = rest.substr(1, close - at - 1);
          outline.first = tag.substr(0, tag.find_first_of(" \t\r\n/"));
        }
        if (text[close - 1] != '/') {
          outline.nesting = std::max(outline.nesting, ++depth);
          if (depth > kMaxNesting)
            throw NestedTooDeep(subject);
        }
      }
      at = close + 1;
    }
  }
  return outline;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
}

Tree ParseXml(std::string_view bytes, const std::string& subject) {
  bytes = WithoutByteOrderMark(bytes);
  std::string normalised;
  if (bytes.find('\r') != std::string_view::npos) {
    normalised = WithXmlLineEnds(bytes);
    bytes = normalised;
  }
  if (bytes.size() > std::numeric_limits<uint32_t>::max())
    throw Error(subject + " is too large to be read.");
  plist_t root = nullptr;
  plist_from_xml(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  Tree tree(root);
  if (!root)
    throw NotWellFormedXml(subject);
  return tree;
}

uint64_t BigEndian(const unsigned char* bytes, std::size_t size) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i)
    value = value << 8 | bytes[i];
  return value;
}

// The object table of a binary property list, checked as far as the measures below need it.
class BinaryObjects {
public:
  BinaryObjects(std::string_view bytes, const std::string& subject)
      : data_(reinterpret_cast<const unsigned char*>(bytes.data())), subject_(subject) {
    constexpr std::size_t kTrailer = 32;
    if (bytes.size() < kBinaryMagic.size() + kTrailer)
      throw NotWellFormedBinary(subject_);
    const unsigned char* trailer = data_ + bytes.size() - kTrailer;
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    count_ = BigEndian(trailer + 8, 8);
    top_ = BigEndian(trailer + 16, 8);
    tableAt_ = BigEndian(trailer + 24, 8);
    const uint64_t tableRoom = bytes.size() - kTrailer;
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || count_ == 0 ||
        top_ >= count_ || tableAt_ < kBinaryMagic.size() || tableAt_ > tableRoom ||
        count_ > (tableRoom - tableAt_) / offsetSize_)
      throw NotWellFormedBinary(subject_);
  }

  uint64_t Count() const { return count_; }
  uint64_t Top() const { return top_; }

  struct Object {
    bool container = false;
    uint64_t children = 0; // references that follow
    const unsigned char* refs = nullptr;
    uint64_t payload = 0; // bytes of text or data it holds
  };

  Object At(uint64_t index) const {
    const uint64_t offset = BigEndian(data_ + tableAt_ + index * offsetSize_, offsetSize_);
    if (offset < kBinaryMagic.size() || offset >= tableAt_)
      throw NotWellFormedBinary(subject_);
    const unsigned char marker = data_[offset];
    const unsigned type = marker >> 4;
    uint64_t position = offset + 1;
    uint64_t length = marker & 0x0F;
    Object object;
    if (type != 0x4 && type != 0x5 && type != 0x6 && type != 0xA && type != 0xC && type != 0xD)
      return object;
    if (length == 0x0F) { // the length follows as an integer object
      if (position >= tableAt_ || data_[position] >> 4 != 0x1)
        throw NotWellFormedBinary(subject_);
      const uint64_t size = uint64_t{1} << (data_[position] & 0x0F);
      if (size > 8 || size > tableAt_ - position - 1)
        throw NotWellFormedBinary(subject_);
      length = BigEndian(data_ + position + 1, size);
      position += 1 + size;
    }
    if (type == 0x4 || type == 0x5 || type == 0x6) {
      // UTF-16 text takes at most three UTF-8 bytes for each of its two-byte units.
      object.payload = length > std::numeric_limits<uint64_t>::max() / 3 ? length : length * 3;
      return object;
    }
    object.container = true;
    object.children = type == 0xD ? 2 * length : length;
    if (length > (tableAt_ - position) / refSize_ / (type == 0xD ? 2 : 1))
      throw NotWellFormedBinary(subject_);
    object.refs = data_ + position;
    return object;
  }

  uint64_t Reference(const Object& object, uint64_t i) const {
    const uint64_t index = BigEndian(object.refs + i * refSize_, refSize_);
    if (index >= count_)
      throw NotWellFormedBinary(subject_);
    return index;
  }

private:
  const unsigned char* data_;
  const std::string& subject_;
  unsigned offsetSize_ = 0;
  unsigned refSize_ = 0;
  uint64_t count_ = 0;
  uint64_t top_ = 0;
  uint64_t tableAt_ = 0;
};

// A binary list may refer to one object from many places, and the library copies it for every
// reference: lists that share lists can expand without end ("billion laughs"). So the tree the
// library would build is measured first, without recursion: its nesting, its nodes and the text
// they hold. A file that shares nothing has at least one byte of reference for every node.
// The library also looks through the open levels above every node it reads, so its time grows
// with the sum of the nodes' depths: that sum is bounded too, to a few seconds of reading, which
// still takes a collection as deep as the nesting limit allows.
std::size_t MeasureBinary(std::string_view bytes, const std::string& subject) {
  BinaryObjects objects(bytes, subject);
  const uint64_t maxNodes = bytes.size();
  const uint64_t maxPayload = 16 * static_cast<uint64_t>(bytes.size()) + (1u << 20);
  constexpr uint64_t kMaxDepthSum = uint64_t{1} << 31;
  auto tooLarge = [&] {
    return Error(subject + " is not a well-formed binary property list: it refers to the same "
                           "entries too often.");
  };
  enum : unsigned char { kUnseen, kOpen, kDone };
  std::vector<unsigned char> state(objects.Count(), kUnseen);
  std::vector<uint32_t> depth(objects.Count(), 0);
  // Per object once measured: its nodes, the text they hold, and the sum of their depths below it.
  std::vector<uint64_t> nodes(objects.Count(), 0), payload(objects.Count(), 0),
      depthSum(objects.Count(), 0);
  struct Step {
    uint64_t index;
    BinaryObjects::Object object;
    uint64_t next = 0;
  };
  std::vector<Step> path;
  auto enter = [&](uint64_t index) {
    const BinaryObjects::Object object = objects.At(index);
    if (!object.container) {
      state[index] = kDone;
      nodes[index] = 1;
      payload[index] = object.payload;
      return;
    }
    if (path.size() >= kMaxNesting)
      throw NestedTooDeep(subject);
    state[index] = kOpen;
    nodes[index] = 1;
    path.push_back({index, object});
  };
  enter(objects.Top());
  while (!path.empty()) {
    Step& step = path.back();
    if (step.next == step.object.children) {
      state[step.index] = kDone;
      path.pop_back();
      continue;
    }
    const uint64_t child = objects.Reference(step.object, step.next);
    if (state[child] == kOpen)
      throw NotWellFormedBinary(subject); // a list that holds itself
    if (state[child] == kUnseen) {
      enter(child);
      continue; // the same reference again, now that the child is measured
    }
    const uint64_t parent = step.index;
    ++step.next;
    depth[parent] = std::max(depth[parent], depth[child] + 1);
    if (depth[parent] > kMaxNesting)
      throw NestedTooDeep(subject);
    nodes[parent] = std::min(nodes[parent] + nodes[child], maxNodes + 1);
    payload[parent] = std::min(payload[parent] + payload[child], maxPayload + 1);
    depthSum[parent] =
        std::min(depthSum[parent] + depthSum[child] + nodes[child], kMaxDepthSum + 1);
    if (nodes[parent] > maxNodes || payload[parent] > maxPayload)
      throw tooLarge();
    if (depthSum[parent] > kMaxDepthSum)
      throw Error(subject + " holds too many entries nested too deeply to be read.");
  }
  return depth[objects.Top()];
}

Tree ParseBinary(std::string_view bytes, const std::string& subject) {
  if (bytes.size() > std::numeric_limits<uint32_t>::max())
    throw Error(subject + " is too large to be read.");
  plist_t root = nullptr;
  plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  if (!root)
    throw NotWellFormedBinary(subject);
  return Tree(root);
}

// Indentation beyond this many levels is left out: indenting every line by its depth, as the
// library does, makes a deeply nested file grow with the square of its depth.
constexpr std::size_t kMaxIndent = 64;

// The library's iterators are allocated and freed with the C library.
struct FreeIterator {
  void operator()(void* iterator) const { std::free(iterator); }
};

// The XML the library writes, line for line, with CR LF line ends and indentation of at most
// kMaxIndent tabs, written without recursion. Numbers, dates, data and identifiers are left to
// the library's own formatting; keys, strings, truth values and the structure are written here.
class XmlWriter {
public:
  std::string Write(plist_t root) {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
           "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\r\n<plist "
           "version=\"1.0\">\r\n";
    Value(root, 0);
    while (!open_.empty()) {
      Open& open = open_.back();
      plist_t item = nullptr;
      if (open.dict)
        plist_dict_next_item(open.node, open.iterator.get(), nullptr, &item);
      else
        plist_array_next_item(open.node, open.iterator.get(), &item);
      const std::size_t depth = open.depth;
      if (!item) {
        Indent(depth);
        out_.append(open.dict ? "</dict>\r\n" : "</array>\r\n");
        open_.pop_back();
        continue;
      }
      if (open.dict)
        Text(depth + 1, "key", plist_dict_item_get_key(item));
      Value(item, depth + 1); // may open another level
    }
    out_.append("</plist>\r\n");
    return std::move(out_);
  }

private:
  struct Open {
    plist_t node;
    bool dict;
    std::unique_ptr<void, FreeIterator> iterator;
    std::size_t depth;
  };

  void Indent(std::size_t depth) { out_.append(std::min(depth, kMaxIndent), '\t'); }

  // Escaped as the library escapes; a line break inside a value keeps its meaning.
  void Escaped(std::string_view text) {
    for (std::size_t at; (at = text.find_first_of("&<>\r\n")) != std::string_view::npos;) {
      out_.append(text.substr(0, at));
      switch (text[at]) {
      case '&':
        out_.append("&amp;");
        break;
      case '<':
        out_.append("&lt;");
        break;
      case '>':
        out_.append("&gt;");
        break;
      case '\r':
        out_.append("&#13;"); // a bare carriage return would read back as a line feed
        break;
      default:
        out_.append("\r\n");
      }
      text.remove_prefix(at + 1);
    }
    out_.append(text);
  }

  void Text(std::size_t depth, const char* tag, plist_t node) {
    uint64_t length = 0;
    const char* text = nullptr;
    char* key = nullptr;
    if (plist_get_node_type(node) == PLIST_KEY)
      plist_get_key_val(node, &key);
    else
      text = plist_get_string_ptr(node, &length);
    const std::unique_ptr<char, FreeIterator> ownedKey(key);
    Indent(depth);
    out_.append("<").append(tag).append(">");
    Escaped(key ? std::string_view(key) : std::string_view(text ? text : "", text ? length : 0));
    out_.append("</").append(tag).append(">\r\n");
  }

  void Value(plist_t node, std::size_t depth) {
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
    case PLIST_ARRAY: {
      const bool dict = plist_get_node_type(node) == PLIST_DICT;
      Indent(depth);
      if ((dict ? plist_dict_get_size(node) : plist_array_get_size(node)) == 0) {
        out_.append(dict ? "<dict/>\r\n" : "<array/>\r\n");
        return;
      }
      out_.append(dict ? "<dict>\r\n" : "<array>\r\n");
      void* iterator = nullptr;
      if (dict)
        plist_dict_new_iter(node, &iterator);
      else
        plist_array_new_iter(node, &iterator);
      open_.push_back({node, dict, std::unique_ptr<void, FreeIterator>(iterator), depth});
      return;
    }
    case PLIST_STRING:
      Text(depth, "string", node);
      return;
    case PLIST_BOOLEAN:
      Indent(depth);
      out_.append(plist_bool_val_is_true(node) ? "<true/>\r\n" : "<false/>\r\n");
      return;
    default:
      LibraryValue(node, depth);
    }
  }

  // The library writes the value as the only item of a list; its lines, one level in, are taken
  // over at this depth.
  void LibraryValue(plist_t node, std::size_t depth) {
    const Tree list(plist_new_array());
    plist_array_append_item(list.get(), plist_copy(node));
    char* xml = nullptr;
    uint32_t size = 0;
    plist_to_xml(list.get(), &xml, &size);
    const std::unique_ptr<char, void (*)(char*)> owned(xml, plist_to_xml_free);
    if (!xml)
      throw Error("The property list could not be written as XML.");
    std::string_view text(xml, size);
    const std::size_t begin = text.find("<array>\n");
    const std::size_t end = text.rfind("</array>");
    if (begin == std::string_view::npos || end == std::string_view::npos || end < begin)
      throw Error("The property list could not be written as XML.");
    text = text.substr(begin + 8, end - begin - 8);
    while (!text.empty()) {
      std::size_t lineEnd = text.find('\n');
      std::string_view line = text.substr(0, lineEnd);
      text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
      if (line.starts_with('\t'))
        line.remove_prefix(1);
      const std::size_t tabs = std::min(line.find_first_not_of('\t'), line.size());
      Indent(depth + tabs);
      out_.append(line.substr(tabs)).append("\r\n");
    }
  }

  std::string out_;
  std::vector<Open> open_;
};

} // namespace

Measured Measure(std::string_view bytes, const std::string& subject) {
  if (bytes.starts_with(kBinaryMagic.substr(0, 6)))
    return {Format::Binary, MeasureBinary(bytes, subject), {}};
  const XmlOutline outline = OutlineOf(WithoutByteOrderMark(bytes), subject);
  return {Format::Xml, outline.nesting, std::string(outline.first)};
}

Parsed Parse(std::string_view bytes, const Measured& measured, const std::string& subject) {
  if (measured.format == Format::Binary)
    return {ParseBinary(bytes, subject), Format::Binary};
  Tree root = ParseXml(bytes, subject);
  // The library would take a lone dictionary as a property list as well.
  if (measured.firstElement != "plist")
    throw Error(subject + " is not a property list: it has no plist element.");
  return {std::move(root), Format::Xml};
}

void RunWithRoomFor(std::size_t nesting, const std::function<void()>& work) {
  if (nesting <= kShallowNesting)
    work();
  else
    platform::RunOnLargeStack(kPlistStack, work);
}

std::string Serialise(plist_t root, Format format) {
  if (format == Format::Xml)
    return XmlWriter().Write(root);
  char* bytes = nullptr;
  uint32_t size = 0;
  plist_to_bin(root, &bytes, &size);
  const std::unique_ptr<char, void (*)(char*)> owned(bytes, plist_to_bin_free);
  if (!bytes)
    throw Error("The property list could not be written in binary form.");
  return std::string(bytes, size);
}

} // namespace quillary::plist
