#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace complexplot {

namespace {

// round(v) = floor(v + 0.5). The result is kept one pixel beyond each end of
// the area, so that far-away coordinates still convert to int safely and
// still clip away. Within that range floor is truncation corrected for
// negative numbers, which is exact and avoids a library call per corner.
int roundToPixel(double v, int extent) {
    const double shifted = std::clamp(v + 0.5, -1.0, static_cast<double>(extent));
    const int truncated = static_cast<int>(shifted);
    return truncated > shifted ? truncated - 1 : truncated;
}

QRgb toRgb(RgbColour colour) {
    return qRgb(colour.red, colour.green, colour.blue);
}

}  // namespace

RasterSurface::RasterSurface(int scaleFactor, RgbColour background)
    : scaleFactor_(scaleFactor),
      width_(kBaseWidth * scaleFactor),
      height_(kBaseHeight * scaleFactor),
      pixels_(static_cast<std::size_t>(width_) * height_, toRgb(background)),
      image_(reinterpret_cast<uchar*>(pixels_.data()), width_, height_,
             static_cast<qsizetype>(width_) * sizeof(QRgb), QImage::Format_RGB32),
      background_(background),
      scaleWidth_(static_cast<float>(width_)),
      scaleHeight_(static_cast<float>(height_)) {
    forgetColumns();
    forgetRows();
    forgetChanges();
}

void RasterSurface::setScaleLeft(float value) {
    paintPending();
    scaleLeft_ = value;
    forgetColumns();
}

void RasterSurface::setScaleTop(float value) {
    paintPending();
    scaleTop_ = value;
    forgetRows();
}

void RasterSurface::setScaleWidth(float value) {
    paintPending();
    scaleWidth_ = value;
    forgetColumns();
}

void RasterSurface::setScaleHeight(float value) {
    paintPending();
    scaleHeight_ = value;
    forgetRows();
}

void RasterSurface::Cls() {
    // What is still pending would be erased at once.
    pendingCount_ = 0;
    std::fill(pixels_.begin(), pixels_.end(), toRgb(background_));
    markChanged(0, 0, width_ - 1, height_ - 1);
}

[[gnu::noinline]] int RasterSurface::pixelColumn(float x) const {
    const double px = (static_cast<double>(x) - static_cast<double>(scaleLeft_)) * width_ /
                      static_cast<double>(scaleWidth_);
    return roundToPixel(px, width_);
}

[[gnu::noinline]] int RasterSurface::pixelRow(float y) const {
    const double py = (static_cast<double>(y) - static_cast<double>(scaleTop_)) * height_ /
                      static_cast<double>(scaleHeight_);
    return roundToPixel(py, height_);
}

void RasterSurface::forgetChanges() {
    // Empty: any painted pixel lowers the left and top ends and raises the
    // right and bottom ones.
    changedLeft_ = std::numeric_limits<int>::max();
    changedTop_ = std::numeric_limits<int>::max();
    changedRight_ = std::numeric_limits<int>::min();
    changedBottom_ = std::numeric_limits<int>::min();
}

void RasterSurface::forgetColumns() {
    rememberedLeftEdge_ = std::numeric_limits<float>::quiet_NaN();
}

void RasterSurface::forgetRows() {
    const float nothing = std::numeric_limits<float>::quiet_NaN();
    rememberedBottomEdge_ = nothing;
    rememberedStartEdge_ = nothing;
    rememberedTopCount_ = 0;
    ++rememberedTopVersion_;
}

int RasterSurface::topEdgeRow(std::size_t slot, float y) const {
    if (slot < rememberedTopCount_ && rememberedTopEdges_[slot] == y) {
        return rememberedTopRows_[slot];
    }
    const int row = pixelRow(y);
    // Places are filled in order, so the first rememberedTopCount_ are all
    // known; a box that skips a place leaves the rest unremembered.
    if (slot <= rememberedTopCount_ && slot < kRememberedRows) {
        rememberedTopEdges_[slot] = y;
        rememberedTopRows_[slot] = row;
        rememberedTopCount_ = std::max(rememberedTopCount_, slot + 1);
        ++rememberedTopVersion_;
    }
    return row;
}

