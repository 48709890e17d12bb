#include "main_window.h"

#include <QCloseEvent>
#include <QMessageBox>

#include "plot_run.h"
#include "progress_label.h"
#include "runtime_error.h"

namespace complexplot {

namespace {

// Places and sizes are given in twips; 15 twips make one pixel.
constexpr int kTwipsPerPixel = 15;

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
    setFixedSize(9345 / kTwipsPerPixel, 4560 / kTwipsPerPixel);

    // Created in tab-index order. The captions and the check box are made
    // before the pictures, so that the pictures lie above them where they
    // overlap and no map is covered.
    label1_[0] = new QLabel(QStringLiteral("実数部"), this);
    label1_[0]->setGeometry(twipsRect(240, 120, 1455, 375));
    label1_[1] = new QLabel(QStringLiteral("虚数部"), this);
    label1_[1]->setGeometry(twipsRect(4200, 120, 1455, 375));
    for (QLabel* caption : label1_) {
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    label2_ = new ProgressLabel(this);
    label2_->setGeometry(twipsRect(240, 4200, 7815, 255));
    check1_ = new QCheckBox(QStringLiteral("座標軸を描く"), this);
    check1_->setGeometry(twipsRect(5880, 0, 2295, 375));

    picture1_ = new PictureWidget(this);
    picture1_->move(240 / kTwipsPerPixel, 360 / kTwipsPerPixel);
    picture2_ = new PictureWidget(this);
    picture2_->move(4200 / kTwipsPerPixel, 360 / kTwipsPerPixel);

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

void frmMain::closeEvent(QCloseEvent* event) {
    if (runDepth_ > 0) {
        controls_->abandonRuns();
    }
    event->accept();
}

void frmMain::showRuntimeError(int number, const QString& message) {
    // Not modal on a nested event loop: the handler returns at once and the
    // window stays usable behind the box.
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(),
                                QStringLiteral("実行時エラー '%1':\n\n%2")
                                    .arg(number)
                                    .arg(japaneseMessage(number, message)),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace complexplot
