// The window program's main loop with a click on "Log" and a close while
// that run is going on. The process must end by itself with status 0.

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    complexplot::frmMain window;
    window.show();
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] { window.close(); });
            window.Command1(0)->click();
        });
        window.Command1(1)->click();
    });
    return application.exec();
}
