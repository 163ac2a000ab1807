#pragma once

#include "store/Exchanger.h"

namespace quillary {

class TSafariOjb final : public Exchanger {
public:
  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;
};

} // namespace quillary
