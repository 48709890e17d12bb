#pragma once

#include <QMainWindow>
#include <QSettings>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "map_canvas.h"
#include "map_geometry.h"
#include "map_renderer.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace complexplot {

// Where the explorer opens: the function, and the view and ranges a
// command line of the renderer asked for.
struct ExplorerStart {
    std::string expression = "sin(z)";
    std::optional<MapGeometry> view;  // the window; with its size when `sized`
    bool sized = false;
    RangeSetting range;
    // What the maps show, and symlog's t where the command line fixed it.
    MapKind show = MapKind::realImaginary;
    GreyCurve greys = GreyCurve::linear;
    std::optional<double> symlogScale;
    bool contours = false;
    bool zeros = false;
    bool axes = false;
    // Opened without a command line: the last session's function, window,
    // greys and axes come back from the settings, where they read.
    bool restore = false;
};

// The explorer: a line to type f(z), the two maps that follow it, and a
// status bar that reads the value under the pointer. Maps are drawn on
// worker threads; the window never waits for them.
class ExplorerWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit ExplorerWindow(const ExplorerStart& start, QWidget* parent = nullptr);
    ~ExplorerWindow() override;

    MapCanvas* canvas() const { return canvas_; }
    const MapGeometry& view() const { return history_.current(); }
    // The command line that draws the maps at rest, and one pixel's values
    // as copied; empty while no maps are at rest.
    QString commandLine() const;
    QString pixelLine(int column, int row) const;
    // The zero or pole whose mark is under a place of the map at rest, if
    // any.
    const ZeroOrPole* pointAt(QPointF place) const;
    QString statusText() const;
    // The maps at rest as a figure, in the format the suffix names: the
    // bytes the renderer's --figure writes for the view's command line.
    void saveFigureAs(const QString& path) const;
    // The view the Go to dialog's bounds X0, X1, Y0, Y1 ask for, fitted to
    // the maps; nullopt, with what is wrong, where they cannot be one.
    std::optional<MapGeometry> viewForBounds(const QStringList& texts, QString& problem) const;
    // Shows the window, sized so that the maps have the pixels the command
    // line asked for, where the screen has room for them.
    void showAtStartSize();
    // The maps of the size the command line asked for do not fit the
    // screen: its window is shown with the pixels that fit, and the status
    // bar says so.
    void startSizeDoesNotFit(QSize asked);

signals:
    // A full pass is shown: the maps are at rest.
    void mapsAtRest();
    // A render failed (no memory, no thread): the status bar says why.
    void mapsFailed(const QString& message);

public slots:
    void zoomAbout(double column, double row, double factor);
    void panBy(double columns, double rows);
    void zoomInto(double column0, double row0, double column1, double row1);
    void goBack();
    void goForward();
    void goToStart();
    void copyCommandLine();
    void copyPixel();
    void saveFigure();
    void goTo();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void expressionEdited(const QString& text);
    void mapPixelsChanged(QSize pixels);
    void rendered(std::shared_ptr<const RenderedMaps> maps);
    void progressed(quint64 id, int rowsDone, int rows);
    void renderFailed(quint64 id, const QString& message);
    void pointerMoved(double column, double row);
    void rangeChanged();
    // Another kind of map, or another grey curve: the view stays.
    void shownChanged();

private:
    void buildMenus();
    void showView(const MapGeometry& view, bool remember);
    void render();
    // The error's mark under its place in the line, and its message beside
    // the mark, kept inside the window.
    void placeCaret(int indent, const QString& message);
    // What the status bar says where the maps show no zero or pole to mark.
    QString noMarksText(const ZerosAndPoles& found) const;
    void remember(const std::string& expression);
    // The session as it is now, kept for the next start.
    void keepSession();
    void tell(const QString& message);
    RangeSetting rangeSetting() const;
    // What keeps the fixed range's fields from reading, in their words.
    QString rangeProblem() const;
    void showRangeInUse(const FunctionMaps& maps);
    MapKind shownKind() const;
    // The range controls for what is shown: all for Re and Im, one range
    // for |f|, none for the phase portrait.
    void fitRangeControls();

    QComboBox* functionBox_ = nullptr;
    QLabel* caret_ = nullptr;
    QComboBox* shown_ = nullptr;
    QComboBox* greys_ = nullptr;
    std::optional<double> symlogScale_;  // as the command line fixed it
    QComboBox* rangeMode_ = nullptr;
    QCheckBox* lock_ = nullptr;
    QLineEdit* rangeEnds_[4] = {};
    QCheckBox* axes_ = nullptr;
    QCheckBox* contours_ = nullptr;
    QCheckBox* zeros_ = nullptr;
    MapCanvas* canvas_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* progress_ = nullptr;

    MapRenderer renderer_;
    ViewHistory history_;
    MapGeometry startView_;    // the view the session opened with
    MapGeometry startWindow_;  // its bounds, fitted into maps of any size
    bool startSized_ = false;
    QSize heldWindowSize_;          // the window's size when the maps asked for were shown
    bool tookMinimumBack_ = false;  // since the window was last at its minimum or more
    bool viewFitted_ = false;
    std::string expression_;  // the last good expression, the one drawn
    quint64 jobId_ = 0;
    QTimer typingPause_;
    QTimer rangePause_;
    QSettings settings_;
    std::optional<QPointF> pointer_;
    bool statusIsError_ = false;  // the status bar shows a reading error
};

}  // namespace complexplot
