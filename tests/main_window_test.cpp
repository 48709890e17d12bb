// The window as a person uses it: clicks on the buttons by their place,
// the check box, and closing the window in the middle of a run.

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "main_window.h"
#include "plot_run.h"

using namespace complexplot;

namespace {

QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// The place of each button, from the top: Log, Sin, Cos, Tan, ArcTan.
QPoint buttonCentre(std::int16_t index) {
    const int tops[] = {840, 360, 1320, 1800, 2280};
    return fromTwips(8280, tops[index], 975, 375).center();
}

void clickAt(frmMain& window, QPoint place) {
    QWidget* target = window.childAt(place);
    QVERIFY(target != nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&window, place));
}

QRgb pixel(const PictureWidget* picture, int column, int row) {
    return picture->surface().image().pixel(column, row);
}

bool isBlank(const PictureWidget* picture) {
    const QImage& image = picture->surface().image();
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            if (image.pixel(column, row) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

// A picture surface that fails from its n-th fill on, like a broken device.
class FailingSurface : public RasterSurface {
public:
    explicit FailingSurface(int fillsBeforeFailure) : fillsLeft_(fillsBeforeFailure) {}

    void fillBox(float x1, float y1, float x2, float y2, RgbColour colour) override {
        if (fillsLeft_-- <= 0) {
            throw RuntimeError(RuntimeError::kInvalidCall);
        }
        RasterSurface::fillBox(x1, y1, x2, y2, colour);
    }

private:
    int fillsLeft_ = 0;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsBlankWithNothingRun();
    void controlsStandWhereTheLayoutSays();
    void eachButtonRunsThePresetOfItsIndex();
    void pointerIsTheHourglassDuringARunAndRestoredAfter();
    void tickingTheCheckBoxAfterARunWaitsForTheNextRun();
    void nestedClickRunsInsideAndTheOuterRunFinishes();
    void twoHundredNestedClicks();
    void clicksBeyondTheDeepestNestingAreDropped();
    void looksTheSameWhateverTheDesktopFont();
    void controlsCarryTheirNames();
    void enterClicksTheFocusedButton();
    void closingDuringARunStopsEveryRun();
    void runtimeErrorIsShownAndTheWindowStaysUsable();

private:
    QTemporaryDir renders_;
};

void MainWindowTest::initTestCase() {
    QVERIFY(renders_.isValid());
    const QString command =
        QStringLiteral(RENDER_PROGRAM) + " -o " + renders_.path() + " sin log cos tan arctan";
    QCOMPARE(std::system(command.toLocal8Bit().constData()), 0);
}

void MainWindowTest::startsBlankWithNothingRun() {
    frmMain window;
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("複素数の値"));
    QVERIFY(isBlank(window.Picture1()));
    QVERIFY(isBlank(window.Picture2()));
    QCOMPARE(window.Label2()->text(), QString());
    QVERIFY(!window.Check1()->isChecked());
    QCOMPARE(window.plotState().RangeMin, 0.0);
    QCOMPARE(window.plotState().RangeMax, 0.0);
    QCOMPARE(window.size(), QSize(623, 304));
    QCOMPARE(window.minimumSize(), window.maximumSize());
}

void MainWindowTest::controlsStandWhereTheLayoutSays() {
    frmMain window;
    window.show();
    QCOMPARE(window.Picture1()->geometry(), fromTwips(240, 360, 3855, 3735));
    QCOMPARE(window.Picture2()->geometry(), fromTwips(4200, 360, 3855, 3735));
    QCOMPARE(window.Label1(0)->geometry(), fromTwips(240, 120, 1455, 375));
    QCOMPARE(window.Label1(0)->text(), QStringLiteral("実数部"));
    QCOMPARE(window.Label1(1)->geometry(), fromTwips(4200, 120, 1455, 375));
    QCOMPARE(window.Label1(1)->text(), QStringLiteral("虚数部"));
    QCOMPARE(window.Label2()->geometry(), fromTwips(240, 4200, 7815, 255));
    QCOMPARE(window.Check1()->geometry(), fromTwips(5880, 0, 2295, 375));
    QCOMPARE(window.Check1()->text(), QStringLiteral("座標軸を描く"));
    const char* captions[] = {"Sin", "Log", "Cos", "Tan", "ArcTan"};
    const int tops[] = {840, 360, 1320, 1800, 2280};
    for (int index = 0; index < 5; ++index) {
        QCOMPARE(window.Command1(index)->text(), QString::fromLatin1(captions[index]));
        QCOMPARE(window.Command1(index)->geometry(), fromTwips(8280, tops[index], 975, 375));
    }

    // The pictures lie above the captions and the check box where they meet.
    QCOMPARE(window.childAt(QPoint(20, 30)), window.Picture1());
    QCOMPARE(window.childAt(QPoint(400, 24)), window.Picture2());

    // Tab order by tab index, over the controls that take focus.
    const QList<QWidget*> expected = {window.Picture1(),  window.Picture2(),  window.Command1(0),
                                      window.Command1(1), window.Command1(2), window.Check1(),
                                      window.Command1(3), window.Command1(4)};
    QWidget* current = expected.front();
    for (int step = 1; step < expected.size(); ++step) {
        do {
            current = current->nextInFocusChain();
        } while (current->focusPolicy() == Qt::NoFocus || current == &window);
        QCOMPARE(current, expected[step]);
    }
}

void MainWindowTest::eachButtonRunsThePresetOfItsIndex() {
    const char* titles[] = {"Sin Z", "Log Z", "Cos Z", "Tan Z", "ArcTan Z"};
    frmMain window;
    window.show();
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        clickAt(window, buttonCentre(index));
        QCOMPARE(window.windowTitle(), QString::fromLatin1(titles[index]));
        QCOMPARE(window.Label2()->text(), QString());
        const QString stem = renders_.filePath(QString::fromLatin1(PresetName(index).data()));
        const QImage real(stem + "-re.png");
        const QImage imaginary(stem + "-im.png");
        QVERIFY(!real.isNull());
        QCOMPARE(window.Picture1()->surface().image().convertToFormat(QImage::Format_RGB888),
                 real.convertToFormat(QImage::Format_RGB888));
        QCOMPARE(window.Picture2()->surface().image().convertToFormat(QImage::Format_RGB888),
                 imaginary.convertToFormat(QImage::Format_RGB888));
    }
    // The title set by a run stays; the first title never comes back.
    QCOMPARE(window.windowTitle(), QStringLiteral("ArcTan Z"));
}

