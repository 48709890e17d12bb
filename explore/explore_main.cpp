// complex-plot-explore: type a function, zoom, pan and read its values.

#include <sys/mman.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <set>
#include <system_error>

#include "explorer_window.h"
#include "option_words.h"
#include "platform_failure.h"
#include "quoted_text.h"
#include "render_options.h"

using namespace complexplot;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The renderer's options that open a view: a copied command line, with the
// program's name changed, opens the same view.
ExplorerStart startFrom(const QStringList& arguments) {
    static const std::set<std::string> kTaken = {"--function", "--window",   "--size", "--range",
                                                 "--range-re", "--range-im", "--show", "--greys"};
    std::vector<std::string> words;
    for (const QString& argument : arguments) {
        words.push_back(argument.toStdString());
    }
    ExplorerStart start;
    if (words.empty()) {
        start.restore = true;
        return start;
    }
    const OptionValues given = scanOptions(words);
    for (const auto& [name, value] : given.values) {
        if (!kTaken.contains(name)) {
            throw UsageError(complexplot::quoted(name) +
                             " is the renderer's, not the explorer's: the explorer takes "
                             "--function, --window, --size, --range, --range-re, --range-im, "
                             "--show, --greys, --contours, --zeros and --axes");
        }
    }
    if (given.contours && !given.contours->empty()) {
        throw UsageError("--contours=" + *given.contours +
                         ": the explorer draws the default levels; give --contours alone");
    }
    if (given.zeros && !given.zeros->empty()) {
        throw UsageError("--zeros=" + *given.zeros +
                         ": the explorer writes no table; give --zeros alone, and Ctrl+C over a "
                         "mark copies its line");
    }
    for (const LooseWord& loose : given.looseWords) {
        throw UsageError(loose.after.empty()
                             ? "unexpected word " + complexplot::quoted(loose.word) +
                                   ": give a function as --function EXPR, as in --function " +
                                   complexplot::quoted(loose.word)
                             : looseWordMessage(loose));
    }
    if (std::find(words.begin(), words.end(), "--function") == words.end() &&
        std::none_of(words.begin(), words.end(),
                     [](const std::string& word) { return word.starts_with("--function="); })) {
        words.insert(words.begin(), {"--function", start.expression});
    }
    const RenderOptions options = parseRenderOptions(words);
    const FunctionRequest& request = *options.function;
    start.expression = request.expression;
    start.axes = options.axes;
    const bool windowGiven = std::any_of(words.begin(), words.end(), [](const std::string& word) {
        return word.starts_with("--window");
    });
    start.sized = std::any_of(words.begin(), words.end(),
                              [](const std::string& word) { return word.starts_with("--size"); });
    if (windowGiven || start.sized) {
        start.view = request.geometry;
    }
    start.show = request.show;
    start.greys = request.greys;
    start.symlogScale = request.symlogScale;
    start.contours = request.contours;
    start.zeros = request.zeros;
    start.range.forEach = request.rangeForEach;
    if (request.range) {
        start.range.fixed = true;
        start.range.real = start.range.imaginary = *request.range;
    } else if (request.realRange && request.imaginaryRange) {
        start.range.fixed = true;
        start.range.real = *request.realRange;
        start.range.imaginary = *request.imaginaryRange;
    }
    return start;
}

}  // namespace

namespace {

int showAndRun(QApplication& application, const ExplorerStart& start);

// Memory, or a thread, that cannot be had while an event is handled ends
// the program with one line and exit status 1, never with a signal: the
// handlers of this window keep nothing that would be lost.
class ExplorerApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            std::fputs("complex-plot-explore: out of memory\n", stderr);
        } catch (const std::system_error& error) {
            std::fprintf(stderr, "complex-plot-explore: cannot start a thread: %s\n", error.what());
        }
        std::fflush(stderr);
        std::_Exit(kExitFailure);
    }
};

}  // namespace

