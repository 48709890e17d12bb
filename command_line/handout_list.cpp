#include "handout_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

#include "atomic_file.h"
#include "quoted_text.h"

namespace complexplot {

namespace {

// A list is a few lines a page; anything larger is not one.
constexpr long long kLargestList = 16 << 20;

std::string cannotRead(const std::string& path, const std::string& why) {
    return "cannot read the list " + quoted(path) + ": " + why;
}

// What kind of thing the path names, when it is not a regular file. A FIFO
// is refused before it is opened, which would wait for a writer.
void checkListIsAFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        throw UsageError(cannotRead(path, std::strerror(errno)));
    }
    if (S_ISDIR(info.st_mode)) {
        throw UsageError(cannotRead(path, "it is a folder, not a file"));
    }
    if (S_ISFIFO(info.st_mode)) {
        throw UsageError(cannotRead(path, "it is a FIFO, not a file"));
    }
    if (!S_ISREG(info.st_mode)) {
        throw UsageError(cannotRead(path, "it is a device or a socket, not a file"));
    }
    if (info.st_size > kLargestList) {
        throw UsageError("the list " + quoted(path) + " is " + std::to_string(info.st_size) +
                         " bytes: a list may hold at most " + std::to_string(kLargestList) +
                         " (16 MB)");
    }
}

// The whole list. Memory that runs out on the way is said as such, not as
// a list that cannot be read.
std::string listText(const std::string& path) {
    checkListIsAFile(path);
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        throw UsageError(cannotRead(path, std::strerror(errno)));
    }
    std::string text;
    try {
        char block[65536];
        for (;;) {
            const ssize_t count = ::read(file, block, sizeof block);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0) {
                const int number = errno;
                ::close(file);
                throw UsageError(cannotRead(path, std::strerror(number)));
            }
            if (count == 0 || static_cast<long long>(text.size()) + count > kLargestList) {
                break;
            }
            text.append(block, static_cast<std::size_t>(count));
        }
    } catch (const std::bad_alloc&) {
        ::close(file);
        throw OutOfMemoryWhileReading("out of memory while reading the list " + quoted(path));
    }
    ::close(file);
    return text;
}

// The options that belong to the handout as a whole, not to a line.
bool isHandoutOption(const std::string& name) {
    return name == "--figure" || name == "--figure-width" || name == "--page" || name == "--from";
}

// The options that write files of their own: a handout writes its figure
// alone, wherever they are given.
bool writesFilesOfItsOwn(const std::string& name) {
    return name == "-o" || name == "--data" || name == "--name";
}

std::string noFilesOfItsOwn(const std::string& name) {
    return name +
           " writes files of one figure's own; with --from only the handout's figure is written: "
           "leave " +
           name + " out";
}

std::string noTableOfItsOwn(const std::string& word) {
    return word +
           " writes a table of one figure's own; with --from only the handout's figure is "
           "written: give --zeros alone to mark the zeros and poles";
}

void checkNoFigureOptions(const OptionValues& given) {
    for (const char* name : {"-o", "--data", "--name"}) {
        if (given.given(name)) {
            throw UsageError(noFilesOfItsOwn(name));
        }
    }
    if (given.zeros && !given.zeros->empty()) {
        throw UsageError(noTableOfItsOwn("--zeros=" + *given.zeros));
    }
    if (given.given("--function")) {
        throw UsageError(
            "--function goes on a line of the list: with --from the figures come "
            "from the list");
    }
    if (given.given("--threads")) {
        throw UsageError(
            "--threads goes on a line of the list, not on the command line with "
            "--from");
    }
}

// The command line's options that describe a figure, put before each
// line's own words where the line gives none of their family: --axes for
// every line, --scale for preset lines, the window, the size, the ranges,
// what is shown (--show with --greys, one family) and --contours for
// function lines.
struct HandoutDefaults {
    bool axes = false;
    std::optional<std::string> scale;
    std::optional<std::string> window;
    std::optional<std::string> size;
    std::vector<std::string> ranges;
    std::vector<std::string> shown;
    std::optional<std::string> contours;
    bool zeros = false;
};

constexpr const char* kRangeOptions[] = {"--range", "--range-re", "--range-im"};
constexpr const char* kShownOptions[] = {"--show", "--greys"};

