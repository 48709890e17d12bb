#pragma once

#include <string>

namespace complexplot {

// The renderer's --help text.
std::string renderUsage();

}  // namespace complexplot