// Whether the address space has room for what starting the window takes:
// Qt's platform plugins are loaded through C code that cannot pass on an
// allocation that fails, and end the program with a signal instead.
bool roomToStart() {
    constexpr std::size_t kRoom = std::size_t{40} << 20;
    void* probe =
        ::mmap(nullptr, kRoom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (probe == MAP_FAILED) {
        return false;
    }
    ::munmap(probe, kRoom);
    return true;
}

const char* const kUsage =
    "usage: complex-plot-explore [--function EXPR] [--window X0,X1,Y0,Y1] [--size W[xH]]\n"
    "                            [--range LO,HI | --range each] [--range-re LO,HI]\n"
    "                            [--range-im LO,HI] [--show KIND] [--greys CURVE]\n"
    "                            [--contours] [--zeros] [--axes]\n"
    "\n"
    "A window to type a function f(z), zoom, pan and read the value under the pointer.\n"
    "The options are the renderer's for a view, so that a command line copied from the\n"
    "explorer (Ctrl+Shift+C) opens the same view; without them the last session's\n"
    "function and view come back.\n"
    "\n"
    "  --function EXPR       the function of z, as complex-plot-render --function reads it\n"
    "  --window X0,X1,Y0,Y1  the rectangle of the plane (default -2,2,-2,2)\n"
    "  --size W[xH]          pixels per map, where the screen has room\n"
    "  --range LO,HI         the values of black and white; --range each, --range-re and\n"
    "                        --range-im give each map its own\n"
    "  --show KIND           re-im (default), modulus-arg or phase: what the maps show\n"
    "  --greys CURVE         linear (default) or symlog[=T], for re-im\n"
    "  --contours            level curves at the default levels\n"
    "  --zeros               mark the zeros and poles; the status bar names the one\n"
    "                        under the pointer, and Ctrl+C copies its line\n"
    "  --axes                draw the real and the imaginary axis\n"
    "  --help                print this text\n"
    "\n"
    "Mouse: the wheel zooms about the pointer, a drag pans, a right drag (or Shift and a\n"
    "drag) zooms into a rectangle. Keys: arrows pan, + and - zoom, 0 the start view,\n"
    "Alt+Left and Alt+Right walk the history, Ctrl+C copies the pixel.\n";

int main(int argc, char** argv) {
    // Help needs no display.
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
            std::cout << kUsage;
            return 0;
        }
        if (std::strcmp(argv[k], "--") == 0) {
            break;
        }
    }
    if (!roomToStart()) {
        std::cerr << "complex-plot-explore: out of memory while starting\n";
        return kExitFailure;
    }
    catchPlatformFailure("complex-plot-explore");
    std::unique_ptr<ExplorerApplication> made;
    try {
        made = std::make_unique<ExplorerApplication>(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "complex-plot-explore: out of memory while starting\n";
        return kExitFailure;
    }
    ExplorerApplication& application = *made;
    releaseStartupMessages();
    QApplication::setApplicationName(QStringLiteral("complex-plot-explore"));

    // Japanese where the locale is, English otherwise.
    // Qt's own texts too (the dialogs' buttons, the file dialog), from
    // Qt's translations where they are installed.
    QTranslator translator;
    QTranslator qtTranslator;
    if (QLocale().language() == QLocale::Japanese) {
        if (translator.load(QLocale(), QStringLiteral("complex-plot-explore"), QStringLiteral("_"),
                            QStringLiteral(":/i18n"))) {
            QApplication::installTranslator(&translator);
        }
        if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QApplication::installTranslator(&qtTranslator);
        }
    }

    ExplorerStart start;
    try {
        start = startFrom(QApplication::arguments().mid(1));
    } catch (const UsageError& error) {
        std::cerr << "complex-plot-explore: " << error.what() << '\n';
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        std::cerr << "complex-plot-explore: out of memory while reading the command line\n";
        return kExitFailure;
    }
    try {
        return showAndRun(application, start);
    } catch (const std::bad_alloc&) {
        std::cerr << "complex-plot-explore: out of memory while opening the window\n";
    } catch (const std::system_error& error) {
        std::cerr << "complex-plot-explore: cannot start a thread: " << error.what() << '\n';
    }
    return kExitFailure;
}

namespace {

int showAndRun(QApplication& application, const ExplorerStart& start) {
    ExplorerWindow window(start);
    // For the tests: a run that ends once its first maps are at rest.
    if (qEnvironmentVariableIsSet("COMPLEX_PLOT_EXPLORE_QUIT_AFTER_RENDER")) {
        QObject::connect(&window, &ExplorerWindow::mapsAtRest, &application, &QApplication::quit,
                         Qt::QueuedConnection);
        QObject::connect(&window, &ExplorerWindow::mapsFailed, &application,
                         [&application](const QString& message) {
                             std::cerr << "complex-plot-explore: " << message.toStdString() << '\n';
                             application.exit(kExitFailure);
                         });
    }
    window.showAtStartSize();
    return application.exec();
}

}  // namespace