HandoutDefaults defaultsOf(const OptionValues& given) {
    HandoutDefaults defaults;
    defaults.axes = given.axes;
    auto word = [&](const char* name) -> std::optional<std::string> {
        if (!given.given(name)) {
            return std::nullopt;
        }
        return std::string(name) + "=" + given.value(name);
    };
    defaults.scale = word("--scale");
    defaults.window = word("--window");
    defaults.size = word("--size");
    for (const char* name : kRangeOptions) {
        if (const auto range = word(name)) {
            defaults.ranges.push_back(*range);
        }
    }
    for (const char* name : kShownOptions) {
        if (const auto shown = word(name)) {
            defaults.shown.push_back(*shown);
        }
    }
    if (given.contours) {
        defaults.contours =
            given.contours->empty() ? std::string("--contours") : "--contours=" + *given.contours;
    }
    defaults.zeros = given.zeros.has_value();
    return defaults;
}

// The defaults that a line with these options takes.
std::vector<std::string> defaultWordsFor(const OptionValues& line,
                                         const HandoutDefaults& defaults) {
    std::vector<std::string> words;
    if (defaults.axes) {
        words.push_back("--axes");
    }
    auto add = [&](const char* name, const std::optional<std::string>& word) {
        if (word && !line.given(name)) {
            words.push_back(*word);
        }
    };
    if (!line.given("--function")) {
        add("--scale", defaults.scale);
        return words;
    }
    add("--window", defaults.window);
    add("--size", defaults.size);
    auto givesNone = [&](const auto& family) {
        return std::none_of(std::begin(family), std::end(family),
                            [&](const char* name) { return line.given(name); });
    };
    if (givesNone(kRangeOptions)) {
        words.insert(words.end(), defaults.ranges.begin(), defaults.ranges.end());
    }
    if (givesNone(kShownOptions)) {
        words.insert(words.end(), defaults.shown.begin(), defaults.shown.end());
    }
    if (defaults.contours && !line.contours) {
        words.push_back(*defaults.contours);
    }
    if (defaults.zeros && !line.zeros) {
        words.push_back("--zeros");
    }
    return words;
}

// The defaults are checked once, as a line that takes them all would.
void checkDefaults(const HandoutDefaults& defaults, const std::string& figureFile) {
    std::vector<std::string> functionLine = {"--function", "z", "--figure", figureFile};
    for (const auto& word : {defaults.window, defaults.size}) {
        if (word) {
            functionLine.push_back(*word);
        }
    }
    functionLine.insert(functionLine.end(), defaults.ranges.begin(), defaults.ranges.end());
    functionLine.insert(functionLine.end(), defaults.shown.begin(), defaults.shown.end());
    if (defaults.contours) {
        functionLine.push_back(*defaults.contours);
    }
    if (defaults.zeros) {
        functionLine.push_back("--zeros");
    }
    parseRenderOptions(functionLine);
    if (defaults.scale) {
        parseRenderOptions({"sin", "--figure", figureFile, *defaults.scale});
    }
}

// One line's figure, read as a command line of its own after the
// defaults it takes.
RenderOptions pageOf(const std::string& line, const std::string& figureFile,
                     const HandoutDefaults& defaults) {
    std::vector<std::string> words = shellWords(line);
    for (const std::string& word : words) {
        const std::string name = word.substr(0, word.find('='));
        if (writesFilesOfItsOwn(name)) {
            throw UsageError(noFilesOfItsOwn(name));
        }
        if (word.starts_with("--zeros=")) {
            throw UsageError(noTableOfItsOwn(word));
        }
        if (isHandoutOption(name)) {
            throw UsageError(quoted(word) +
                             " goes on the command line: a line holds the options of one figure");
        }
    }
    std::vector<std::string> all = {"--figure", figureFile};
    const std::vector<std::string> taken = defaultWordsFor(scanOptions(words), defaults);
    all.insert(all.end(), taken.begin(), taken.end());
    all.insert(all.end(), words.begin(), words.end());
    RenderOptions page = parseRenderOptions(all);
    if (!page.windowFile.empty()) {
        throw UsageError("the window picture goes on the command line of its own");
    }
    return page;
}

// A line of the list as it is read: its number (the first, for a line
// continued with a backslash) and its text.
struct ListLine {
    int number = 0;
    std::string text;
};

