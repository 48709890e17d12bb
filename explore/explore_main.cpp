// complex-plot-explore: type a function, zoom, pan and read its values.

#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <iostream>
#include <set>

#include "explorer_window.h"
#include "platform_failure.h"
#include "quoted_text.h"
#include "render_options.h"

using namespace complexplot;

namespace {

constexpr int kExitUsage = 2;

// The renderer's options that open a view: a copied command line, with the
// program's name changed, opens the same view.
ExplorerStart startFrom(const QStringList& arguments) {
    static const std::set<std::string> kTaken = {"--function", "--window",   "--size", "--range",
                                                 "--range-re", "--range-im", "--axes", "--threads"};
    std::vector<std::string> words;
    for (const QString& argument : arguments) {
        words.push_back(argument.toStdString());
    }
    ExplorerStart start;
    if (words.empty()) {
        return start;
    }
    for (const std::string& word : words) {
        const std::string name = word.substr(0, word.find('='));
        if (word.starts_with("--") && !kTaken.contains(name)) {
            throw UsageError(complexplot::quoted(name) +
                             " is not for the explorer: it takes --function, --window, --size, "
                             "--range, --range-re, --range-im and --axes");
        }
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

int main(int argc, char** argv) {
    catchPlatformFailure("complex-plot-explore");
    QApplication application(argc, argv);
    releaseStartupMessages();
    QApplication::setApplicationName(QStringLiteral("complex-plot-explore"));

    // Japanese where the locale is, English otherwise.
    QTranslator translator;
    if (QLocale().language() == QLocale::Japanese &&
        translator.load(QLocale(), QStringLiteral("complex-plot-explore"), QStringLiteral("_"),
                        QStringLiteral(":/i18n"))) {
        QApplication::installTranslator(&translator);
    }

    ExplorerStart start;
    try {
        start = startFrom(QApplication::arguments().mid(1));
    } catch (const UsageError& error) {
        std::cerr << "complex-plot-explore: " << error.what() << '\n';
        return kExitUsage;
    }
    ExplorerWindow window(start);
    window.showAtStartSize();
    return application.exec();
}
