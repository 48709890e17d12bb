#pragma once

#include <QImage>
#include <QRect>

#include "plot_platform.h"

namespace complexplot {

// A picture surface backed by a QImage, with an exact pixel contract so that
// every tool that compares pixels agrees:
//  - the drawing area is 257 x 249 pixels times the scale factor;
//  - the frame values are stored as float;
//  - a point maps to px = (x - ScaleLeft) * W / ScaleWidth and
//    py = (y - ScaleTop) * H / ScaleHeight, evaluated left to right in double;
//  - a filled box covers columns round(min px) .. round(max px) and rows
//    round(min py) .. round(max py), ends included, with round(v) = floor(v + 0.5),
//    clipped to the area; so neighbours both paint a shared edge and the later
//    one wins;
//  - a line is one pixel wide and covers its rounded start to its rounded end.
class RasterSurface : public PictureSurface {
public:
    static constexpr int kBaseWidth = 257;
    static constexpr int kBaseHeight = 249;

    explicit RasterSurface(int scaleFactor = 1, RgbColour background = RgbColour{255, 255, 255});

    void Cls() override;

    void setScaleLeft(float value) override { scaleLeft_ = value; }
    void setScaleTop(float value) override { scaleTop_ = value; }
    void setScaleWidth(float value) override { scaleWidth_ = value; }
    void setScaleHeight(float value) override { scaleHeight_ = value; }

    float scaleLeft() const { return scaleLeft_; }
    float scaleTop() const { return scaleTop_; }
    float scaleWidth() const { return scaleWidth_; }
    float scaleHeight() const { return scaleHeight_; }

    void fillBox(float x1, float y1, float x2, float y2, RgbColour colour) override;
    void drawLine(float x1, float y1, float x2, float y2, RgbColour colour) override;

    // The pixel column and row a user coordinate falls on, before clipping.
    int pixelColumn(float x) const;
    int pixelRow(float y) const;

    const QImage& image() const { return image_; }
    RgbColour background() const { return background_; }

    // The area painted since the last call, and forgets it. A viewer uses it
    // to repaint only what changed.
    QRect takeChangedArea();

private:
    void fillPixels(int left, int top, int right, int bottom, RgbColour colour);
    void markChanged(int left, int top, int right, int bottom);

    QImage image_;
    RgbColour background_;
    // The default frame is the pixel grid itself.
    float scaleLeft_ = 0.0f;
    float scaleTop_ = 0.0f;
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    int changedLeft_ = 0;
    int changedTop_ = 0;
    int changedRight_ = -1;
    int changedBottom_ = -1;
};

}  // namespace complexplot
