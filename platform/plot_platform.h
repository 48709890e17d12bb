#pragma once

// What a plot run needs from the window, as an interface: the two picture
// surfaces, the progress label, the title, the pointer, the check box and
// the event pump. The plot code is written against this and nothing else,
// so it builds and runs without Qt.

#include <cstdint>
#include <string_view>

namespace complexplot {

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

// Pointer codes as the window keeps them.
constexpr std::int16_t kPointerDefault = 0;
constexpr std::int16_t kPointerHourglass = 11;

// A picture surface addressed in user coordinates. The frame is given as the
// user coordinate of the top-left corner (ScaleLeft, ScaleTop) and the extent
// (ScaleWidth, ScaleHeight); a negative height makes y grow upwards. Drawing
// coordinates are single precision.
class PictureSurface {
public:
    virtual ~PictureSurface() = default;

    // Erases everything drawn: the surface shows its background.
    virtual void Cls() = 0;

    virtual void setScaleLeft(float value) = 0;
    virtual void setScaleTop(float value) = 0;
    virtual void setScaleWidth(float value) = 0;
    virtual void setScaleHeight(float value) = 0;

    // Fills the rectangle with corners (x1, y1) and (x2, y2), edges included.
    virtual void fillBox(float x1, float y1, float x2, float y2, RgbColour colour) = 0;

    // A straight line with the default pen.
    virtual void drawLine(float x1, float y1, float x2, float y2, RgbColour colour) = 0;
};

// The main window as a plot run sees it.
class PlotControls {
public:
    virtual ~PlotControls() = default;

    virtual PictureSurface& Picture1() = 0;
    virtual PictureSurface& Picture2() = 0;

    // Label2: the progress bar. The text is UTF-8.
    virtual void setProgressCaption(std::string_view text) = 0;
    // Repaints Label2 at once, inside the running handler.
    virtual void repaintProgress() = 0;

    // frmMain's title. The text is UTF-8.
    virtual void setTitle(std::string_view text) = 0;

    // Gives queued window events (input and painting) a turn, then returns.
    virtual void processPendingEvents() = 0;

    virtual std::int16_t mousePointer() const = 0;
    virtual void setMousePointer(std::int16_t code) = 0;

    // Check1: 0 clear, 1 ticked.
    virtual std::int16_t checkValue() const = 0;
};

}  // namespace complexplot
