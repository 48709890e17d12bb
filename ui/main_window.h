#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "picture_widget.h"
#include "widget_controls.h"
#include "window_state.h"

namespace complexplot {

// The main window: two pictures (real part left, imaginary part right) with
// a caption over each, five function buttons, the axes check box and the
// progress label. Each button runs the plot of its index.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The one click handler of the Command1 buttons: the plot run of Index.
    // A runtime error ends the run as a normal run would end, and is shown in
    // a window-modal message box. A click that would nest runs deeper than
    // the stack surely holds is dropped with a beep.
    void Command1_Click(std::int16_t Index);

    PictureWidget* Picture1() const { return picture1_; }
    PictureWidget* Picture2() const { return picture2_; }
    QLabel* Label1(int index) const { return label1_.at(index); }
    QLabel* Label2() const { return label2_; }
    QPushButton* Command1(int index) const { return command1_.at(index); }
    QCheckBox* Check1() const { return check1_; }
    const WindowState& plotState() const { return state_; }
    // How many runs are on the stack: nested runs count one each.
    int runDepth() const { return runDepth_; }
    PlotControls& controls() { return *controls_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showRuntimeError(int number, const QString& message);

    WindowState state_;
    PictureWidget* picture1_ = nullptr;
    PictureWidget* picture2_ = nullptr;
    std::array<QLabel*, 2> label1_{};
    QLabel* label2_ = nullptr;
    std::array<QPushButton*, 5> command1_{};
    QCheckBox* check1_ = nullptr;
    std::unique_ptr<WidgetControls> controls_;
    int runDepth_ = 0;
};

}  // namespace complexplot
