#include "coordinator/ExchangerRegistry.h"

#include "base/Error.h"
#include "exchange/db/untFirefox3.h"
#include "exchange/db/untSafari.h"
#include "exchange/files/untFirefox2.h"
#include "exchange/files/untIE.h"
#include "exchange/files/untOpera.h"

#include <string>

namespace quillary {

namespace {

class Exchangers final : public ExchangerFactory {
public:
  std::unique_ptr<Exchanger> Make(SourceKind kind) const override {
    switch (kind) {
    case SourceKind::InternetExplorer:
      return std::make_unique<TIEObj>();
    case SourceKind::Firefox2:
    case SourceKind::Netscape:
    case SourceKind::SeaMonkey:
      return std::make_unique<TFirefox2Ojb>();
    case SourceKind::Firefox3:
      return std::make_unique<TFirefox3Ojb>();
    case SourceKind::Opera:
      return std::make_unique<TOperaOjb>();
    case SourceKind::Safari:
      return std::make_unique<TSafariOjb>();
    case SourceKind::BackupFile:
      break;
    }
    throw Error("No exchanger serves the source kind " + std::to_string(IndexOf(kind)) + ".");
  }
};

} // namespace

const ExchangerFactory& SystemExchangers() {
  static const Exchangers exchangers;
  return exchangers;
}

} // namespace quillary
