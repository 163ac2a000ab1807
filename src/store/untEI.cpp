#include "store/untEI.h"

#include "exchange/ExchangerRegistry.h"
#include "platform/Error.h"
#include "settings/untConfig.h"
#include "store/untUtil.h"

#include <memory>

namespace quillary {

TEI::TEI(const std::string& settingsPath, std::string storePath)
    : storePath_(std::move(storePath)) {
  TConfig config = settingsPath.empty() ? TConfig() : TConfig(settingsPath);
  // Taken exactly as stored: no trimming, empty when missing.
  Firefox2Path = config.GetBrowserPath(kind::Firefox2);
  Firefox3Path = config.GetBrowserPath(kind::Firefox3);
  OperaPath = config.GetBrowserPath(kind::Opera);
  SafariPath = config.GetBrowserPath(kind::Safari);
  IEPath = config.GetBrowserPath(kind::InternetExplorer);
  NetscapePath = config.GetBrowserPath(kind::Netscape);
  SeaMonkeyPath = config.GetBrowserPath(kind::SeaMonkey);
}

const std::string& TEI::PathOf(SourceKind kind) const {
  static const std::string none;
  switch (kind) {
  case kind::InternetExplorer:
    return IEPath;
  case kind::Firefox2:
    return Firefox2Path;
  case kind::Firefox3:
    return Firefox3Path;
  case kind::Opera:
    return OperaPath;
  case kind::Safari:
    return SafariPath;
  case kind::Netscape:
    return NetscapePath;
  case kind::SeaMonkey:
    return SeaMonkeyPath;
  default:
    return none;
  }
}

void TEI::Import(const std::vector<SourceKind>&, BookmarkDocument&) { throw Error("not yet"); }

void TEI::Export(const std::vector<SourceKind>&, BookmarkDocument&, bool) {
  throw Error("not yet");
}

} // namespace quillary
