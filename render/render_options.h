#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace complexplot {

// What the command line asked the renderer for.
struct RenderOptions {
    bool axes = false;
    int scaleFactor = 1;
    std::string outputDirectory = ".";
    std::string windowFile;  // empty: no window picture
    std::vector<std::int16_t> presets;
    bool helpRequested = false;
};

// Bad command-line input. The message is one line, ready for stderr.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises UsageError for anything it cannot take.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments);

std::string renderUsage();

}  // namespace complexplot
