#pragma once

// A fake window for plot runs: it records every platform call in order, and
// lets a test act inside the event turn of a chosen column.

#include <functional>
#include <string>
#include <vector>

#include "plot_platform.h"

namespace complexplot::testing {

struct RecordedBox {
    float x1, y1, x2, y2;
    RgbColour colour;
};

struct RecordedLine {
    float x1, y1, x2, y2;
    RgbColour colour;
};

// Every call in order, as short text. Boxes are only counted between two
// other calls, to keep a run's log small: "boxes 202".
class CallLog {
public:
    void add(std::string entry);
    void countBox() { ++pendingBoxes_; }
    const std::vector<std::string>& entries();

private:
    void flushBoxCount();

    std::vector<std::string> entries_;
    int pendingBoxes_ = 0;
};

class RecordingSurface : public PictureSurface {
public:
    RecordingSurface(std::string name, CallLog& log);

    void Cls() override;
    void setScaleLeft(float value) override;
    void setScaleTop(float value) override;
    void setScaleWidth(float value) override;
    void setScaleHeight(float value) override;
    void fillBox(float x1, float y1, float x2, float y2, RgbColour colour) override;
    void drawLine(float x1, float y1, float x2, float y2, RgbColour colour) override;

    std::vector<RecordedBox> boxes;
    std::vector<RecordedLine> lines;
    float scaleLeft = 0, scaleTop = 0, scaleWidth = 0, scaleHeight = 0;
    // A surface that fails its fills from the given one on (counted from 0),
    // as a broken device would; -1 never fails.
    int failFromFill = -1;

private:
    std::string name_;
    CallLog& log_;
    int fills_ = 0;
};

class RecordingControls : public PlotControls {
public:
    RecordingControls();

    PictureSurface& Picture1() override { return picture1; }
    PictureSurface& Picture2() override { return picture2; }
    void setProgressCaption(std::string_view text) override;
    void repaintProgress() override;
    void setTitle(std::string_view text) override;
    void processPendingEvents() override;
    std::int16_t mousePointer() const override;
    void setMousePointer(std::int16_t code) override;
    std::int16_t checkValue() const override;

    mutable CallLog log;
    RecordingSurface picture1;
    RecordingSurface picture2;
    std::vector<std::string> captions;
    std::vector<std::int16_t> pointerDuringEvents;
    std::string title;
    std::int16_t pointer = kPointerDefault;
    std::int16_t check = 0;
    int eventTurns = 0;
    // Called in the event turn with the turn's number, counted from 0.
    std::function<void(int turn)> onEvents;
};

}  // namespace complexplot::testing
