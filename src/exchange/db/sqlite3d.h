#pragma once

namespace quillary {} // namespace quillary
