// The explorer driven as a user would, with the mouse, the wheel and keys,
// offscreen: views that move as asked, and maps, command lines and values
// that are exactly the renderer's.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QTranslator>
#include <QWheelEvent>
#include <QtTest>
#include <cstring>
#include <memory>

#include "compiled_expression.h"
#include "explorer_window.h"
#include "expression_message.h"
#include "function_maps.h"
#include "handout_list.h"
#include "map_canvas.h"
#include "map_renderer.h"
#include "render_options.h"
#include "value_grid.h"
#include "zeros_and_poles.h"

using namespace complexplot;

namespace {

// How far apart two planes' points may be: half a pixel of the view.
double halfPixel(const MapGeometry& view) {
    return 0.5 * (view.x1 - view.x0) / view.width;
}

// The maps the renderer makes for a copied command line.
FunctionMaps mapsOfCommandLine(const QString& line) {
    std::vector<std::string> words = shellWords(line.toStdString());
    words.erase(words.begin());
    const RenderOptions options = parseRenderOptions(words);
    std::ostringstream messages;
    ProgressReport progress;
    return makeFunctionMaps(*options.function, options.axes, messages, progress);
}

}  // namespace

class ExplorerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExplorerWindow> window_;

    ExplorerWindow& open(const std::string& expression) {
        ExplorerStart start;
        start.expression = expression;
        window_ = std::make_unique<ExplorerWindow>(start);
        window_->resize(900, 520);
        window_->show();
        waitForRest();
        return *window_;
    }

    void waitForRest() {
        QTRY_VERIFY_WITH_TIMEOUT(window_->canvas()->restingMaps() != nullptr, 20000);
    }

    // The widget point at the centre of map pixel (column, row) of the real map.
    QPoint pointAt(double column, double row) const {
        const QRectF rect = window_->canvas()->mapRect(false);
        return (rect.topLeft() + QPointF(column, row)).toPoint();
    }

