#pragma once

#include <QImage>
#include <QRect>
#include <limits>
#include <vector>

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
//  - a line covers its rounded start to its rounded end, with a square pen
//    as many pixels wide as the scale factor, centred on those pixels (for
//    an even width, the extra pixel lies to the right and below);
//  - a box or line with a NaN coordinate paints nothing.
class RasterSurface : public PictureSurface {
public:
    static constexpr int kBaseWidth = 257;
    static constexpr int kBaseHeight = 249;

    explicit RasterSurface(int scaleFactor = 1, RgbColour background = RgbColour{255, 255, 255});

    // The image is a view of the surface's own pixel buffer.
    RasterSurface(const RasterSurface&) = delete;
    RasterSurface& operator=(const RasterSurface&) = delete;

    void Cls() override;

    void setScaleLeft(float value) override { setFrame(scaleLeft_, value); }
    void setScaleTop(float value) override { setFrame(scaleTop_, value); }
    void setScaleWidth(float value) override { setFrame(scaleWidth_, value); }
    void setScaleHeight(float value) override { setFrame(scaleHeight_, value); }

    float scaleLeft() const { return scaleLeft_; }
    int scaleFactor() const { return scaleFactor_; }

    void fillBox(float x1, float y1, float x2, float y2, RgbColour colour) override;
    void drawLine(float x1, float y1, float x2, float y2, RgbColour colour) override;

    // The pixel column and row a user coordinate falls on, before clipping.
    int pixelColumn(float x) const;
    int pixelRow(float y) const;

    // The live pixels: later drawing shows in this image and in its copies
    // until a copy is itself modified. Convert or copy it to keep a snapshot.
    const QImage& image() const { return image_; }

    // The area painted since the last call, and forgets it. A viewer uses it
    // to repaint only what changed.
    QRect takeChangedArea();

private:
    // Fills the pixels of the rectangle, ends included, clipped to the area.
    void fillPixels(int left, int top, int right, int bottom, QRgb pixel);
    void markChanged(int left, int top, int right, int bottom);
    void forgetChanges();
    void setFrame(float& field, float value);

    int scaleFactor_ = 1;
    int width_ = 0;
    int height_ = 0;
    std::vector<QRgb> pixels_;
    QImage image_;
    QRgb background_ = 0;
    // The default frame is the pixel grid itself.
    float scaleLeft_ = 0.0f;
    float scaleTop_ = 0.0f;
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    // The edges of the last box's column and the pixel columns they map to;
    // the top edge of the last box and its pixel row.
    // NaN never equals an edge: nothing is known yet.
    float columnEdge1_ = std::numeric_limits<float>::quiet_NaN();
    float columnEdge2_ = 0.0f;
    int leftColumn_ = 0;
    int rightColumn_ = 0;
    float chainEdge_ = std::numeric_limits<float>::quiet_NaN();
    int chainRow_ = 0;
    int changedLeft_ = 0;
    int changedTop_ = 0;
    int changedRight_ = 0;
    int changedBottom_ = 0;
};

}  // namespace complexplot
