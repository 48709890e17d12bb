// complex-plot-render-qt: the renderer's part that Qt draws: the plot run
// without a window, written to PNG files; the maps of any typed function
// with level curves and marks; figures and handouts. complex-plot-render
// starts it in its place for these; it takes the same command line and
// makes plain maps as well.

#include <sys/mman.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QHashSeed>
#include <algorithm>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "atomic_file.h"
#include "figure_output.h"
#include "headless_controls.h"
#include "main_window.h"
#include "plot_run.h"
#include "png_file.h"
#include "quoted_text.h"
#include "render_options.h"
#include "render_run.h"
#include "render_usage.h"
#include "terminal_progress.h"

using namespace complexplot;

namespace {

// Qt's image code shares large images out to helper threads and, when it
// cannot start them (as when memory runs short), waits for them forever;
// and some of its drawing code, the PDF's font subsets among it, does not
// check that an allocation succeeded. So before Qt draws a large picture,
// two threads must start and the address space must have room for what
// the drawing takes at the most, or this is reported as what it is.
void requireRoomToDraw(std::size_t pictureBytes) {
    // Measured under `ulimit -v`: drawing, a PDF's embedded fonts and the
    // encoding take up to about one and a half times the picture's bytes
    // on top of 16 MiB; twice that is kept in hand.
    const std::size_t room = (std::size_t{32} << 20) + 3 * pictureBytes;
    void* probe =
        ::mmap(nullptr, room, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (probe == MAP_FAILED) {
        throw std::bad_alloc();
    }
    ::munmap(probe, room);
    std::thread first;
    try {
        first = std::thread([] {});
        std::thread([] {}).join();
    } catch (const std::system_error&) {
        if (first.joinable()) {
            first.join();
        }
        throw std::bad_alloc();
    }
    first.join();
}

// The width of a PNG figure: as given, or from the usual width as wide as
// its maps need.
int pngWidthOf(const RenderOptions& options, const FigureContent& content) {
    return pngFigureWidth(content, options.figureWidth, options.figureWidthGiven);
}

// The bytes of the largest picture a figure is drawn on: the PNG figure
// itself, or both maps at four bytes a pixel.
std::size_t figureBytes(const RenderOptions& options, const FigureContent& content) {
    const QSize maps = content.real.size();
    const std::size_t mapBytes = std::size_t{8} * maps.width() * maps.height();
    if (!figureIsPng(options.figureFile)) {
        return mapBytes;
    }
    const auto width = static_cast<std::size_t>(pngWidthOf(options, content));
    return std::max(mapBytes, 4 * width * width);
}

// A title typed for a figure is drawn as typed, on up to three lines;
// a longer one is refused before anything is computed.
void checkTitlesFit(const RenderOptions& options) {
    std::vector<std::optional<std::string>> titles;
    if (options.pages.empty()) {
        titles.push_back(options.title);
    }
    for (const RenderOptions& page : options.pages) {
        titles.push_back(page.title);
    }
    for (const auto& title : titles) {
        if (title && !titleFits(*title)) {
            throw FigureTooNarrow("bad --title " + quoted(*title) + ": its " +
                                  std::to_string(QString::fromStdString(*title).size()) +
                                  " characters need more than the three lines a figure's title "
                                  "has; give a shorter title");
        }
    }
}

// A title made from the expression that three lines cannot hold is cut,
// and the user told so.
void noteTitleCut(const FigureContent& content, const std::optional<std::string>& given,
                  const std::string& where) {
    if (!given && !titleFits(content.title)) {
        std::cerr << "complex-plot-render: " << where
                  << "the expression is too long for the figure's title and is cut with …; "
                     "give --title for a title of your own\n";
    }
}

// The whole window, drawn offscreen, after a click on each NAME in turn; at
// scale N it is drawn N times larger, as on a screen of N device pixels to
// the pixel, so that the text is as sharp as the maps.
void writeWindowPicture(const RenderOptions& options) {
    const int scale = options.scaleFactor;
    frmMain window;
    window.Picture1()->setSurface(std::make_unique<RasterSurface>(scale));
    window.Picture2()->setSurface(std::make_unique<RasterSurface>(scale));
    window.Check1()->setChecked(options.axes);
    window.show();
    for (const std::int16_t index : options.presets) {
        window.Command1_Click(index);
    }
    QCoreApplication::processEvents();

    QImage picture(window.size() * scale, QImage::Format_RGB32);
    if (picture.isNull()) {
        throw std::bad_alloc();
    }
    picture.setDevicePixelRatio(scale);
    picture.fill(window.palette().window().color());
    requireRoomToDraw(static_cast<std::size_t>(picture.sizeInBytes()));
    window.render(&picture);
    writePngFile(picture, options.windowFile);
}

// The figure's bytes for one or more pages, its title as given if given.
QByteArray figureBytesOf(const RenderOptions& options, std::vector<FigureContent> pages) {
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const RenderOptions& page = options.pages.empty() ? options : options.pages[k];
        pages[k].title = page.title.value_or(pages[k].title);
    }
    const int pngWidth = figureIsPng(options.figureFile) ? pngWidthOf(options, pages.front()) : 0;
    // A handout's document is named by the command line's --title, else by
    // its list.
    const std::optional<std::string> documentTitle =
        options.pages.empty()
            ? std::nullopt
            : std::optional<std::string>(options.title.value_or(options.listFile));
    return figureFileBytes(pages, options.figureFile, pngWidth, options.page, documentTitle);
}

int renderPresets(const RenderOptions& options, std::string& making) {
    if (!options.windowFile.empty()) {
        making = "the window picture " + quoted(options.windowFile);
        writeWindowPicture(options);
    }
    const bool mapFiles = options.figureFile.empty() || options.outputDirectoryGiven;
    making = "the maps at scale " + std::to_string(options.scaleFactor);
    HeadlessControls controls(options.scaleFactor, options.axes ? 1 : 0);
    WindowState state;
    for (const std::int16_t index : options.presets) {
        making = "the maps of " + std::string(PresetName(index));
        Command1_Click(index, controls, state);
        std::optional<QByteArray> figure;
        if (!options.figureFile.empty()) {
            making = "the figure " + quoted(options.figureFile);
            FigureContent content =
                presetFigureContent(index, controls.picture1(), controls.picture2());
            requireRoomToDraw(figureBytes(options, content));
            figure = figureBytesOf(options, {std::move(content)});
        }
        if (mapFiles) {
            const std::string stem = options.outputDirectory + "/" + std::string(PresetName(index));
            making = quoted(stem + "-re.png");
            writePngFile(controls.picture1().image(), stem + "-re.png");
            making = quoted(stem + "-im.png");
            writePngFile(controls.picture2().image(), stem + "-im.png");
        }
        if (figure) {
            writeBytesFile(options.figureFile, *figure);
        }
    }
    return 0;
}

int renderExpression(const RenderOptions& options, std::string& making) {
    const FunctionRequest& request = *options.function;
    making = "the maps of " + quoted(request.expression);
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO) != 0);
    const FunctionMaps maps = makeFunctionMaps(request, options.axes, std::cerr, progress);
    std::optional<QByteArray> figure;
    if (!options.figureFile.empty()) {
        making = "the figure " + quoted(options.figureFile);
        progress.show("drawing the figure", 0, 1);
        FigureContent content = functionFigureContent(request, maps);
        noteTitleCut(content, options.title, "");
        requireRoomToDraw(figureBytes(options, content));
        figure = figureBytesOf(options, {std::move(content)});
    }
    if (options.figureFile.empty() || options.outputDirectoryGiven) {
        making = "the map files of " + quoted(request.expression);
        writeMapFiles(maps, options.outputDirectory + "/" + request.stem, request.threads > 1,
                      progress);
    }
    writeRequestedValues(request, maps.values, progress);
    if (!request.zerosFile.empty()) {
        writeZerosFile(*maps.zeros, request.zerosFile);
    }
    if (figure) {
        progress.show("writing the figure", 0, 1);
        writeBytesFile(options.figureFile, *figure);
    }
    return 0;
}

