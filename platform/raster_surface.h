#pragma once

#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>
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
//    an even width, the extra pixel lies to the right and below).
class RasterSurface : public PictureSurface {
public:
    static constexpr int kBaseWidth = 257;
    static constexpr int kBaseHeight = 249;

    explicit RasterSurface(int scaleFactor = 1, RgbColour background = RgbColour{255, 255, 255});

    // The image is a view of the surface's own pixel buffer.
    RasterSurface(const RasterSurface&) = delete;
    RasterSurface& operator=(const RasterSurface&) = delete;

    void Cls() override;

    void setScaleLeft(float value) override;
    void setScaleTop(float value) override;
    void setScaleWidth(float value) override;
    void setScaleHeight(float value) override;

    float scaleLeft() const { return scaleLeft_; }
    int scaleFactor() const { return scaleFactor_; }

    void fillBox(float x1, float y1, float x2, float y2, RgbColour colour) override;
    void drawLine(float x1, float y1, float x2, float y2, RgbColour colour) override;

    // The pixel column and row a user coordinate falls on, before clipping.
    int pixelColumn(float x) const;
    int pixelRow(float y) const;

    // The live pixels: later drawing shows in this image and in its copies
    // from the next call of image() on, until a copy is itself modified.
    // Convert or copy it to keep a snapshot.
    const QImage& image() const;

    // The area painted since the last call, and forgets it. A viewer uses it
    // to repaint only what changed.
    QRect takeChangedArea();

private:
    // The boxes of a column are kept as they come and painted together when
    // anything else happens to the surface or its pixels are looked at. The
    // call itself then costs a few stores, and the painting runs as tight
    // loops. The boxes are painted in the order they came, so the pixels are
    // the same as if each had been painted at once.
    static constexpr std::size_t kPendingCapacity = 512;

    bool startColumn(float x1, float x2);
    void fillBoxAfterPainting(float x1, float y1, float x2, float y2, RgbColour colour);
    void paintPending() const;
    template <typename WriteRow>
    void paintBoxes(std::size_t count, WriteRow writeRow) const;
    template <typename WriteRow>
    bool paintChainedBoxes(std::size_t count, WriteRow writeRow) const;
    template <typename WriteRow>
    void paintBoxesGenerally(std::size_t count, WriteRow writeRow) const;

    // A run maps the same two column edges for a whole column, each cell's
    // top edge is the next cell's bottom edge, and every column has the same
    // row edges in the same order. So the surface remembers the last column
    // pair, the last top edge, the first bottom edge, and the rows of the top
    // edges in the order of the current column's boxes, checked against those
    // of the previous column. Nearly all divisions are spared. The mapping is
    // a pure function of the coordinate and the frame, so the pixels are the
    // same either way; NaN never compares equal, so it marks what is not
    // remembered.
    void forgetChanges();
    void forgetColumns();
    void forgetRows();
    int topEdgeRow(std::size_t slot, float y) const;
    static constexpr std::size_t kRememberedRows = 1024;

    // What a chain of boxes along the remembered top edges looks like: the
    // tallest box in rows (beyond kTallestChecked if any box misses the
    // area), and the rows it covers inside the area. The same for every
    // column of a run, so worked out once for each set of remembered edges.
    struct ChainShape {
        std::uint64_t version = 0;
        std::size_t slot = 0;
        std::size_t count = 0;
        int startRow = 0;
        int tallest = 0;
        int lowest = 0;
        int highest = 0;
    };
    static constexpr int kTallestChecked = 3;
    const ChainShape& chainShape(std::size_t slot, std::size_t count, int startRow) const;

    // Lines only: boxes are painted column by column.
    void fillPixels(int left, int top, int right, int bottom, QRgb pixel);
    void markChanged(int left, int top, int right, int bottom) const;

    int scaleFactor_ = 1;
    int width_ = 0;
    int height_ = 0;
    // Painting what is pending changes the pixels, what is remembered and
    // the changed area, but not what the surface shows to its readers: they
    // always see every box drawn so far. So these may change in const calls.
    mutable std::vector<QRgb> pixels_;
    QImage image_;
    RgbColour background_;
    mutable std::array<float, kPendingCapacity> pendingY1_;
    mutable std::array<float, kPendingCapacity> pendingY2_;
    mutable std::array<QRgb, kPendingCapacity> pendingPixels_;
    mutable std::size_t pendingCount_ = 0;
    float rememberedLeftEdge_ = 0.0f;
    float rememberedRightEdge_ = 0.0f;
    int rememberedLeftColumn_ = 0;
    int rememberedRightColumn_ = 0;
    mutable float rememberedBottomEdge_ = 0.0f;
    mutable int rememberedBottomRow_ = 0;
    mutable float rememberedStartEdge_ = 0.0f;
    mutable int rememberedStartRow_ = 0;
    // The top edges of the first rememberedTopCount_ places in a column, and
    // their rows; the version changes whenever one of them does.
    mutable std::array<float, kRememberedRows> rememberedTopEdges_;
    mutable std::array<int, kRememberedRows> rememberedTopRows_;
    mutable std::size_t rememberedTopCount_ = 0;
    mutable std::uint64_t rememberedTopVersion_ = 1;
    mutable ChainShape chainShape_;
    mutable std::size_t boxInColumn_ = 0;
    // The default frame is the pixel grid itself.
    float scaleLeft_ = 0.0f;
    float scaleTop_ = 0.0f;
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    mutable int changedLeft_ = 0;
    mutable int changedTop_ = 0;
    mutable int changedRight_ = 0;
    mutable int changedBottom_ = 0;
};

}  // namespace complexplot