// The list's lines, without a UTF-8 byte-order mark at its start, each line
// that ends in a backslash joined to the next as a shell joins them.
std::vector<ListLine> listLines(std::string_view text) {
    if (text.starts_with("\xef\xbb\xbf")) {
        text.remove_prefix(3);
    }
    std::vector<ListLine> lines;
    bool continued = false;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!continued) {
            lines.push_back(ListLine{number, ""});
        }
        // An odd run of backslashes at the end: the last one escapes the
        // line's end.
        const std::size_t last = line.find_last_not_of('\\');
        const std::size_t backslashes = line.size() - (last == std::string::npos ? 0 : last + 1);
        continued = backslashes % 2 == 1;
        if (continued) {
            line.pop_back();
        }
        lines.back().text += line;
    }
    return lines;
}

// ‘ ’ “ ”, as word processors write quotes.
bool isCurlyQuoteAt(const std::string& line, std::size_t k) {
    return k + 2 < line.size() && line[k] == '\xe2' && line[k + 1] == '\x80' &&
           std::string_view("\x98\x99\x9c\x9d").find(line[k + 2]) != std::string_view::npos;
}

// Appends what the double quotes that open at `open` keep, and returns
// where they close.
std::size_t appendDoubleQuoted(const std::string& line, std::size_t open, std::string& word) {
    for (std::size_t k = open + 1;; ++k) {
        if (k >= line.size()) {
            throw UsageError("a double quote is not closed");
        }
        if (line[k] == '"') {
            return k;
        }
        if (line[k] == '\\' && k + 1 < line.size() &&
            std::string_view("\"\\$`").find(line[k + 1]) != std::string_view::npos) {
            ++k;
        }
        word += line[k];
    }
}

}  // namespace

void readHandout(const OptionValues& given, RenderOptions& options) {
    options.listFile = given.value("--from");
    if (options.figureFile.empty()) {
        throw UsageError("--from makes a handout: give it --figure FILE.pdf");
    }
    checkNoFigureOptions(given);
    if (fileIdentity(options.listFile) == fileIdentity(options.figureFile)) {
        throw UsageError("the list " + quoted(options.listFile) + " and --figure " +
                         quoted(options.figureFile) +
                         " are the same file: the handout would overwrite its own list");
    }
    const HandoutDefaults defaults = defaultsOf(given);
    checkDefaults(defaults, options.figureFile);
    const std::string where = escaped(options.listFile);
    for (const ListLine& line : listLines(listText(options.listFile))) {
        const std::size_t first = line.text.find_first_not_of(" \t");
        if (first == std::string::npos || line.text[first] == '#') {
            continue;
        }
        try {
            options.pages.push_back(pageOf(line.text, options.figureFile, defaults));
            options.pages.back().listLine = line.number;
        } catch (const UsageError& error) {
            throw UsageError(where + ":" + std::to_string(line.number) + ": " + error.what());
        } catch (const std::bad_alloc&) {
            throw OutOfMemoryWhileReading("out of memory while reading line " +
                                          std::to_string(line.number) + " of the list " +
                                          quoted(options.listFile));
        }
    }
    if (options.pages.empty()) {
        throw UsageError(where + ": the list holds no figure");
    }
    if (options.pages.size() > 1 && !endsWith(options.figureFile, ".pdf")) {
        throw UsageError("a list of " + std::to_string(options.pages.size()) +
                         " figures needs a .pdf figure, a page for each; a .png or .svg "
                         "holds one");
    }
}

std::vector<std::string> shellWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (c == '#' && !inWord) {
            break;  // a comment, as in a shell
        }
        if (isCurlyQuoteAt(line, k)) {
            throw UsageError("a curly quote " + line.substr(k, 3) +
                             " stands outside quotes: quote as in a shell, with straight quotes "
                             "' or \"");
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t end = line.find('\'', k + 1);
            if (end == std::string::npos) {
                throw UsageError("a single quote is not closed");
            }
            word += line.substr(k + 1, end - k - 1);
            k = end;
        } else if (c == '"') {
            k = appendDoubleQuoted(line, k, word);
        } else if (c == '\\' && k + 1 < line.size()) {
            word += line[++k];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

}  // namespace complexplot
