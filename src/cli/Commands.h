#pragma once

#include "cli/CliOptions.h"

#include <iosfwd>

namespace quillary::cli {

// Runs the command; output goes to out. Failures raise quillary::Error, wrong usage UsageError.
void RunCommand(const Options& options, std::ostream& out);

} // namespace quillary::cli
