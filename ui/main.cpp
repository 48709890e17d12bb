// complex-plot: the window.

#include <QApplication>

#include "main_window.h"
#include "platform_failure.h"

int main(int argc, char** argv) {
    complexplot::catchPlatformFailure();
    QApplication application(argc, argv);
    complexplot::releaseStartupMessages();
    complexplot::frmMain window;
    window.show();
    return application.exec();
}
