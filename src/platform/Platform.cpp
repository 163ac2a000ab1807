#include "platform/Platform.h"

namespace quillary::platform {

namespace {
Platform* current = nullptr;
}

Platform& Current() {
  return current ? *current : System();
}

ScopedPlatform::ScopedPlatform(Platform& platform) : previous_(current) {
  current = &platform;
}

ScopedPlatform::~ScopedPlatform() {
  current = previous_;
}

} // namespace quillary::platform
