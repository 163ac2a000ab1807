#pragma once

#include <QString>

#include <string>

// The one crossing between the core's UTF-8 text and the widgets' text.
namespace quillary {

inline QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

inline std::string Text(const QString& text) {
  return text.toStdString();
}

} // namespace quillary
