#include "handout_list.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>

#include "quoted_text.h"

namespace complexplot {

namespace {

// The options that belong to the handout as a whole, not to a line.
bool isHandoutOption(const std::string& word) {
    const std::string name = word.substr(0, word.find('='));
    return name == "--figure" || name == "--figure-width" || name == "--page" || name == "--from" ||
           name == "-o" || name == "--data";
}

void checkNoFigureOptions(const OptionValues& given) {
    for (const char* name :
         {"--function", "--window", "--size", "--range", "--range-re", "--range-im", "--name",
          "--data", "--threads", "--scale", "-o", "--title"}) {
        if (given.given(name)) {
            throw UsageError(std::string(name) +
                             " goes on a line of the list, not on the command line with --from");
        }
    }
}

// One line's figure, read as a command line of its own.
RenderOptions pageOf(const std::string& line, const std::string& figureFile) {
    std::vector<std::string> words = shellWords(line);
    for (const std::string& word : words) {
        if (isHandoutOption(word)) {
            throw UsageError(quoted(word) +
                             " goes on the command line: a line holds the options of one figure");
        }
    }
    words.insert(words.end(), {"--figure", figureFile});
    RenderOptions page = parseRenderOptions(words);
    if (!page.windowFile.empty()) {
        throw UsageError("the window picture goes on the command line of its own");
    }
    return page;
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
    std::ifstream list(options.listFile);
    if (!list) {
        throw UsageError("cannot read the list " + quoted(options.listFile) + ": " +
                         std::strerror(errno));
    }
    const std::string where = escaped(options.listFile);
    std::string line;
    for (int number = 1; std::getline(list, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        try {
            options.pages.push_back(pageOf(line, options.figureFile));
        } catch (const UsageError& error) {
            throw UsageError(where + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    if (list.bad()) {
        throw UsageError("cannot read the list " + quoted(options.listFile));
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
