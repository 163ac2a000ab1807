#include "exchange/files/Utf7.h"

#include "base/Error.h"

#include <cerrno>
#include <iconv.h>

namespace quillary {

namespace {

class Converter {
public:
  Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1))
      ::iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::optional<std::string> operator()(std::string_view in) {
    if (handle_ == reinterpret_cast<iconv_t>(-1))
      throw Error("The system cannot convert UTF-7 text.");
    std::string out;
    char buffer[4096];
    char* input = const_cast<char*>(in.data());
    size_t inputLeft = in.size();
    for (bool flushing = false;;) {
      char* output = buffer;
      size_t outputLeft = sizeof buffer;
      const size_t done = flushing ? ::iconv(handle_, nullptr, nullptr, &output, &outputLeft)
                                   : ::iconv(handle_, &input, &inputLeft, &output, &outputLeft);
      out.append(buffer, static_cast<size_t>(output - buffer));
      if (done == static_cast<size_t>(-1)) {
        if (errno == E2BIG)
          continue;
        return std::nullopt; // an invalid or incomplete sequence
      }
      if (flushing)
        return out;
      flushing = true; // ends an open UTF-7 run and checks that nothing is left half read
    }
  }

private:
  iconv_t handle_;
};

} // namespace

std::optional<std::string> Utf8FromUtf7(std::string_view utf7) {
  return Converter("UTF-8", "UTF-7")(utf7);
}

std::optional<std::string> Utf7FromUtf8(std::string_view utf8) {
  return Converter("UTF-7", "UTF-8")(utf8);
}

} // namespace quillary