[[gnu::noinline]] bool RasterSurface::startColumn(float x1, float x2) {
    if (std::isnan(x1) || std::isnan(x2)) {
        return false;
    }
    const int column1 = pixelColumn(x1);
    const int column2 = pixelColumn(x2);
    rememberedLeftEdge_ = x1;
    rememberedRightEdge_ = x2;
    rememberedLeftColumn_ = std::max(std::min(column1, column2), 0);
    rememberedRightColumn_ = std::min(std::max(column1, column2), width_ - 1);
    boxInColumn_ = 0;
    return true;
}

void RasterSurface::fillBox(float x1, float y1, float x2, float y2, RgbColour colour) {
    // Kept without a call or a stack frame on the way of nearly every box.
    if (x1 != rememberedLeftEdge_ || x2 != rememberedRightEdge_ ||
        pendingCount_ == kPendingCapacity) [[unlikely]] {
        fillBoxAfterPainting(x1, y1, x2, y2, colour);
        return;
    }
    const std::size_t index = pendingCount_++;
    pendingY1_[index] = y1;
    pendingY2_[index] = y2;
    pendingPixels_[index] = toRgb(colour);
}

[[gnu::noinline]] void RasterSurface::fillBoxAfterPainting(float x1, float y1, float x2, float y2,
                                                           RgbColour colour) {
    paintPending();
    if (!(x1 == rememberedLeftEdge_ && x2 == rememberedRightEdge_) && !startColumn(x1, x2)) {
        return;
    }
    fillBox(x1, y1, x2, y2, colour);
}

[[gnu::noinline]] void RasterSurface::paintPending() const {
    const std::size_t count = pendingCount_;
    if (count == 0) {
        return;
    }
    pendingCount_ = 0;
    const int left = rememberedLeftColumn_;
    const int right = rememberedRightColumn_;
    if (left > right) {
        // The column lies outside the area.
        return;
    }
    QRgb* const columnTop = pixels_.data() + left;
    const std::size_t stride = static_cast<std::size_t>(width_);
    const int span = right - left;
    // A box of a run is one to four pixels across. Its pixels in one row are
    // written as one or two pairs at the two ends, overlapping when narrower
    // than four, so no loop has a length the processor would have to guess.
    if (span == 0) {
        paintBoxes(count, [=](int row, QRgb pixel) { columnTop[row * stride] = pixel; });
    } else if (span == 1) {
        paintBoxes(count, [=](int row, QRgb pixel) {
            const std::uint64_t pair = pixel | (std::uint64_t{pixel} << 32);
            std::memcpy(columnTop + row * stride, &pair, sizeof pair);
        });
    } else if (span <= 3) {
        paintBoxes(count, [=](int row, QRgb pixel) {
            const std::uint64_t pair = pixel | (std::uint64_t{pixel} << 32);
            QRgb* const line = columnTop + row * stride;
            std::memcpy(line, &pair, sizeof pair);
            std::memcpy(line + span - 1, &pair, sizeof pair);
        });
    } else {
        paintBoxes(count, [=](int row, QRgb pixel) {
            QRgb* const line = columnTop + row * stride;
            std::fill(line, line + span + 1, pixel);
        });
    }
}

template <typename WriteRow>
void RasterSurface::paintBoxes(std::size_t count, WriteRow writeRow) const {
    if (!paintChainedBoxes(count, writeRow)) {
        paintBoxesGenerally(count, writeRow);
    }
}

