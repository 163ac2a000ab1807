#include "exchange/db/Tlite3.h"

#include <utility>

namespace quillary {

void BookmarkSnapshot::Assign(std::vector<BookmarkRow> rows) {
  rows_ = std::move(rows);
  children_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i)
    children_[rows_[i].parent].push_back(i);
}

const std::vector<std::size_t>& BookmarkSnapshot::ChildrenOf(std::int64_t parent) const {
  static const std::vector<std::size_t> none;
  const auto found = children_.find(parent);
  return found == children_.end() ? none : found->second;
}

Tlite3& Tlite3::Shared() {
  static Tlite3 module;
  return module;
}

} // namespace quillary
