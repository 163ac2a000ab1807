#pragma once

#include "store/Exchanger.h"

namespace quillary {

class TOperaOjb final : public Exchanger {
public:
  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;
};

} // namespace quillary