// The usual column of a run: the first box starts at a remembered edge, each
// box starts where the one before it ended, each top edge is the one
// remembered for its place in the column, and every box overlaps the area
// and is at most four rows high. Each box is then written with a fixed
// number of row writes, without branches.
template <typename WriteRow>
bool RasterSurface::paintChainedBoxes(std::size_t count, WriteRow writeRow) const {
    const std::size_t slot = boxInColumn_;
    if (slot + count > rememberedTopCount_) {
        return false;
    }
    const float firstEdge = pendingY1_[0];
    int startRow = 0;
    if (firstEdge == rememberedBottomEdge_) {
        startRow = rememberedBottomRow_;
    } else if (firstEdge == rememberedStartEdge_) {
        startRow = rememberedStartRow_;
    } else {
        return false;
    }
    // Compared bit for bit, which is stricter than as numbers: the
    // remembered edges are never NaN, so neither are the edges that match.
    const float* const topEdges = rememberedTopEdges_.data() + slot;
    if (std::memcmp(pendingY2_.data(), topEdges, count * sizeof(float)) != 0 ||
        std::memcmp(pendingY1_.data() + 1, pendingY2_.data(), (count - 1) * sizeof(float)) != 0) {
        return false;
    }
    const ChainShape& shape = chainShape(slot, count, startRow);
    if (shape.tallest > kTallestChecked) {
        return false;
    }

    const int lastRow = height_ - 1;
    auto clamped = [lastRow](int row) { return std::clamp(row, 0, lastRow); };
    const int* const topRows = rememberedTopRows_.data() + slot;
    const QRgb* const pixels = pendingPixels_.data();
    int bottomRow = clamped(startRow);
    if (shape.tallest <= 1) {
        // Each box is its bottom row and its top row, and its top row is the
        // next box's bottom row, which that box paints over: so each box but
        // the last needs to paint only its bottom row.
        for (std::size_t index = 0; index < count; ++index) {
            writeRow(bottomRow, pixels[index]);
            bottomRow = clamped(topRows[index]);
        }
        writeRow(bottomRow, pixels[count - 1]);
    } else {
        // Both pairs of ends, the same row twice when fewer than four.
        for (std::size_t index = 0; index < count; ++index) {
            const int topRow = clamped(topRows[index]);
            const int first = std::min(bottomRow, topRow);
            const int last = std::max(bottomRow, topRow);
            writeRow(first, pixels[index]);
            writeRow(std::min(first + 1, last), pixels[index]);
            writeRow(std::max(last - 1, first), pixels[index]);
            writeRow(last, pixels[index]);
            bottomRow = topRow;
        }
    }
    rememberedBottomEdge_ = pendingY2_[count - 1];
    rememberedBottomRow_ = topRows[count - 1];
    boxInColumn_ = slot + count;
    markChanged(rememberedLeftColumn_, shape.lowest, rememberedRightColumn_, shape.highest);
    return true;
}

const RasterSurface::ChainShape& RasterSurface::chainShape(std::size_t slot, std::size_t count,
                                                           int startRow) const {
    ChainShape& shape = chainShape_;
    if (shape.version == rememberedTopVersion_ && shape.slot == slot && shape.count == count &&
        shape.startRow == startRow) {
        return shape;
    }
    const int lastRow = height_ - 1;
    shape = ChainShape{rememberedTopVersion_, slot, count, startRow, 0, lastRow, 0};
    int bottomRow = startRow;
    for (std::size_t index = 0; index < count; ++index) {
        const int topRow = rememberedTopRows_[slot + index];
        // Clamping a box's rows to the area clips it only if it overlaps the
        // area; one beyond it, as past the ends of a run, spoils the shortcut.
        if (std::max(bottomRow, topRow) < 0 || std::min(bottomRow, topRow) > lastRow) {
            shape.tallest = kTallestChecked + 1;
        }
        shape.tallest = std::max(shape.tallest, std::abs(topRow - bottomRow));
        shape.lowest = std::min(shape.lowest, std::max(std::min(bottomRow, topRow), 0));
        shape.highest = std::max(shape.highest, std::min(std::max(bottomRow, topRow), lastRow));
        bottomRow = topRow;
    }
    return shape;
}