void MainWindowTest::pointerIsTheHourglassDuringARunAndRestoredAfter() {
    frmMain window;
    window.show();
    window.controls().setMousePointer(2);
    std::int16_t codeDuringRun = -1;
    Qt::CursorShape shapeDuringRun = Qt::ArrowCursor;
    QString captionDuringRun;
    QTimer::singleShot(0, [&] {
        codeDuringRun = window.controls().mousePointer();
        shapeDuringRun = window.cursor().shape();
        captionDuringRun = window.Label2()->text();
    });
    window.Command1(3)->click();
    QCOMPARE(codeDuringRun, kPointerHourglass);
    QCOMPARE(shapeDuringRun, Qt::WaitCursor);
    QCOMPARE(window.controls().mousePointer(), std::int16_t{2});
    QCOMPARE(window.cursor().shape(), Qt::CrossCursor);

    window.controls().setMousePointer(kPointerDefault);
    window.Command1(3)->click();
    QCOMPARE(window.controls().mousePointer(), kPointerDefault);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
}

void MainWindowTest::tickingTheCheckBoxAfterARunWaitsForTheNextRun() {
    frmMain window;
    window.show();
    window.Command1(1)->click();
    const QImage before = window.Picture1()->surface().image().copy();
    QTest::mouseClick(window.Check1(), Qt::LeftButton);
    QVERIFY(window.Check1()->isChecked());
    QCoreApplication::processEvents();
    QCOMPARE(window.Picture1()->surface().image(), before);

    window.Command1(1)->click();
    // The log preset's real axis falls on row 125, its imaginary axis on column 128.
    for (const PictureWidget* picture : {window.Picture1(), window.Picture2()}) {
        QCOMPARE(pixel(picture, 10, 125), qRgb(255, 0, 0));
        QCOMPARE(pixel(picture, 128, 10), qRgb(0, 0, 255));
    }
}

