#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

#include "expression_maps.h"

namespace complexplot {

// A bar on one line of a terminal, drawn over itself, for the stages of a
// run (computing, encoding, writing); it appears only once the run has
// taken half a second, and is wiped before any other message and at the
// end.
class TerminalProgress : public ProgressReport {
public:
    TerminalProgress(std::ostream& out, bool enabled);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void show(const std::string& stage, long long done, long long total) override;
    // Wipes the bar, so that a message can take the line.
    void clear() override;

private:
    std::ostream& out_;
    bool enabled_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace complexplot
