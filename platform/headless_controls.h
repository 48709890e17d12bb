#pragma once

#include <string>

#include "plot_platform.h"
#include "raster_surface.h"

namespace complexplot {

// The window's controls without a window: two raster surfaces, and the
// title, progress text, pointer and check box kept as plain values. Pending
// events are none, so the event turn does nothing.
class HeadlessControls : public PlotControls {
public:
    explicit HeadlessControls(int scaleFactor = 1, std::int16_t checkValue = 0);

    PictureSurface& Picture1() override { return picture1_; }
    PictureSurface& Picture2() override { return picture2_; }
    void setProgressCaption(std::string_view text) override { progressCaption_ = text; }
    void repaintProgress() override {}
    void setTitle(std::string_view text) override { title_ = text; }
    void processPendingEvents() override {}
    std::int16_t mousePointer() const override { return pointer_; }
    void setMousePointer(std::int16_t code) override { pointer_ = code; }
    std::int16_t checkValue() const override { return checkValue_; }

    void setCheckValue(std::int16_t value) { checkValue_ = value; }
    const RasterSurface& picture1() const { return picture1_; }
    const RasterSurface& picture2() const { return picture2_; }
    const std::string& title() const { return title_; }
    const std::string& progressCaption() const { return progressCaption_; }

private:
    RasterSurface picture1_;
    RasterSurface picture2_;
    std::string title_;
    std::string progressCaption_;
    std::int16_t pointer_ = kPointerDefault;
    std::int16_t checkValue_ = 0;
};

}  // namespace complexplot