void MainWindowTest::nestedClickRunsInsideAndTheOuterRunFinishes() {
    frmMain window;
    window.show();
    window.controls().setMousePointer(3);
    bool nestedRan = false;
    QTimer::singleShot(0, [&] {
        window.Command1(0)->click();
        nestedRan = true;
    });
    window.Command1(1)->click();
    QVERIFY(nestedRan);
    QCOMPARE(window.windowTitle(), QStringLiteral("Sin Z"));
    QCOMPARE(window.plotState().RangeMin, -1.0);
    QCOMPARE(window.plotState().RangeMax, 1.0);
    QCOMPARE(window.Picture1()->surface().scaleLeft(), static_cast<float>(-6.28318530717958));
    QCOMPARE(window.controls().mousePointer(), std::int16_t{3});
    QCOMPARE(window.Label2()->text(), QString());
    // The outer log run painted its last column, with the sine's range and
    // frame: ln 2 = 0.69 on [-1, 1] is grey 215 (233 on the log's own range),
    // at the far right of the sine's frame (z = 2 falls on column 168).
    const int column = window.Picture1()->surface().pixelColumn(2.0f);
    const int row = window.Picture1()->surface().pixelRow(0.0f);
    QCOMPARE(column, 168);
    QCOMPARE(pixel(window.Picture1(), column, row), qRgb(215, 215, 215));
}

void MainWindowTest::twoHundredNestedClicks() {
    frmMain window;
    window.show();
    int clicks = 0;
    std::function<void()> clickAgain = [&] {
        if (++clicks < 200) {
            QTimer::singleShot(0, clickAgain);
        }
        window.Command1(clicks % 5)->click();
    };
    QTimer::singleShot(0, clickAgain);
    window.Command1(1)->click();
    QCOMPARE(clicks, 200);
    QCOMPARE(window.windowTitle(), QStringLiteral("Sin Z"));
    QCOMPARE(window.controls().mousePointer(), kPointerDefault);
    QCOMPARE(window.Label2()->text(), QString());
}

// Each nested run holds stack until it ends; far more clicks than the bound
// must neither crash nor keep the runs that did start from finishing.
void MainWindowTest::clicksBeyondTheDeepestNestingAreDropped() {
    frmMain window;
    window.show();
    int clicks = 0;
    int deepest = 0;
    std::function<void()> clickAgain = [&] {
        // Each click comes from the event turn of the deepest run so far.
        deepest = std::max(deepest, window.runDepth());
        if (++clicks < 3000) {
            QTimer::singleShot(0, clickAgain);
        }
        window.Command1(0)->click();
    };
    QTimer::singleShot(0, clickAgain);
    window.Command1(0)->click();
    QCOMPARE(clicks, 3000);
    QCOMPARE(deepest, 1000);
    QCOMPARE(window.runDepth(), 0);
    QCOMPARE(window.controls().mousePointer(), kPointerDefault);
    QCOMPARE(window.Label2()->text(), QString());
}

// The layout is in pixels for a 12-pixel font: a desktop with another
// default font must not move, clip or overflow anything.
void MainWindowTest::looksTheSameWhateverTheDesktopFont() {
    const QFont desktopFont = QApplication::font();
    QImage first;
    for (const int points : {8, 9, 11, 14}) {
        QFont font = desktopFont;
        font.setPointSize(points);
        if (points == 14) {
            font.setFamily(QStringLiteral("DejaVu Serif"));
        }
        QApplication::setFont(font);
        frmMain window;
        window.show();
        window.Label2()->setText(QString::fromUtf8(ProgressBar(40).data(), 40 * 3));
        const QImage picture = window.grab().toImage();
        if (first.isNull()) {
            first = picture;
        } else {
            QVERIFY2(picture == first, qPrintable(QStringLiteral("at %1 points").arg(points)));
        }
        const QLabel* bar = window.Label2();
        QVERIFY(bar->fontMetrics().horizontalAdvance(bar->text()) <= bar->contentsRect().width());
    }
    QApplication::setFont(desktopFont);
}

