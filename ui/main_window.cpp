#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include "plot_run.h"
#include "progress_label.h"
#include "runtime_error.h"

namespace complexplot {

namespace {

// Places and sizes are given in twips; 15 twips make one pixel.
constexpr int kTwipsPerPixel = 15;

// The layout is made for a 9-point font at 96 dots per inch: 12 pixels.
constexpr int kFontPixelSize = 12;

// Each nested run holds a few kilobytes of stack until it ends. Nested runs
// are part of the program, but a click that would nest deeper than a stack
// of 8 MB surely holds, even in a build with sanitizers, is dropped.
constexpr int kDeepestRun = 1000;

// Pinned in pixels and in every property, so that the window looks the same
// whatever font and resolution the desktop has set: the desktop's default
// would push the progress bar past its label and clip the captions. The
// Japanese font comes first, so that every text is drawn in one face.
QFont pinnedFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixelSize);
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

// The names a test or an accessibility tool finds a control by; the members
// of a control array share one name and carry their index.
void nameControl(QWidget* control, const char* name, const QString& accessibleName,
                 int index = -1) {
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(accessibleName);
    if (index >= 0) {
        control->setProperty("Index", index);
    }
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

QString japaneseMessage(int number, const QString& fallback) {
    switch (number) {
        case RuntimeError::kInvalidCall:
            return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
        case RuntimeError::kOverflow:
            return QStringLiteral("オーバーフローしました。");
        case RuntimeError::kDivisionByZero:
            return QStringLiteral("0 で除算しました。");
        default:
            return fallback;
    }
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("複素数の値"));
    setObjectName(QStringLiteral("frmMain"));
    setFont(pinnedFont());
    setFixedSize(9345 / kTwipsPerPixel, 4560 / kTwipsPerPixel);

    // Created in tab-index order. The captions and the check box are made
    // before the pictures, so that the pictures lie above them where they
    // overlap and no map is covered.
    label1_[0] = new QLabel(QStringLiteral("実数部"), this);
    label1_[0]->setGeometry(twipsRect(240, 120, 1455, 375));
    label1_[1] = new QLabel(QStringLiteral("虚数部"), this);
    label1_[1]->setGeometry(twipsRect(4200, 120, 1455, 375));
    for (int index = 0; index < 2; ++index) {
        label1_[index]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        nameControl(label1_[index], "Label1", label1_[index]->text(), index);
    }
    label2_ = new ProgressLabel(this);
    label2_->setGeometry(twipsRect(240, 4200, 7815, 255));
    nameControl(label2_, "Label2", QStringLiteral("進行状況"));
    check1_ = new QCheckBox(QStringLiteral("座標軸を描く"), this);
    check1_->setGeometry(twipsRect(5880, 0, 2295, 375));
    nameControl(check1_, "Check1", check1_->text());

    picture1_ = new PictureWidget(this);
    picture1_->move(240 / kTwipsPerPixel, 360 / kTwipsPerPixel);
    picture2_ = new PictureWidget(this);
    picture2_->move(4200 / kTwipsPerPixel, 360 / kTwipsPerPixel);
    nameControl(picture1_, "Picture1", label1_[0]->text());
    nameControl(picture2_, "Picture2", label1_[1]->text());

    struct ButtonPlace {
        const char* caption;
        int top;
    };
    // Index order, not screen order: "Log", index 1, stands at the top.
    const ButtonPlace buttons[5] = {
        {"Sin", 840}, {"Log", 360}, {"Cos", 1320}, {"Tan", 1800}, {"ArcTan", 2280}};
    for (int index = 0; index < 5; ++index) {
        QPushButton* button = new QPushButton(QString::fromLatin1(buttons[index].caption), this);
        button->setGeometry(twipsRect(8280, buttons[index].top, 975, 375));
        nameControl(button, "Command1", button->text(), index);
        // A click while a run is going on must reach the button: it starts a
        // nested run, as the event turn of the running one allows.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, index] { Command1_Click(static_cast<std::int16_t>(index)); });
        command1_[index] = button;
    }

    // Focus order by tab index: Picture1, the two captions (which take no
    // focus), Picture2, Label2 (none), Sin, Log, Cos, Check1, Tan, ArcTan.
    QWidget* const focusOrder[] = {picture1_,    picture2_, command1_[0], command1_[1],
                                   command1_[2], check1_,   command1_[3], command1_[4]};
    for (std::size_t i = 0; i + 1 < std::size(focusOrder); ++i) {
        setTabOrder(focusOrder[i], focusOrder[i + 1]);
    }

    controls_ = std::make_unique<WidgetControls>(*this, *picture1_, *picture2_, *label2_, *check1_);
}

frmMain::~frmMain() = default;

void frmMain::Command1_Click(std::int16_t Index) {
    if (controls_->abandoned()) {
        return;
    }
    if (runDepth_ >= kDeepestRun) {
        QApplication::beep();
        return;
    }
    const std::int16_t pointerBefore = controls_->mousePointer();
    ++runDepth_;
    try {
        complexplot::Command1_Click(Index, *controls_, state_);
    } catch (const RunAbandoned&) {
        // The window was closed: this run and every run around it stop.
    } catch (const RuntimeError& error) {
        controls_->setProgressCaption("");
        controls_->setMousePointer(pointerBefore);
        showRuntimeError(error.number(), QString::fromUtf8(error.what()));
    }
    --runDepth_;
    controls_->showChangedAreas();
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // Return and Enter click the function button that has the focus, as
    // Space does; a key held down does not click again and again.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        for (QPushButton* button : command1_) {
            if (button->hasFocus()) {
                if (!event->isAutoRepeat()) {
                    button->click();
                }
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (runDepth_ > 0) {
        controls_->abandonRuns();
    }
    event->accept();
}

void frmMain::showRuntimeError(int number, const QString& message) {
    // Window-modal, as a desktop error box is: the window takes no input
    // until the box is closed. It is opened without an event loop of its
    // own, so the handler returns at once and any run around it goes on.
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(),
                                QStringLiteral("実行時エラー '%1':\n\n%2")
                                    .arg(number)
                                    .arg(japaneseMessage(number, message)),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace complexplot
