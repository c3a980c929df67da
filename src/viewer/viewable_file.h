#pragma once

// Whether a file a user names can be shown in the viewer: it is there, it is a file (not a
// folder) and it can be read. The reason comes in words the user can act on.

#include <string>

#include "base/result.h"

namespace tarvo {

Result CheckViewable(const std::string& path);

}  // namespace tarvo
