#include "platform/SimulatedPlatform.h"

namespace quillary::platform {

GuidBytes SimulatedPlatform::NewGuid() {
  if (queuedGuids.empty())
    return System().GetGuids().NewGuid();
  GuidBytes next = queuedGuids.front();
  queuedGuids.erase(queuedGuids.begin());
  return next;
}

} // namespace quillary::platform
