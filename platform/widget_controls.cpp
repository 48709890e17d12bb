#include "widget_controls.h"

#include <QCoreApplication>

namespace complexplot {

namespace {

// The pointer codes a form knows, as Qt cursors. 0 is the default: the
// window then shows no cursor of its own.
Qt::CursorShape cursorShapeFor(std::int16_t code) {
    switch (code) {
        case 1:
            return Qt::ArrowCursor;
        case 2:
            return Qt::CrossCursor;
        case 3:
            return Qt::IBeamCursor;
        case 5:
            return Qt::SizeAllCursor;
        case 6:
            return Qt::SizeBDiagCursor;
        case 7:
            return Qt::SizeVerCursor;
        case 8:
            return Qt::SizeFDiagCursor;
        case 9:
            return Qt::SizeHorCursor;
        case 10:
            return Qt::UpArrowCursor;
        case kPointerHourglass:
            return Qt::WaitCursor;
        case 12:
            return Qt::ForbiddenCursor;
        case 13:
            return Qt::BusyCursor;
        case 14:
            return Qt::WhatsThisCursor;
        case 15:
            return Qt::SizeAllCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

WidgetControls::WidgetControls(QWidget& window, PictureWidget& picture1, PictureWidget& picture2,
                               QLabel& progress, QCheckBox& check)
    : window_(window),
      picture1_(picture1),
      picture2_(picture2),
      progress_(progress),
      check_(check) {}

void WidgetControls::setProgressCaption(std::string_view text) {
    progress_.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void WidgetControls::repaintProgress() {
    progress_.repaint();
}

void WidgetControls::setTitle(std::string_view text) {
    window_.setWindowTitle(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void WidgetControls::processPendingEvents() {
    showChangedAreas();
    QCoreApplication::processEvents();
    if (abandoned_) {
        throw RunAbandoned();
    }
}

void WidgetControls::setMousePointer(std::int16_t code) {
    pointer_ = code;
    if (code == kPointerDefault) {
        window_.unsetCursor();
    } else {
        window_.setCursor(cursorShapeFor(code));
    }
}

std::int16_t WidgetControls::checkValue() const {
    return check_.isChecked() ? 1 : 0;
}

void WidgetControls::showChangedAreas() {
    picture1_.scheduleChangedArea();
    picture2_.scheduleChangedArea();
}

}  // namespace complexplot
