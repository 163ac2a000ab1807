#include "BareWork.h"

#include "store/StoreFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <utility>

namespace quillary::bench {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// A large buffer takes fresh pages from the system every time, as the allocator gives them at
// first: its habit of keeping freed memory for later would make a run cheaper than the one before
// it and leave out what the machine charges for new pages. Small ones come from the allocator.
class Buffer {
public:
  explicit Buffer(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {
    if (capacity_ >= kFreshPagesFrom) {
      void* pages =
          ::mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (pages == MAP_FAILED)
        throw std::bad_alloc();
      data_ = static_cast<char*>(pages);
    } else {
      data_ = new char[capacity_];
    }
    size_ = capacity;
  }
  Buffer(Buffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), capacity_(other.capacity_), size_(other.size_) {
  }
  Buffer& operator=(Buffer&&) = delete;
  ~Buffer() {
    if (data_ && capacity_ >= kFreshPagesFrom)
      ::munmap(data_, capacity_);
    else
      delete[] data_;
  }

  char* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  void Shorten(std::size_t size) { size_ = std::min(size, size_); }
  std::string_view View() const { return {data_, size_}; }

private:
  static constexpr std::size_t kFreshPagesFrom = 128 * 1024; // the allocator's own first limit
  char* data_ = nullptr;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

Buffer ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    Fail("cannot open", path);
  struct stat info {};
  ::fstat(fd, &info);
  Buffer bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.Size()) {
    const ssize_t got = ::read(fd, bytes.Data() + done, bytes.Size() - done);
    if (got <= 0)
      break;
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  bytes.Shorten(done);
  return bytes;
}

// Where the first of two bytes is, or the end.
std::size_t FirstOf(std::string_view text, char one, char other) {
  const void* first = std::memchr(text.data(), one, text.size());
  const std::size_t end = first ? static_cast<const char*>(first) - text.data() : text.size();
  const void* second = std::memchr(text.data(), other, end);
  return second ? static_cast<const char*>(second) - text.data() : end;
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void AppendBase64(std::string& out, std::string_view bytes) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t whole = bytes.size() / 3 * 3;
  std::size_t o = out.size();
  out.resize(o + (bytes.size() + 2) / 3 * 4, '=');
  for (std::size_t i = 0; i < whole; i += 3, o += 4) {
    const std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out[o] = kAlphabet[v >> 18];
    out[o + 1] = kAlphabet[(v >> 12) & 63];
    out[o + 2] = kAlphabet[(v >> 6) & 63];
    out[o + 3] = kAlphabet[v & 63];
  }
  if (const std::size_t rest = bytes.size() - whole) {
    const std::uint32_t v = (in[whole] << 16) | (rest == 2 ? in[whole + 1] << 8 : 0);
    out[o] = kAlphabet[v >> 18];
    out[o + 1] = kAlphabet[(v >> 12) & 63];
    if (rest == 2)
      out[o + 2] = kAlphabet[(v >> 6) & 63];
  }
}

Buffer DecodeBase64(std::string_view text) {
  static const auto table = [] {
    std::array<std::uint8_t, 256> table{};
    for (std::uint8_t i = 0; i < 64; ++i)
      table[static_cast<unsigned char>(kAlphabet[i])] = i;
    return table;
  }();
  std::size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
    ++padding;
  const std::size_t groups = text.size() / 4;
  Buffer out(groups * 3);
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t g = 0; g < groups; ++g, in += 4) {
    const std::uint32_t v =
        (table[in[0]] << 18) | (table[in[1]] << 12) | (table[in[2]] << 6) | table[in[3]];
    out.Data()[g * 3] = static_cast<char>(v >> 16);
    out.Data()[g * 3 + 1] = static_cast<char>(v >> 8);
    out.Data()[g * 3 + 2] = static_cast<char>(v);
  }
  out.Shorten(out.Size() >= padding ? out.Size() - padding : 0);
  return out;
}

// Every node below the root in document order, without recursion, while the visit returns true.
template <class Visit> void VisitNodes(const BookmarkDocument& document, const Visit& visit) {
  const pugi::xml_node root = document.document_element();
  pugi::xml_node node = root.first_child();
  while (node && node != root) {
    if (!visit(node))
      return;
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != root && !node.next_sibling())
      node = node.parent();
    if (node != root)
      node = node.next_sibling();
  }
}

struct StringWriter : pugi::xml_writer {
  std::string& out;
  explicit StringWriter(std::string& target) : out(target) {}
  void write(const void* data, std::size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

} // namespace

std::size_t BareScan(std::string_view bytes, char stop) {
  std::size_t found = 0;
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  while (at < end) {
    const void* hit = std::memchr(at, stop, static_cast<std::size_t>(end - at));
    if (!hit)
      break;
    ++found;
    at = static_cast<const char*>(hit) + 1;
  }
  return found;
}

std::size_t BareReadAndScan(const std::string& path, char stop) {
  if (!std::filesystem::is_directory(path))
    return BareScan(ReadFile(path).View(), stop);
  std::size_t found = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
    if (entry.is_regular_file())
      found += BareScan(ReadFile(entry.path().string()).View(), stop) + 1;
  return found;
}

std::size_t BareWalk(const BookmarkDocument& document) {
  std::size_t bytes = 0;
  VisitNodes(document, [&](pugi::xml_node node) {
    bytes +=
        std::strlen(node.attribute("name").value()) + std::strlen(node.attribute("url").value());
    return true;
  });
  return bytes;
}

std::size_t BareFindByGid(const BookmarkDocument& document, const char* tag,
                          const std::string& gid) {
  std::size_t visited = 0;
  VisitNodes(document, [&](pugi::xml_node node) {
    ++visited;
    return std::strcmp(node.name(), tag) != 0 || gid != node.attribute("gid").value();
  });
  return visited;
}

std::size_t BareReplaceFile(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".bare";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0)
    Fail("cannot create", temporary);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0)
      Fail("cannot write", temporary);
    done += static_cast<std::size_t>(put);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0)
    Fail("cannot replace", path);
  return done;
}

std::size_t BareReadStoreFile(const std::string& path) {
  const Buffer file = ReadFile(path);
  std::string_view rest = file.View();
  rest.remove_prefix(std::min(rest.size(), FirstOf(rest, '\n', '\r') + 1));
  if (!rest.empty() && rest.front() == '\n')
    rest.remove_prefix(1);
  Buffer xml = DecodeBase64(rest.substr(0, FirstOf(rest, '\r', '\n')));
  pugi::xml_document document;
  if (!document.load_buffer_inplace(xml.Data(), xml.Size(),
                                    pugi::parse_default | pugi::parse_declaration,
                                    pugi::encoding_auto))
    throw std::runtime_error("not a store file: " + path);
  return xml.Size();
}

std::size_t BareWriteStoreFile(const BookmarkDocument& document, const std::string& path) {
  std::string xml;
  StringWriter writer(xml);
  document.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration,
                pugi::encoding_utf8);
  std::string file = std::string(kStoreFileHeader) + "\r\n";
  file.reserve(file.size() + xml.size() / 3 * 4 + 8);
  AppendBase64(file, xml);
  file += "\r\n";
  return BareReplaceFile(path, file);
}

} // namespace quillary::bench
