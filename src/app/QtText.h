#pragma once

#include <QString>

#include <string>
#include <string_view>

// The one crossing between the core's UTF-8 text and the widgets' text: every conversion in the
// window code goes through these, so the encoding is decided in one place.
namespace quillary {

inline QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString Text(const std::string& text) {
  return Text(std::string_view(text));
}

inline QString Text(const char* text) {
  return QString::fromUtf8(text);
}

inline std::string Text(const QString& text) {
  return text.toStdString();
}

} // namespace quillary
