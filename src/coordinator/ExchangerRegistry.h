#pragma once

#include "base/SourceKind.h"
#include "store/Exchanger.h"

#include <functional>
#include <memory>

namespace quillary {

// Makes the exchanger object of a browser kind 0..6; fails for any other kind.
std::unique_ptr<Exchanger> MakeExchanger(SourceKind kind);

// Replaces the exchanger of one kind for the lifetime of the guard (tests of the coordinator).
using ExchangerFactory = std::function<std::unique_ptr<Exchanger>()>;
class ScopedExchanger {
public:
  ScopedExchanger(SourceKind kind, ExchangerFactory factory);
  ~ScopedExchanger();
  ScopedExchanger(const ScopedExchanger&) = delete;
  ScopedExchanger& operator=(const ScopedExchanger&) = delete;

private:
  SourceKind kind_;
  ExchangerFactory previous_;
};

} // namespace quillary
