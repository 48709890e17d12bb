#include "recording_controls.h"

#include <sstream>

#include "runtime_error.h"

namespace complexplot::testing {

namespace {

std::string number(float value) {
    std::ostringstream text;
    text.precision(9);
    text << value;
    return text.str();
}

}  // namespace

void CallLog::add(std::string entry) {
    flushBoxCount();
    entries_.push_back(std::move(entry));
}

const std::vector<std::string>& CallLog::entries() {
    flushBoxCount();
    return entries_;
}

void CallLog::flushBoxCount() {
    if (pendingBoxes_ > 0) {
        entries_.push_back("boxes " + std::to_string(pendingBoxes_));
        pendingBoxes_ = 0;
    }
}

RecordingSurface::RecordingSurface(std::string name, CallLog& log)
    : name_(std::move(name)), log_(log) {}

void RecordingSurface::Cls() {
    boxes.clear();
    lines.clear();
    log_.add(name_ + ".Cls");
}

void RecordingSurface::setScaleLeft(float value) {
    scaleLeft = value;
    log_.add(name_ + ".ScaleLeft " + number(value));
}

void RecordingSurface::setScaleTop(float value) {
    scaleTop = value;
    log_.add(name_ + ".ScaleTop " + number(value));
}

void RecordingSurface::setScaleWidth(float value) {
    scaleWidth = value;
    log_.add(name_ + ".ScaleWidth " + number(value));
}

void RecordingSurface::setScaleHeight(float value) {
    scaleHeight = value;
    log_.add(name_ + ".ScaleHeight " + number(value));
}

void RecordingSurface::fillBox(float x1, float y1, float x2, float y2, RgbColour colour) {
    if (failFromFill >= 0 && fills_ >= failFromFill) {
        throw RuntimeError(RuntimeError::kInvalidCall);
    }
    ++fills_;
    boxes.push_back({x1, y1, x2, y2, colour});
    log_.countBox();
}

void RecordingSurface::drawLine(float x1, float y1, float x2, float y2, RgbColour colour) {
    lines.push_back({x1, y1, x2, y2, colour});
    log_.add(name_ + ".Line " + number(x1) + " " + number(y1) + " " + number(x2) + " " +
             number(y2) + " " + std::to_string(colour.red) + "," + std::to_string(colour.green) +
             "," + std::to_string(colour.blue));
}

RecordingControls::RecordingControls() : picture1("Picture1", log), picture2("Picture2", log) {}

void RecordingControls::setProgressCaption(std::string_view text) {
    captions.emplace_back(text);
    log.add("Label2.Caption " + std::string(text));
}

void RecordingControls::repaintProgress() {
    log.add("Label2.Refresh");
}

void RecordingControls::setTitle(std::string_view text) {
    title = text;
    log.add("frmMain.Caption " + std::string(text));
}

void RecordingControls::processPendingEvents() {
    log.add("DoEvents");
    pointerDuringEvents.push_back(pointer);
    const int turn = eventTurns++;
    if (onEvents) {
        onEvents(turn);
    }
}

std::int16_t RecordingControls::mousePointer() const {
    log.add("frmMain.MousePointer?");
    return pointer;
}

void RecordingControls::setMousePointer(std::int16_t code) {
    pointer = code;
    log.add("frmMain.MousePointer " + std::to_string(code));
}

std::int16_t RecordingControls::checkValue() const {
    log.add("Check1.Value?");
    return check;
}

}  // namespace complexplot::testing
