// complex-plot: the window.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "main_window.h"

namespace {

bool hasDisplay() {
    auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "complex-plot: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "without one, render the maps with: complex-plot-render --axes -o DIR "
                     "sin log cos tan arctan\n");
        return 1;
    }
    QApplication application(argc, argv);
    complexplot::frmMain window;
    window.show();
    return application.exec();
}