void MainWindowTest::controlsCarryTheirNames() {
    frmMain window;
    QCOMPARE(window.objectName(), QStringLiteral("frmMain"));
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("Picture1")), window.Picture1());
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("Picture2")), window.Picture2());
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("Label2")), window.Label2());
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("Check1")), window.Check1());
    QCOMPARE(window.Picture1()->accessibleName(), QStringLiteral("実数部"));
    QCOMPARE(window.Picture2()->accessibleName(), QStringLiteral("虚数部"));
    QCOMPARE(window.Check1()->accessibleName(), QStringLiteral("座標軸を描く"));

    const QList<QPushButton*> buttons =
        window.findChildren<QPushButton*>(QStringLiteral("Command1"));
    QCOMPARE(buttons.size(), 5);
    for (QPushButton* button : buttons) {
        QCOMPARE(button, window.Command1(button->property("Index").toInt()));
        QCOMPARE(button->accessibleName(), button->text());
    }
    const QList<QLabel*> captions = window.findChildren<QLabel*>(QStringLiteral("Label1"));
    QCOMPARE(captions.size(), 2);
    for (QLabel* caption : captions) {
        QCOMPARE(caption, window.Label1(caption->property("Index").toInt()));
        QCOMPARE(caption->accessibleName(), caption->text());
    }
}

void MainWindowTest::enterClicksTheFocusedButton() {
    frmMain window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.Command1(3)->setFocus();
    QTest::keyClick(window.Command1(3), Qt::Key_Return);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tan Z"));
    window.Command1(4)->setFocus();
    QTest::keyClick(window.Command1(4), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(window.windowTitle(), QStringLiteral("ArcTan Z"));
    // Enter on the check box clicks no function button.
    window.Check1()->setFocus();
    QTest::keyClick(window.Check1(), Qt::Key_Return);
    QCOMPARE(window.windowTitle(), QStringLiteral("ArcTan Z"));
}

void MainWindowTest::closingDuringARunStopsEveryRun() {
    {
        frmMain window;
        window.show();
        QTimer::singleShot(0, [&] { window.close(); });
        window.Command1(1)->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Log Z"));
        // Stopped at the event turn of the first column: the top right cell
        // (grey 241 once painted) is still background.
        QCOMPARE(pixel(window.Picture1(), 256, 0), qRgb(255, 255, 255));
        // A click that reaches a closed window starts nothing.
        window.Command1(0)->click();
        QCOMPARE(window.windowTitle(), QStringLiteral("Log Z"));
    }
    {
        frmMain window;
        window.show();
        bool outerResumedAfterNested = false;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] { window.close(); });
            window.Command1(0)->click();
            outerResumedAfterNested = true;
        });
        window.Command1(1)->click();
        QVERIFY(outerResumedAfterNested);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Sin Z"));
        // Neither run reached its far right column.
        QCOMPARE(pixel(window.Picture1(), 256, 0), qRgb(255, 255, 255));
    }
}

void MainWindowTest::runtimeErrorIsShownAndTheWindowStaysUsable() {
    frmMain window;
    window.show();
    window.Picture2()->setSurface(std::make_unique<FailingSurface>(500));
    window.controls().setMousePointer(2);
    window.Command1(3)->click();

    QMessageBox* box = window.findChild<QMessageBox*>();
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QVERIFY(box->text().contains(QStringLiteral("実行時エラー '5'")));
    QCOMPARE(window.Label2()->text(), QString());
    QCOMPARE(window.controls().mousePointer(), std::int16_t{2});
    QCOMPARE(window.cursor().shape(), Qt::CrossCursor);
    QVERIFY(window.isVisible());

    box->accept();
    window.Picture2()->setSurface(std::make_unique<RasterSurface>());
    window.Command1(0)->click();
    QCOMPARE(window.windowTitle(), QStringLiteral("Sin Z"));
    QVERIFY(!isBlank(window.Picture2()));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
