#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QWidget>
#include <stdexcept>

#include "picture_widget.h"
#include "plot_platform.h"

namespace complexplot {

// Raised from the event turn when the window was closed during a run: every
// run on the stack stops there. It is not an error.
class RunAbandoned : public std::exception {
public:
    const char* what() const noexcept override { return "the window was closed during a run"; }
};

// The plot run's view of the real window: pictures, progress label, title,
// check box, pointer and Qt's event loop.
class WidgetControls : public PlotControls {
public:
    WidgetControls(QWidget& window, PictureWidget& picture1, PictureWidget& picture2,
                   QLabel& progress, QCheckBox& check);

    PictureSurface& Picture1() override { return picture1_.surface(); }
    PictureSurface& Picture2() override { return picture2_.surface(); }
    void setProgressCaption(std::string_view text) override;
    void repaintProgress() override;
    void setTitle(std::string_view text) override;
    // Shows the cells drawn since the last turn, handles the queued events,
    // and raises RunAbandoned once the window has been closed.
    void processPendingEvents() override;
    std::int16_t mousePointer() const override { return pointer_; }
    void setMousePointer(std::int16_t code) override;
    std::int16_t checkValue() const override;

    // From now on every event turn raises RunAbandoned.
    void abandonRuns() { abandoned_ = true; }
    bool abandoned() const { return abandoned_; }

    // Schedules the repaint of whatever the pictures hold that is not shown.
    void showChangedAreas();

private:
    QWidget& window_;
    PictureWidget& picture1_;
    PictureWidget& picture2_;
    QLabel& progress_;
    QCheckBox& check_;
    std::int16_t pointer_ = kPointerDefault;
    bool abandoned_ = false;
};

}  // namespace complexplot
