#include "coordinator/ExchangerRegistry.h"

#include "base/Error.h"
#include "exchange/db/untFirefox3.h"
#include "exchange/db/untSafari.h"
#include "exchange/files/untFirefox2.h"
#include "exchange/files/untIE.h"
#include "exchange/files/untOpera.h"

#include <array>
#include <string>
#include <utility>

namespace quillary {

namespace {

std::array<ExchangerFactory, 7>& Overrides() {
  static std::array<ExchangerFactory, 7> overrides;
  return overrides;
}

} // namespace

std::unique_ptr<Exchanger> MakeExchanger(SourceKind kind) {
  if (kind < Overrides().size() && Overrides()[kind])
    return Overrides()[kind]();
  switch (kind) {
  case kind::InternetExplorer:
    return std::make_unique<TIEObj>();
  case kind::Firefox2:
  case kind::Netscape:
  case kind::SeaMonkey:
    return std::make_unique<TFirefox2Ojb>();
  case kind::Firefox3:
    return std::make_unique<TFirefox3Ojb>();
  case kind::Opera:
    return std::make_unique<TOperaOjb>();
  case kind::Safari:
    return std::make_unique<TSafariOjb>();
  default:
    throw Error("No exchanger serves the source kind " + std::to_string(kind) + ".");
  }
}

ScopedExchanger::ScopedExchanger(SourceKind kind, ExchangerFactory factory) : kind_(kind) {
  if (kind_ >= Overrides().size())
    throw Error("No exchanger serves the source kind " + std::to_string(kind) + ".");
  previous_ = std::exchange(Overrides()[kind_], std::move(factory));
}

ScopedExchanger::~ScopedExchanger() {
  Overrides()[kind_] = std::move(previous_);
}

} // namespace quillary
