#pragma once

#include "base/SourceKind.h"
#include "store/Exchanger.h"

#include <memory>

namespace quillary {

// Makes the exchanger object of a kind, one per call. The coordinator is handed one, so that
// tests can give it exchangers of their own.
class ExchangerFactory {
public:
  virtual ~ExchangerFactory() = default;
  // Fails for a kind that no exchanger serves.
  virtual std::unique_ptr<Exchanger> Make(SourceKind kind) const = 0;
};

// The exchangers of the browser kinds.
const ExchangerFactory& SystemExchangers();

} // namespace quillary