template <typename WriteRow>
void RasterSurface::paintBoxesGenerally(std::size_t count, WriteRow writeRow) const {
    // The chain of shared edges and the changed rows live in locals: the
    // pixel stores could otherwise alias the members and force reloads.
    float chainEdge = rememberedBottomEdge_;
    int chainRow = rememberedBottomRow_;
    std::size_t slot = boxInColumn_;
    int changedTop = std::numeric_limits<int>::max();
    int changedBottom = std::numeric_limits<int>::min();
    const int lastRow = height_ - 1;
    for (std::size_t index = 0; index < count; ++index) {
        const float y1 = pendingY1_[index];
        const float y2 = pendingY2_[index];
        if (std::isnan(y1) || std::isnan(y2)) {
            continue;
        }
        int row1 = chainRow;
        if (y1 != chainEdge) {
            if (y1 != rememberedStartEdge_) {
                rememberedStartEdge_ = y1;
                rememberedStartRow_ = pixelRow(y1);
            }
            row1 = rememberedStartRow_;
        }
        const int row2 = topEdgeRow(slot, y2);
        ++slot;
        chainEdge = y2;
        chainRow = row2;
        const int top = std::max(std::min(row1, row2), 0);
        const int bottom = std::min(std::max(row1, row2), lastRow);
        for (int row = top; row <= bottom; ++row) {
            writeRow(row, pendingPixels_[index]);
        }
        if (top <= bottom) {
            changedTop = std::min(changedTop, top);
            changedBottom = std::max(changedBottom, bottom);
        }
    }
    rememberedBottomEdge_ = chainEdge;
    rememberedBottomRow_ = chainRow;
    boxInColumn_ = slot;
    if (changedTop <= changedBottom) {
        markChanged(rememberedLeftColumn_, changedTop, rememberedRightColumn_, changedBottom);
    }
}

const QImage& RasterSurface::image() const {
    paintPending();
    return image_;
}

void RasterSurface::drawLine(float x1, float y1, float x2, float y2, RgbColour colour) {
    paintPending();
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return;
    }
    const int column1 = pixelColumn(x1);
    const int column2 = pixelColumn(x2);
    const int row1 = pixelRow(y1);
    const int row2 = pixelRow(y2);
    // The pen is as many pixels wide as the scale, so that a line keeps its
    // weight in print; it is centred on the pixel of the one-pixel line,
    // with the odd pixel of an even width to the right and below.
    const int before = (scaleFactor_ - 1) / 2;
    const int after = scaleFactor_ / 2;
    const QRgb pixel = toRgb(colour);
    if (column1 == column2 || row1 == row2) {
        fillPixels(std::min(column1, column2) - before, std::min(row1, row2) - before,
                   std::max(column1, column2) + after, std::max(row1, row2) + after, pixel);
        return;
    }
    // A slanted line: one pen's square per step along its longer direction.
    const int steps = std::max(std::abs(column2 - column1), std::abs(row2 - row1));
    for (int step = 0; step <= steps; ++step) {
        const double t = static_cast<double>(step) / steps;
        const int column = static_cast<int>(std::floor(column1 + (column2 - column1) * t + 0.5));
        const int row = static_cast<int>(std::floor(row1 + (row2 - row1) * t + 0.5));
        fillPixels(column - before, row - before, column + after, row + after, pixel);
    }
}

QRect RasterSurface::takeChangedArea() {
    paintPending();
    if (changedRight_ < changedLeft_) {
        return QRect();
    }
    const QRect area(QPoint(changedLeft_, changedTop_), QPoint(changedRight_, changedBottom_));
    forgetChanges();
    return area;
}

void RasterSurface::fillPixels(int left, int top, int right, int bottom, QRgb pixel) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_ - 1);
    bottom = std::min(bottom, height_ - 1);
    if (left > right || top > bottom) {
        return;
    }
    QRgb* line = pixels_.data() + static_cast<std::size_t>(top) * width_;
    for (int row = top; row <= bottom; ++row, line += width_) {
        std::fill(line + left, line + right + 1, pixel);
    }
    markChanged(left, top, right, bottom);
}

void RasterSurface::markChanged(int left, int top, int right, int bottom) const {
    changedLeft_ = std::min(changedLeft_, left);
    changedTop_ = std::min(changedTop_, top);
    changedRight_ = std::max(changedRight_, right);
    changedBottom_ = std::max(changedBottom_, bottom);
}

}  // namespace complexplot