private slots:
    void cleanup() { window_.reset(); }

    // The wheel zooms about the pointer: the point under it stays, to within
    // half a pixel; 1.25 times a notch, a touchpad's small angle in
    // proportion.
    void wheelZoomKeepsThePointUnderThePointer() {
        ExplorerWindow& window = open("z");
        for (const int angle : {120, 240, -120, 30}) {
            const MapGeometry before = window.view();
            const QPoint point = pointAt(before.width / 3.0, before.height / 4.0);
            const QPointF place = *window.canvas()->mapPlaceAt(point);
            QWheelEvent wheel(point, window.canvas()->mapToGlobal(point), QPoint(),
                              QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(window.canvas(), &wheel);
            const MapGeometry after = window.view();
            QCOMPARE_LE(std::abs(after.xAt(place.x()) - before.xAt(place.x())), halfPixel(after));
            QCOMPARE_LE(std::abs(after.yAt(place.y()) - before.yAt(place.y())), halfPixel(after));
            const double factor = (before.x1 - before.x0) / (after.x1 - after.x0);
            QVERIFY(std::abs(factor - std::pow(1.25, angle / 120.0)) < 1e-9);
        }
    }

    // Dragging pans: the map follows the pointer, k pixels for k pixels.
    // Back and forward walk the views gone through.
    void dragPansByPixelsAndHistoryWalksBack() {
        ExplorerWindow& window = open("z");
        const MapGeometry start = window.view();
        const double pixel = (start.x1 - start.x0) / start.width;
        const QPoint from = pointAt(100, 100);
        QTest::mousePress(window.canvas(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(window.canvas(), from + QPoint(30, -20));
        QTest::mouseRelease(window.canvas(), Qt::LeftButton, Qt::NoModifier,
                            from + QPoint(30, -20));
        const MapGeometry panned = window.view();
        QVERIFY(std::abs(panned.x0 - (start.x0 - 30 * pixel)) < 1e-12);
        QVERIFY(std::abs(panned.y1 - (start.y1 - 20 * pixel)) < 1e-12);

        window.canvas()->setFocus();
        QTest::keyClick(window.canvas(), Qt::Key_Plus);
        const MapGeometry zoomed = window.view();
        QVERIFY(!(zoomed == panned));
        QTest::keyClick(window.canvas(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(window.view() == panned);
        QTest::keyClick(window.canvas(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(window.view() == start);
        QTest::keyClick(window.canvas(), Qt::Key_Right, Qt::AltModifier);
        QVERIFY(window.view() == panned);
        QTest::keyClick(window.canvas(), Qt::Key_0);
        QVERIFY(window.view() == start);
    }

    // At rest the maps are computeValues' values for the view, and the
    // copied command line, read by the renderer's own option reader, draws
    // the same pixels.
    void mapsAtRestAreTheRenderersForTheCopiedCommandLine() {
        ExplorerWindow& window = open("exp(1/z)");
        const auto resting = window.canvas()->restingMaps();
        const MapGeometry view = window.view();
        const LargeVector<ComplexValue> values =
            computeValues(CompiledExpression("exp(1/z)"), view, 1);
        QCOMPARE(resting->maps.values.size(), values.size());
        QVERIFY(std::memcmp(values.data(), resting->maps.values.data(),
                            values.size() * sizeof(ComplexValue)) == 0);

        std::vector<std::string> words = shellWords(window.commandLine().toStdString());
        QCOMPARE(words.front(), std::string("complex-plot-render"));
        words.erase(words.begin());
        const RenderOptions options = parseRenderOptions(words);
        QVERIFY(options.function->geometry == view);
        std::ostringstream messages;
        ProgressReport progress;
        const FunctionMaps maps =
            makeFunctionMaps(*options.function, options.axes, messages, progress);
        QCOMPARE(maps.first, resting->maps.first);
        QCOMPARE(maps.second, resting->maps.second);
    }

    // A student moves between the kinds and the grey curves with the
    // choices beside the range: the view stays, and at rest each kind's
    // maps are the renderer's for the copied command line, which carries
    // --show and --greys.
    void eachKindAtRestIsTheRenderersForTheCopiedCommandLine() {
        ExplorerWindow& window = open("exp(1/z)*(z-1)");
        window.canvas()->setFocus();
        QTest::keyClick(window.canvas(), Qt::Key_Plus);
        QTRY_VERIFY_WITH_TIMEOUT(window.canvas()->restingMaps() != nullptr, 20000);
        const MapGeometry zoomed = window.view();
        auto* shown = window.findChild<QComboBox*>(QStringLiteral("show"));
        auto* greys = window.findChild<QComboBox*>(QStringLiteral("greys"));
        QVERIFY(shown != nullptr && greys != nullptr);
        const struct {
            int shown;
            int greys;
            const char* words;
        } choices[] = {{1, 0, "--show modulus-arg"}, {2, 0, "--show phase"}, {0, 1, "--greys"}};
        for (const auto& choice : choices) {
            shown->setCurrentIndex(choice.shown);
            greys->setCurrentIndex(choice.greys);
            QTRY_VERIFY_WITH_TIMEOUT(window.canvas()->restingMaps() != nullptr &&
                                         window.canvas()->restingMaps()->maps.shading.kind ==
                                             static_cast<MapKind>(choice.shown) &&
                                         window.canvas()->restingMaps()->maps.shading.curve ==
                                             static_cast<GreyCurve>(choice.greys),
                                     20000);
            // The same centre and scale; the maps' room (one map, or a legend
            // each) may show more or less of the plane about it.
            const MapGeometry view = window.view();
            QVERIFY(std::abs((view.x0 + view.x1) - (zoomed.x0 + zoomed.x1)) / 2 <=
                    halfPixel(zoomed));
            QVERIFY(std::abs((view.y0 + view.y1) - (zoomed.y0 + zoomed.y1)) / 2 <=
                    halfPixel(zoomed));
            QVERIFY(std::abs((view.x1 - view.x0) / view.width -
                             (zoomed.x1 - zoomed.x0) / zoomed.width) <=
                    1e-9 * (zoomed.x1 - zoomed.x0) / zoomed.width);
            QCOMPARE(greys->isEnabled(), choice.shown == 0);
            const QString line = window.commandLine();
            QVERIFY2(line.contains(QString::fromLatin1(choice.words)), qPrintable(line));
            const FunctionMaps maps = mapsOfCommandLine(line);
            const auto resting = window.canvas()->restingMaps();
            QCOMPARE(maps.first, resting->maps.first);
            QCOMPARE(maps.second, resting->maps.second);
            QCOMPARE(maps.second.isNull(), choice.shown == 2);
        }
    }

    // With "Level curves" checked, the curves at rest are those of the
    // copied command line, which carries --contours, vertex for vertex.
    void levelCurvesAtRestAreTheRenderersForTheCopiedCommandLine() {
        ExplorerWindow& window = open("tan(z)");
        auto* contours = window.findChild<QCheckBox*>(QStringLiteral("contours"));
        QVERIFY(contours != nullptr);
        contours->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(window.canvas()->restingMaps() != nullptr &&
                                     window.canvas()->restingMaps()->maps.curves.size() == 2,
                                 20000);
        const QString line = window.commandLine();
        QVERIFY2(line.contains(QStringLiteral("--contours")), qPrintable(line));
        const FunctionMaps maps = mapsOfCommandLine(line);
        const auto& shown = window.canvas()->restingMaps()->maps.curves;
        QCOMPARE(maps.curves.size(), shown.size());
        for (std::size_t map = 0; map < shown.size(); ++map) {
            QCOMPARE(maps.curves[map].size(), shown[map].size());
            for (std::size_t level = 0; level < shown[map].size(); ++level) {
                const auto& expected = maps.curves[map][level].segments;
                const auto& got = shown[map][level].segments;
                QCOMPARE(got.size(), expected.size());
                for (std::size_t k = 0; k < got.size(); ++k) {
                    QCOMPARE(got[k].column0, expected[k].column0);
                    QCOMPARE(got[k].row1, expected[k].row1);
                }
            }
        }
    }

    // Zeros and poles: those of the copied command line, marked on the
    // screen; the pointer on a mark names it and Ctrl+C copies its line;
    // for an f that is not meromorphic, nothing is marked and the status
    // bar says why.
    void zerosAndPolesAreMarkedNamedAndCopied() {
        ExplorerWindow& window = open("(z^2+1)/(z^2-1)");
        const QImage plain = window.canvas()->restingMaps()->realShown;
        auto* zeros = window.findChild<QCheckBox*>(QStringLiteral("zeros"));
        QVERIFY(zeros != nullptr);
        zeros->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(window.canvas()->restingMaps() != nullptr &&
                                     window.canvas()->restingMaps()->maps.zeros.has_value(),
                                 20000);
        const auto resting = window.canvas()->restingMaps();
        QVERIFY(resting->realShown != plain);
        const QString line = window.commandLine();
        QVERIFY2(line.contains(QStringLiteral("--zeros")), qPrintable(line));
        const FunctionMaps maps = mapsOfCommandLine(line);
        QVERIFY(maps.zeros.has_value());
        QCOMPARE(maps.zeros->points.size(), resting->maps.zeros->points.size());
        for (std::size_t k = 0; k < maps.zeros->points.size(); ++k) {
            QCOMPARE(tableLine(resting->maps.zeros->points[k]), tableLine(maps.zeros->points[k]));
        }
        // The pole at 1, a pixel off its mark.
        const MapGeometry& view = resting->request.geometry;
        const QPointF onMark = window.canvas()->mapRect(false).topLeft() +
                               QPointF(view.columnAt(1.0) + 1, view.rowAt(0.0));
        QMouseEvent move(QEvent::MouseMove, onMark, window.canvas()->mapToGlobal(onMark),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window.canvas(), &move);
        QTRY_VERIFY2(
            window.statusText().contains(QStringLiteral("pole of order 1 at z = 1+0i, residue ")),
            qPrintable(window.statusText()));
        window.canvas()->setFocus();
        QTest::keySequence(window.canvas(), QKeySequence::Copy);
        QVERIFY2(QApplication::clipboard()->text().startsWith(QStringLiteral("pole\t1\t1\t0\t")),
                 qPrintable(QApplication::clipboard()->text()));

        auto* box = window.findChild<QComboBox*>(QStringLiteral("function"));
        // Nothing to mark says so, and why: on maps of an odd height the cut
        // of sqrt lies along the row of pixel centres at Im z = 0.
        window.canvas()->holdMapPixels(QSize(201, 151));
        box->setEditText(QStringLiteral("sqrt(z-1)"));
        QTRY_VERIFY_WITH_TIMEOUT(window.statusText().contains(QStringLiteral("no zeros or poles")),
                                 20000);
        QVERIFY2(window.statusText().contains(QStringLiteral("a branch cut along a row")),
                 qPrintable(window.statusText()));
        box->setEditText(QStringLiteral("z*conj(z)-1"));
        QTRY_VERIFY_WITH_TIMEOUT(window.statusText().contains(QStringLiteral("conj")), 20000);
        QVERIFY(!window.canvas()->restingMaps()->maps.zeros.has_value());
        QVERIFY(!window.commandLine().contains(QStringLiteral("--zeros")));
    }

    // Saved, the view is the figure the renderer writes for the copied
    // command line, byte for byte, in each format.
    void savedFigureIsTheRenderersForTheCommandLine() {
        ExplorerWindow& window = open("(z^2+1)/(z^2-1)");
        const QString folder = QDir::tempPath() + QStringLiteral("/explorer-figure-") +
                               QString::number(QCoreApplication::applicationPid());
        QDir().mkpath(folder);
        for (const char* suffix : {"png", "svg", "pdf"}) {
            const QString saved = folder + QStringLiteral("/saved.") + suffix;
            const QString rendered = folder + QStringLiteral("/rendered.") + suffix;
            window.saveFigureAs(saved);
            QString command = window.commandLine();
            command.replace(QLatin1String("complex-plot-render"), QStringLiteral(RENDER_PROGRAM));
            command += QStringLiteral(" --figure ") + rendered + QStringLiteral(" 2>/dev/null");
            QCOMPARE(std::system(command.toLocal8Bit().constData()), 0);
            QFile a(saved);
            QFile b(rendered);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), suffix);
        }
        QDir(folder).removeRecursively();
    }

    // The copied pixel: x, y, Re f and Im f at the pixel's centre, each
    // reading back as the same double.
    void copiedPixelIsTheValueAtItsCentre() {
        ExplorerWindow& window = open("1/z");
        const MapGeometry view = window.view();
        const CompiledExpression function("1/z");
        for (const QPoint pixel : {QPoint(0, 0), QPoint(view.width / 2, view.height / 2),
                                   QPoint(view.width - 1, view.height - 1)}) {
            const QStringList parts = window.pixelLine(pixel.x(), pixel.y()).split('\t');
            QCOMPARE(parts.size(), 4);
            const ComplexValue z(view.sampleX(pixel.x()), view.sampleY(pixel.y()));
            ComplexValue f;
            std::vector<ComplexValue> scratch;
            function.evaluate(&z, &f, 1, scratch);
            const double expected[] = {z.real(), z.imag(), f.real(), f.imag()};
            for (int k = 0; k < 4; ++k) {
                const double read = parts[k] == QLatin1String("nan") ? NAN : parts[k].toDouble();
                QVERIFY(read == expected[k] || (std::isnan(read) && std::isnan(expected[k])));
            }
        }
    }

    // The reader's messages in the window: without a translation word for
    // word the reader's English; with the Japanese one, every message
    // translated, with the same places for its arguments, and the window's
    // text in one language.
    void readerMessagesSpeakTheWindowsLanguage() {
        const QRegularExpression places(QStringLiteral("%[1-9]"));
        auto placesOf = [&](const QString& text) {
            QStringList found;
            for (const QRegularExpressionMatch& match : places.globalMatch(text)) {
                found << match.captured();
            }
            found.sort();
            return found;
        };
        for (const ExpressionMessage message : kAllExpressionMessages) {
            QCOMPARE(translatedPattern(message), QString::fromUtf8(englishPattern(message)));
        }
        QTranslator japanese;
        QVERIFY(japanese.load(QStringLiteral(":/i18n/complex-plot-explore_ja.qm")));
        QCoreApplication::installTranslator(&japanese);
        const auto removeTranslator =
            qScopeGuard([&] { QCoreApplication::removeTranslator(&japanese); });
        for (const ExpressionMessage message : kAllExpressionMessages) {
            const QString english = QString::fromUtf8(englishPattern(message));
            const QString translated = translatedPattern(message);
            QVERIFY2(translated != english, qPrintable(english));
            QCOMPARE(placesOf(translated), placesOf(english));
        }

        ExplorerWindow& window = open("sin(z)");
        auto* function = window.findChild<QComboBox*>(QStringLiteral("function"));
        function->setEditText(QStringLiteral("sni(z)+"));
        QTRY_VERIFY(window.statusText().contains(QStringLiteral("1 文字目")));
        QVERIFY2(window.statusText().contains(QStringLiteral("'sni' という名前はありません")),
                 qPrintable(window.statusText()));
        QVERIFY(!window.statusText().contains(QLatin1String("unknown")));
        // What was found at the end of the text is named in Japanese too.
        function->setEditText(QStringLiteral("sin(z)+"));
        QTRY_VERIFY(window.statusText().contains(QStringLiteral("式の終わり")));
    }

    // In Japanese as in English, no two items of a menu, and no two menus,
    // answer to the same Alt key.
    void everyMenuItemHasItsOwnKey() {
        QTranslator japanese;
        QVERIFY(japanese.load(QStringLiteral(":/i18n/complex-plot-explore_ja.qm")));
        for (const bool translated : {false, true}) {
            if (translated) {
                QCoreApplication::installTranslator(&japanese);
            }
            const auto removeTranslator =
                qScopeGuard([&] { QCoreApplication::removeTranslator(&japanese); });
            ExplorerWindow& window = open("sin(z)");
            auto keysAreDistinct = [](const QList<QAction*>& actions) {
                QStringList seen;
                for (const QAction* action : actions) {
                    const QKeySequence key = QKeySequence::mnemonic(action->text());
                    if (key.isEmpty()) {
                        continue;
                    }
                    if (seen.contains(key.toString())) {
                        return action->text();
                    }
                    seen << key.toString();
                }
                return QString();
            };
            const QList<QAction*> menus = window.menuBar()->actions();
            QVERIFY(!menus.isEmpty());
            QCOMPARE(keysAreDistinct(menus), QString());
            for (const QAction* menu : menus) {
                QVERIFY(menu->menu() != nullptr);
                QCOMPARE(keysAreDistinct(menu->menu()->actions()), QString());
            }
        }
    }

    // An error while typing is marked and the last good maps stay; a good
    // expression is drawn after the pause without Enter.
    void anErrorWhileTypingLeavesTheMaps() {
        ExplorerWindow& window = open("sin(z)");
        const auto before = window.canvas()->restingMaps();
        auto* function = window.findChild<QComboBox*>(QStringLiteral("function"));
        function->setEditText(QStringLiteral("sin(z)+2z"));
        QTest::qWait(400);
        QVERIFY(window.canvas()->restingMaps() == before);
        QVERIFY(window.statusText().contains(QLatin1String("column 9")));
        function->setEditText(QStringLiteral("cos(z)"));
        QTRY_VERIFY_WITH_TIMEOUT(
            window.canvas()->restingMaps() != before && window.canvas()->restingMaps() != nullptr,
            20000);
        QVERIFY(window.commandLine().contains(QLatin1String("'cos(z)'")));
    }

    // While a view is drawn, its coarse pass is what the maps show: each
    // shown pixel is the coarse map's pixel over it. (A coarse pass is drawn
    // where the full one takes longer than a frame: a slow function on large
    // maps.)
    void coarsePassIsShownUntilTheFullOne() {
        ExplorerWindow& window = open("atan(sin(z))^3+exp(1/z)*log(z)");
        window.resize(1600, 1000);
        QTRY_VERIFY_WITH_TIMEOUT(
            window.canvas()->restingMaps() != nullptr && window.canvas()->mapPixels().width() > 600,
            20000);
        window.zoomAbout(50, 50, 2.0);
        while (!window.canvas()->hasCoarseMaps() && window.canvas()->restingMaps() == nullptr) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        if (window.canvas()->restingMaps() != nullptr) {
            QSKIP("the full pass came before the coarse one could be looked at");
        }
        const QImage shown = window.canvas()->grab().toImage();
        const QImage coarse = window.canvas()->coarseMaps()->realShown;
        const QRectF rect = window.canvas()->mapRect(false);
        // Scaled, a shown pixel takes the coarse pixel under its centre, or
        // one beside it where the scaling rounds the other way.
        auto fromCoarse = [&](QPoint at, int column, int row) {
            const int x = static_cast<int>((column + 0.5) * coarse.width() / rect.width());
            const int y = static_cast<int>((row + 0.5) * coarse.height() / rect.height());
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint source(std::clamp(x + dx, 0, coarse.width() - 1),
                                        std::clamp(y + dy, 0, coarse.height() - 1));
                    if (shown.pixel(at) == coarse.pixel(source)) {
                        return true;
                    }
                }
            }
            return false;
        };
        for (int row = 0; row < rect.height(); row += 7) {
            for (int column = 0; column < rect.width(); column += 7) {
                const QPoint at = (rect.topLeft() + QPointF(column + 0.5, row + 0.5)).toPoint();
                QVERIFY2(fromCoarse(at, column, row),
                         qPrintable(QStringLiteral("at %1, %2").arg(column).arg(row)));
            }
        }
    }

    // A full pass due within a frame comes without a coarse one: the first
    // render of a function has one, as nothing is known of its cost; the
    // next of a small view has none; one whose full pass takes long has.
    void coarsePassOnlyWhereTheFullOneTakesLong() {
        MapRenderer renderer;
        QList<bool> passes;
        connect(&renderer, &MapRenderer::rendered,
                [&](std::shared_ptr<const RenderedMaps> maps) { passes << maps->coarse; });
        RenderJob job;
        job.expression = "z";
        job.view.width = 64;
        job.view.height = 48;
        // The passes of one render, once its full pass has come (none if
        // it does not within 20 s).
        auto renderAndWait = [&](std::uint64_t id) {
            passes.clear();
            job.id = id;
            renderer.render(job);
            QDeadlineTimer deadline(20000);
            while ((passes.isEmpty() || passes.last()) && !deadline.hasExpired()) {
                QTest::qWait(5);
            }
            return passes;
        };
        QCOMPARE(renderAndWait(1), (QList<bool>{true, false}));
        QCOMPARE(renderAndWait(2), (QList<bool>{false}));
        job.view.width = 2048;
        job.view.height = 2048;
        job.expression = "atan(sin(z))^3+exp(1/z)*log(z)";
        renderAndWait(3);
        QCOMPARE(renderAndWait(4), (QList<bool>{true, false}));
    }

    // Locked, the greys stay those of the view locked while the view moves;
    // unlocked, they follow it again.
    void lockedRangeStaysWhileZooming() {
        ExplorerWindow& window = open("exp(z)");
        const GreyRange locked = window.canvas()->restingMaps()->maps.shading.realRange;
        auto* lock = window.findChild<QCheckBox*>();
        QVERIFY(lock != nullptr);
        lock->setChecked(true);
        waitForRest();
        window.zoomAbout(10, 10, 4.0);
        waitForRest();
        QCOMPARE(window.canvas()->restingMaps()->maps.shading.realRange.low, locked.low);
        QCOMPARE(window.canvas()->restingMaps()->maps.shading.realRange.high, locked.high);
        QVERIFY(window.commandLine().contains(QLatin1String("--range=")));
        lock->setChecked(false);
        QTRY_VERIFY_WITH_TIMEOUT(
            window.canvas()->restingMaps() != nullptr &&
                window.canvas()->restingMaps()->maps.shading.realRange.high != locked.high,
            20000);
    }

    // No expression, view or zoom can crash it: no value anywhere, an
    // overflow everywhere, a window of one pixel, ten thousand wheel notches.
    void badInputNeitherCrashesNorFreezes() {
        ExplorerWindow& window = open("0/0*z");
        QCOMPARE(window.canvas()->restingMaps()->maps.pointsWithoutValue,
                 static_cast<std::size_t>(window.view().width) * window.view().height);
        auto* function = window.findChild<QComboBox*>(QStringLiteral("function"));
        function->setEditText(QStringLiteral("exp(exp(exp(z)))*1e308"));
        window.resize(1, 1);
        QTest::qWait(200);
        window.resize(700, 400);
        for (int k = 0; k < 10000; ++k) {
            const QPoint point = pointAt(10, 10);
            QWheelEvent wheel(point, point, QPoint(), QPoint(0, k % 3 == 0 ? -120 : 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(window.canvas(), &wheel);
        }
        QVERIFY(window.view().pixelsAreDistinct());
        QVERIFY(window.view().withinReach());
        waitForRest();
    }

    // Text of any length never widens the window nor moves the view: a
    // 1,000-character function in the line, and an error at its column 900.
    // The maps keep their place at the smallest size the window allows.
    void longTextNeverWidensTheWindow() {
        ExplorerWindow& window = open("sin(z)");
        const QSize size = window.size();
        const MapGeometry view = window.view();
        auto* box = window.findChild<QComboBox*>(QStringLiteral("function"));
        std::string line;
        for (int k = 1; line.size() < 1000; ++k) {
            line += (k > 1 ? "+" : "") + std::string("sin(") + std::to_string(k) + "*z)";
        }
        box->addItem(QString::fromStdString(line));
        box->setEditText(QString::fromStdString(line.substr(0, 897) + "sni(z)"));
        QTest::qWait(50);
        QCOMPARE(window.size(), size);
        // The error's message stays whole inside the window, its mark too.
        const auto* caret = window.findChild<QLabel*>(QStringLiteral("caret"));
        QVERIFY(caret->text().contains(u'^'));
        QVERIFY(caret->text().contains(QStringLiteral("898")));
        QVERIFY2(caret->indent() + QFontMetrics(caret->font()).horizontalAdvance(caret->text()) <=
                     caret->width(),
                 qPrintable(caret->text()));
        QVERIFY(window.minimumSizeHint().width() < 1200);
        QCOMPARE(window.view(), view);
        box->setEditText(QString::fromStdString(line));
        waitForRest();
        QCOMPARE(window.size(), size);
        // The smallest window still shows both maps, 64 pixels a side at least.
        window.resize(window.minimumSizeHint());
        QTest::qWait(50);
        const QSize pixels = window.canvas()->mapPixels();
        QVERIFY2(pixels.width() >= 64 && pixels.height() >= 64,
                 qPrintable(QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height())));
    }

    // At rest each map shows its pixels and nothing else: no tick, label or
    // frame covers one, with a range for both and one for each.
    void nothingIsDrawnOverTheMaps() {
        for (const bool each : {false, true}) {
            ExplorerStart start;
            start.expression = "exp(1/z)";
            start.range.forEach = each;
            window_ = std::make_unique<ExplorerWindow>(start);
            window_->resize(1000, 560);
            window_->show();
            waitForRest();
            QTest::qWait(50);
            const auto resting = window_->canvas()->restingMaps();
            QVERIFY(resting != nullptr);
            const QImage shown = window_->canvas()->grab().toImage();
            for (const bool imaginary : {false, true}) {
                const QRectF rect = window_->canvas()->mapRect(imaginary);
                const QImage map = (imaginary ? resting->imaginaryShown : resting->realShown)
                                       .convertToFormat(QImage::Format_RGB32);
                int differ = 0;
                for (int row = 0; row < map.height(); ++row) {
                    for (int column = 0; column < map.width(); ++column) {
                        const QPoint at = rect.topLeft().toPoint() + QPoint(column, row);
                        differ += shown.pixel(at) != map.pixel(column, row) ? 1 : 0;
                    }
                }
                QCOMPARE(differ, 0);
            }
            // Each legend beside its own map, inside the window.
            QVERIFY(window_->canvas()->mapRect(true).left() >
                    window_->canvas()->mapRect(false).right() + (each ? 40 : 0));
        }
    }

    // Deep in a view whose greys span a hundred-billionth, every number
    // stays readable: each range field shows its number's start, and a
    // legend's labels, twelve digits long, are drawn whole in a smaller
    // face where ordinary ones keep the canvas's.
    void deepViewKeepsEveryNumberReadable() {
        ExplorerStart start;
        start.expression = "exp(1/z)";
        start.view = MapGeometry{0.005, 0.0050000000001, 0.3, 0.3000000000001, 150, 150};
        start.sized = true;
        start.range.forEach = true;
        window_ = std::make_unique<ExplorerWindow>(start);
        window_->showAtStartSize();
        waitForRest();
        for (int k = 0; k < 4; ++k) {
            const auto* field = window_->findChild<QLineEdit*>(QStringLiteral("rangeEnd%1").arg(k));
            QVERIFY(field->text().size() >= 13);
            QCOMPARE(field->cursorPosition(), 0);
        }
        const MapCanvas& canvas = *window_->canvas();
        const QFontMetricsF ordinary(canvas.font());
        const double room = ordinary.horizontalAdvance(QStringLiteral("−8.88×10⁻³⁰⁰"));
        const QStringList deep = {QStringLiteral("−1.03792484934"), QStringLiteral("0.5")};
        const QFont smaller = canvas.legendLabelFont(deep);
        QVERIFY(QFontMetricsF(smaller).horizontalAdvance(deep[0]) <= room);
        QVERIFY(smaller.pointSizeF() < canvas.font().pointSizeF());
        QCOMPARE(canvas.legendLabelFont({QStringLiteral("−8.88×10⁻³⁰⁰"), QStringLiteral("0.5")}),
                 canvas.font());
    }

    // A window and size on the command line open exactly that view, pixel
    // for pixel the values the renderer computes for it; a size the screen
    // cannot hold keeps the window with the pixels that fit, and says so.
    void startsAtTheViewAskedFor() {
        // Sizes the offscreen screen of 800 x 600 has room for.
        for (const char* arguments :
             {"--function exp(1/z) --window=-0.5,0.5,-0.5,0.5 --size 150x150 --range=-3,3",
              "--function z --window=-1,1,-1,1 --size 200x200",
              "--function sin(z) --window=-3,1,-1,0.5 --size 180x70 --range each"}) {
            std::vector<std::string> words = shellWords(arguments);
            const RenderOptions options = parseRenderOptions(words);
            ExplorerStart start;
            start.expression = options.function->expression;
            start.view = options.function->geometry;
            start.sized = true;
            start.range.forEach = options.function->rangeForEach;
            window_ = std::make_unique<ExplorerWindow>(start);
            window_->showAtStartSize();
            QTRY_VERIFY_WITH_TIMEOUT(window_->canvas()->restingMaps() != nullptr &&
                                         window_->view() == options.function->geometry,
                                     20000);
            const auto resting = window_->canvas()->restingMaps();
            const CompiledExpression function(start.expression);
            const auto values = computeValues(function, options.function->geometry, 1);
            QCOMPARE(resting->maps.values.size(), values.size());
            QVERIFY(std::memcmp(resting->maps.values.data(), values.data(),
                                values.size() * sizeof(ComplexValue)) == 0);
            // 0 goes back to it after the view has moved.
            window_->zoomAbout(10, 10, 2.0);
            window_->goToStart();
            QCOMPARE(window_->view(), options.function->geometry);
        }
        ExplorerStart huge;
        huge.view = MapGeometry{};
        huge.view->width = huge.view->height = 16000;
        huge.sized = true;
        window_ = std::make_unique<ExplorerWindow>(huge);
        window_->showAtStartSize();
        waitForRest();
        QVERIFY(window_->statusText().contains(QStringLiteral("16000 x 16000")));
        const MapGeometry& view = window_->view();
        QVERIFY(view.x0 <= -2 && view.x1 >= 2 && view.y0 <= -2 && view.y1 >= 2);
    }

    // The wheel zooms about the centre of the pixel under the pointer, so
    // that the z the readout names stays under it: 60 notches on the pixel
    // that reads z = 1 keep it within half a pixel.
    void zoomKeepsTheReadoutsPointUnderThePointer() {
        ExplorerWindow& window = open("(z^2+1)/(z^2-1)");
        const MapGeometry start = window.view();
        const int column = static_cast<int>(start.columnAt(1.0));
        const int row = static_cast<int>(start.rowAt(0.0));
        const double x = start.sampleX(column);
        const double y = start.sampleY(row);
        for (int notch = 0; notch < 60; ++notch) {
            window.zoomAbout(column + 0.3, row + 0.8, 1.25);
        }
        const MapGeometry& view = window.view();
        QVERIFY(std::fabs(view.sampleX(column) - x) <= halfPixel(view));
        QVERIFY(std::fabs(view.sampleY(row) - y) <= halfPixel(view));
    }

    // After a resize, 0 shows the whole start window again, not its pixel
    // size.
    void homeShowsTheStartWindowAfterAResize() {
        ExplorerWindow& window = open("sin(z)");
        window.resize(1500, 900);
        QTRY_VERIFY(window.canvas()->mapPixels().width() > 500);
        waitForRest();
        window.zoomAbout(10, 10, 4.0);
        window.goToStart();
        const MapGeometry& view = window.view();
        const double slack = 2 * halfPixel(view);
        QVERIFY(view.x0 <= -2 + slack && view.x1 >= 2 - slack);
        QVERIFY(view.y0 <= -2 + slack && view.y1 >= 2 - slack);
        QVERIFY((view.x0 >= -2 - slack && view.x1 <= 2 + slack) ||
                (view.y0 >= -2 - slack && view.y1 <= 2 + slack));
    }

    // What the status bar says: an error goes as soon as the line reads
    // again; Ctrl+C in the function line copies the selection, or with
    // none the centre pixel; arg of a zero is undefined.
    void statusBarSaysWhatIsSoNow() {
        ExplorerWindow& window = open("sin(z)");
        auto* box = window.findChild<QComboBox*>(QStringLiteral("function"));
        box->setEditText(QStringLiteral("sin(z"));
        QVERIFY(window.statusText().contains(QStringLiteral("column")));
        box->setEditText(QStringLiteral("z"));
        QVERIFY(!window.statusText().contains(QStringLiteral("column")));
        waitForRest();
        box->lineEdit()->setFocus();
        box->lineEdit()->deselect();
        QTest::keySequence(box->lineEdit(), QKeySequence::Copy);
        const MapGeometry& view = window.view();
        QCOMPARE(QApplication::clipboard()->text(),
                 window.pixelLine(view.width / 2, view.height / 2));
        QVERIFY(window.statusText().startsWith(QStringLiteral("copied")));
        box->lineEdit()->selectAll();
        QTest::keySequence(box->lineEdit(), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("z"));
        // z^3 at the centre of an odd grid: a zero, whose argument is "—".
        window_.reset();
        ExplorerStart start;
        start.expression = "z^3";
        start.view = MapGeometry{};
        start.view->width = start.view->height = 101;
        start.sized = true;
        window_ = std::make_unique<ExplorerWindow>(start);
        window_->showAtStartSize();
        QTRY_VERIFY_WITH_TIMEOUT(
            window_->canvas()->restingMaps() != nullptr && window_->view().width == 101, 20000);
        const QPointF at = window_->canvas()->mapRect(false).topLeft() + QPointF(50.5, 50.5);
        QMouseEvent move(QEvent::MouseMove, at, window_->canvas()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window_->canvas(), &move);
        QTRY_VERIFY2(window_->statusText().contains(QStringLiteral("arg f(z) = —")),
                     qPrintable(window_->statusText()));
        QVERIFY(window_->pixelLine(50, 50).contains(QStringLiteral("0")));
    }

    // Go to keeps the limits the wheel keeps and says what is wrong in the
    // dialog's own terms; a paste longer than the line is refused and the
    // maps stay.
    void goToAndTheLineRefuseWhatTheyCannotShow() {
        ExplorerWindow& window = open("sin(z)");
        QString why;
        QVERIFY(window.viewForBounds({"-pi", "pi", "-1", "1"}, why).has_value());
        const struct {
            QStringList bounds;
            const char* says;
        } cases[] = {
            {{"-1e16", "1e16", "-1", "1"}, "±10¹⁵"},
            {{"1", "1.0000000000000002", "1", "1.0000000000000002"}, "finer than double"},
            {{"1", "0", "-1", "1"}, "X0 must be below X1"},
            {{"-1", "1", "y", "1"}, "Y0: "},
        };
        for (const auto& c : cases) {
            QVERIFY(!window.viewForBounds(c.bounds, why).has_value());
            QVERIFY2(why.contains(QString::fromUtf8(c.says)), qPrintable(why));
            QVERIFY(!why.contains(QStringLiteral("--window")));
        }
        // The dialog writes the bounds in the window's face for numbers.
        QStringList dialogFaces;
        QTimer::singleShot(0, &window, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                dialogFaces = dialog->findChild<QLineEdit*>()->font().families();
                dialog->close();
            }
        });
        window.goTo();
        QCOMPARE(dialogFaces, window.font().families());
        const auto before = window.canvas()->restingMaps();
        auto* box = window.findChild<QComboBox*>(QStringLiteral("function"));
        box->setEditText(QString(40000, u'z'));
        QVERIFY(window.statusText().contains(QStringLiteral("too long")));
        QTest::qWait(300);
        QCOMPARE(window.canvas()->restingMaps(), before);
    }

    // Opened without a command line, the explorer comes back as it was
    // left: function, view, range mode and axes; its history holds each
    // function once and none that does not read.
    void theLastSessionComesBack() {
        {
            ExplorerWindow& window = open("exp(1/z)");
            auto* box = window.findChild<QComboBox*>(QStringLiteral("function"));
            box->setEditText(QStringLiteral("  z^3 - 1  "));
            waitForRest();
            QTRY_VERIFY_WITH_TIMEOUT(
                window.canvas()->restingMaps()->request.expression == "  z^3 - 1  ", 20000);
            window.findChild<QCheckBox*>(QStringLiteral("axes"))->setChecked(true);
            window.findChild<QComboBox*>(QStringLiteral("rangeMode"))->setCurrentIndex(1);
            window.zoomAbout(20, 30, 2.0);
            window_.reset();
        }
        QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                           QStringLiteral("complex-plot"), QStringLiteral("explore"));
        const MapGeometry left = [&] {
            const QStringList bounds = settings.value(QStringLiteral("last/window")).toStringList();
            MapGeometry view;
            view.x0 = bounds.value(0).toDouble();
            view.x1 = bounds.value(1).toDouble();
            view.y0 = bounds.value(2).toDouble();
            view.y1 = bounds.value(3).toDouble();
            return view;
        }();
        QStringList functions = settings.value(QStringLiteral("functions")).toStringList();
        functions << QStringLiteral("sin(") << QStringLiteral(" z^3 - 1");
        settings.setValue(QStringLiteral("functions"), functions);
        settings.sync();
        ExplorerStart start;
        start.restore = true;
        window_ = std::make_unique<ExplorerWindow>(start);
        window_->resize(900, 520);
        window_->show();
        waitForRest();
        auto* box = window_->findChild<QComboBox*>(QStringLiteral("function"));
        QCOMPARE(box->currentText().trimmed(), QStringLiteral("z^3 - 1"));
        QVERIFY(window_->findChild<QCheckBox*>(QStringLiteral("axes"))->isChecked());
        QCOMPARE(window_->findChild<QComboBox*>(QStringLiteral("rangeMode"))->currentIndex(), 1);
        const MapGeometry& view = window_->view();
        // The window left, whole in the maps.
        QVERIFY(view.x0 <= left.x0 + halfPixel(view) && view.x1 >= left.x1 - halfPixel(view));
        QVERIFY(view.y0 <= left.y0 + halfPixel(view) && view.y1 >= left.y1 - halfPixel(view));
        QStringList items;
        for (int k = 0; k < box->count(); ++k) {
            items << box->itemText(k);
        }
        QCOMPARE(items.count(QStringLiteral("z^3 - 1")), 1);
        QVERIFY(!items.contains(QStringLiteral("sin(")));
    }

    // The range fields show the range in use; a fixed range for each map
    // with a field left empty is refused, naming it, and the box goes back
    // to the automatic greys it draws; a typed range applies after a pause.
    void rangeFieldsSayWhatIsDrawn() {
        ExplorerWindow& window = open("z");
        auto field = [&](int k) {
            return window.findChild<QLineEdit*>(QStringLiteral("rangeEnd%1").arg(k));
        };
        const FunctionMaps& maps = window.canvas()->restingMaps()->maps;
        QCOMPARE(field(0)->text().toDouble(),
                 QString::number(maps.shading.realRange.low, 'g', 3).toDouble());
        QCOMPARE(field(1)->text().toDouble(),
                 QString::number(maps.shading.realRange.high, 'g', 3).toDouble());
        auto* mode = window.findChild<QComboBox*>(QStringLiteral("rangeMode"));
        field(0)->setText(QStringLiteral("-1"));
        field(1)->setText(QStringLiteral("1"));
        field(2)->clear();
        field(3)->setText(QStringLiteral("1"));
        mode->setCurrentIndex(3);
        QVERIFY(window.statusText().contains(field(2)->placeholderText()));
        QCOMPARE(mode->currentIndex(), 1);
        // One for both: the real fields are enough; typed, they apply.
        mode->setCurrentIndex(2);
        QTRY_VERIFY_WITH_TIMEOUT(
            window.canvas()->restingMaps() != nullptr &&
                window.canvas()->restingMaps()->maps.shading.realRange.high == 1.0,
            20000);
        QTest::keyClicks(field(1), QStringLiteral("0"));  // 10
        QTRY_VERIFY_WITH_TIMEOUT(
            window.canvas()->restingMaps() != nullptr &&
                window.canvas()->restingMaps()->maps.shading.realRange.high == 10.0,
            20000);
    }
};

QTEST_MAIN(ExplorerTest)
#include "explorer_test.moc"