// The messages of a handout's page, each after the list's name and the
// page's line, as an error names them.
std::string withListLine(const std::string& messages, const std::string& list, int line) {
    const std::string program = "complex-plot-render: ";
    const std::string place = program + escaped(list) + ":" + std::to_string(line) + ": ";
    std::string placed;
    std::istringstream lines(messages);
    for (std::string message; std::getline(lines, message);) {
        placed +=
            (message.starts_with(program) ? place + message.substr(program.size()) : message) +
            "\n";
    }
    return placed;
}

// A handout: the figure of each line of the list, a page each, written
// whole once every page is drawn.
int renderHandout(const RenderOptions& options, std::string& making) {
    std::vector<FigureContent> pages;
    std::size_t largestMaps = 0;
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO) != 0);
    for (std::size_t k = 0; k < options.pages.size(); ++k) {
        const RenderOptions& page = options.pages[k];
        const std::string line =
            "page " + std::to_string(k + 1) + " of " + std::to_string(options.pages.size());
        making = line + " of " + quoted(options.figureFile);
        progress.show("drawing " + line, static_cast<long long>(k),
                      static_cast<long long>(options.pages.size()));
        if (page.function) {
            std::ostringstream messages;
            const FunctionMaps maps =
                makeFunctionMaps(*page.function, page.axes, messages, progress);
            pages.push_back(functionFigureContent(*page.function, maps));
            progress.clear();
            noteTitleCut(pages.back(), page.title,
                         escaped(options.listFile) + ":" + std::to_string(page.listLine) + ": ");
            std::cerr << withListLine(messages.str(), options.listFile, page.listLine);
        } else {
            HeadlessControls controls(page.scaleFactor, page.axes ? 1 : 0);
            WindowState state;
            Command1_Click(page.presets.front(), controls, state);
            pages.push_back(presetFigureContent(page.presets.front(), controls.picture1(),
                                                controls.picture2()));
        }
        largestMaps =
            std::max(largestMaps, static_cast<std::size_t>(pages.back().real.sizeInBytes()));
    }
    making = "the figure " + quoted(options.figureFile);
    progress.show("writing the handout", 0, 1);
    requireRoomToDraw(figureBytes(options, pages.front()) + 8 * largestMaps);
    const QByteArray bytes = figureBytesOf(options, std::move(pages));
    progress.clear();
    writeBytesFile(options.figureFile, bytes);
    std::cerr << "complex-plot-render: " << options.pages.size()
              << (options.pages.size() == 1 ? " figure" : " figures") << " from "
              << quoted(options.listFile) << "\n";
    return 0;
}

