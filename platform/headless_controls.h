#pragma once

#include "plot_platform.h"
#include "raster_surface.h"

namespace complexplot {

// The window's controls without a window: two raster surfaces, and the
// pointer and check box kept as plain values. There is no title or label to
// show text on, and no pending events, so those calls do nothing.
class HeadlessControls : public PlotControls {
public:
    explicit HeadlessControls(int scaleFactor = 1, std::int16_t checkValue = 0);

    PictureSurface& Picture1() override { return picture1_; }
    PictureSurface& Picture2() override { return picture2_; }
    void setProgressCaption(std::string_view) override {}
    void repaintProgress() override {}
    void setTitle(std::string_view) override {}
    void processPendingEvents() override {}
    std::int16_t mousePointer() const override { return pointer_; }
    void setMousePointer(std::int16_t code) override { pointer_ = code; }
    std::int16_t checkValue() const override { return checkValue_; }

    void setCheckValue(std::int16_t value) { checkValue_ = value; }
    const RasterSurface& picture1() const { return picture1_; }
    const RasterSurface& picture2() const { return picture2_; }

private:
    RasterSurface picture1_;
    RasterSurface picture2_;
    std::int16_t pointer_ = kPointerDefault;
    std::int16_t checkValue_ = 0;
};

}  // namespace complexplot
