#include "terminal_progress.h"

#include <ostream>

namespace complexplot {

TerminalProgress::TerminalProgress(std::ostream& out, bool enabled)
    : out_(out), enabled_(enabled) {}

TerminalProgress::~TerminalProgress() {
    clear();
}

void TerminalProgress::show(const std::string& stage, long long done, long long total) {
    using namespace std::chrono;
    if (!enabled_ || steady_clock::now() - start_ < milliseconds(500)) {
        return;
    }
    const long long filled = total > 0 ? 40 * done / total : 0;
    out_ << "\rcomplex-plot-render: " << stage << " [" << std::string(filled, '#')
         << std::string(40 - filled, '.') << "] " << (total > 0 ? 100 * done / total : 0) << "%"
         << "\x1b[K" << std::flush;
    shown_ = true;
}

void TerminalProgress::clear() {
    if (shown_) {
        out_ << "\r\x1b[K" << std::flush;
        shown_ = false;
    }
}

}  // namespace complexplot