// A PNG figure that cannot hold the maps is refused before they are
// computed.
void checkFigureFits(const RenderOptions& options) {
    if (options.figureFile.empty() || !figureIsPng(options.figureFile)) {
        return;
    }
    const RenderOptions& figure = options.pages.empty() ? options : options.pages.front();
    // Without a width given, the figure is as wide as the maps need, up to
    // the widest.
    const int checkedWidth = options.figureWidthGiven ? options.figureWidth : kWidestPngFigure;
    if (figure.function) {
        const FunctionRequest& request = *figure.function;
        // Before the values, the widest legend there can be, and the row of
        // the no-value swatch, stand in for the real ones.
        MapShading widest;
        widest.kind = request.show;
        widest.curve = request.greys;
        widest.rangeForEach = request.rangeForEach;
        widest.realRange = widest.imaginaryRange = request.show == MapKind::modulusArgument
                                                       ? GreyRange{1e-300, 1e300}
                                                       : GreyRange{-8.88e-300, 8.88e-300};
        if (request.range) {
            widest.realRange = widest.imaginaryRange = *request.range;
        }
        checkPngFigureFits(functionFigureLabels(request, widest, 1),
                           QSize(request.geometry.width, request.geometry.height), checkedWidth,
                           "a smaller --size");
        return;
    }
    const HeadlessControls controls(figure.scaleFactor, 0);
    checkPngFigureFits(presetFigureLabels(figure.presets.front()),
                       controls.picture1().image().size(), checkedWidth, "a smaller --scale");
}

}  // namespace

int main(int argc, char** argv) {
    // Qt's own chatter (about the environment, or an image it could not
    // allocate, which is reported here in its own words) is not the
    // renderer's output.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "complex-plot-render: " << message.toStdString() << '\n';
        }
    });
    ReadCommandLine read = readCommandLine(argc, argv);
    if (read.failure != 0) {
        return read.failure;
    }
    const RenderOptions& options = read.options;
    if (options.helpRequested) {
        std::cout << renderUsage();
        return 0;
    }

    // The renderer runs no event loop, so it needs none of GLib's, whose
    // logging cannot cope with a thread that runs out of memory. A hash
    // seed fixed for the run makes Qt write a figure's parts in the same
    // order each time, so that the same command writes the same bytes.
    qputenv("QT_NO_GLIB", "1");
    QHashSeed::setDeterministicGlobalSeed();
    std::unique_ptr<QApplication> application;
    int argumentCount = 1;
    char programName[] = "complex-plot-render";
    char* arguments[] = {programName, nullptr};
    // What is being made, for the message when memory runs out.
    std::string making = "the application";
    return reportingFailures(making, [&] {
        try {
            // Fonts, and so an application, for the window picture, a
            // figure, and the orders written beside the marks of zeros and
            // poles.
            const bool marks = options.function && options.function->zeros;
            if (!options.windowFile.empty() || !options.figureFile.empty() || marks) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                application = std::make_unique<QApplication>(argumentCount, arguments);
            }
            if (!options.figureFile.empty()) {
                checkTitlesFit(options);
            }
            checkFigureFits(options);
            // Every target is checked before any work, so that a run that
            // fails for one of them has written none of the others.
            for (const OutputFile& output : plannedOutputs(options)) {
                checkTargetWritable(output.path);
            }
            return !options.pages.empty() ? renderHandout(options, making)
                   : options.function     ? renderExpression(options, making)
                                          : renderPresets(options, making);
        } catch (const FigureTooNarrow& error) {
            return fail(kExitUsage, error.what());
        }
    });
}
