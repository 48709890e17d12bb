#include "option_words.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "quoted_text.h"

namespace complexplot {

namespace {

// An option that takes a value: what the value is, for a message, and how
// it is written as one word where that needs saying.
struct ValueOption {
    const char* name;
    const char* kind;
    const char* oneWordForm;  // empty: NAME VALUE
};

constexpr ValueOption kValueOptions[] = {
    {"--scale", "a value", ""},
    {"-o", "a folder", ""},
    {"--window", "a window", "--window=X0,X1,Y0,Y1, as in --window=-1,1,-1,1"},
    {"--function", "an expression", ""},
    {"--size", "a value", "--size WxH, as in --size 512x512"},
    {"--range", "a value", "--range=LO,HI, as in --range=-1,1"},
    {"--name", "a file name", ""},
    {"--data", "a file name", ""},
    {"--threads", "a value", ""},
    {"--figure", "a file name", ""},
    {"--figure-width", "a value", ""},
    {"--title", "a value", ""},
    {"--page", "a value", ""},
    {"--range-re", "a value", "--range-re=LO,HI, as in --range-re=-1,1"},
    {"--range-im", "a value", "--range-im=LO,HI, as in --range-im=-1,1"},
    {"--from", "a value", ""},
    {"--show", "a value", ""},
    {"--greys", "a value", ""},
};

const ValueOption* valueOption(const std::string& name) {
    const auto found = std::find_if(std::begin(kValueOptions), std::end(kValueOptions),
                                    [&](const ValueOption& option) { return name == option.name; });
    return found == std::end(kValueOptions) ? nullptr : found;
}

bool isOption(const std::string& argument) {
    if (argument == "--" || argument == "--axes" || argument == "--help" || argument == "-h" ||
        argument == "--contours" || argument.starts_with("--contours=") || argument == "--zeros" ||
        argument.starts_with("--zeros=")) {
        return true;
    }
    return valueOption(argument.substr(0, argument.find('='))) != nullptr;
}

// The value of the option at `index`: after its '=', or the next word.
// Leaves `index` at the last word used and `written` as the option and its
// value were typed.
std::string optionValue(const std::vector<std::string>& arguments, std::size_t& index,
                        std::string& written) {
    const std::string& argument = arguments[index];
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const ValueOption* option = valueOption(name);
    if (option == nullptr) {
        throw UsageError("unknown option " + quoted(argument) + ": see --help");
    }
    std::string value;
    if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
        written = argument;
    } else if (index + 1 < arguments.size()) {
        value = arguments[++index];
        // An option where a value was expected is a forgotten value, not a
        // value that happens to start with two dashes.
        if (isOption(value)) {
            throw UsageError("option " + name + " needs " + option->kind + ", not the option " +
                             quoted(value) + "; write " + name +
                             "=VALUE for a value that looks like an option");
        }
        written = name + " " + value;
    }
    if (value.empty()) {
        throw UsageError("option " + name + " needs a value");
    }
    return value;
}

// A switch that takes a value in the = form only: nothing where the
// argument is another word, empty for the switch alone, else its value.
// An = with nothing after it is refused, saying what it `needs`.
std::optional<std::string> switchValue(const std::string& argument, const std::string& name,
                                       const char* needs) {
    if (argument == name) {
        return std::string();
    }
    if (!argument.starts_with(name + "=")) {
        return std::nullopt;
    }
    std::string value = argument.substr(name.size() + 1);
    if (value.empty()) {
        throw UsageError(name + "= needs " + needs);
    }
    return value;
}

// --range each and --range LO,HI ask for two different things; a later one
// would silently win.
void checkRangeKindsAgree(const OptionValues& options, const std::string& name,
                          const std::string& value) {
    if (name != "--range" || !options.given(name)) {
        return;
    }
    const std::string& earlier = options.value(name);
    const bool each = lowerCase(value) == "each";
    if (each != (lowerCase(earlier) == "each")) {
        throw UsageError("--range " + quoted(each ? earlier : value) +
                         " is one range for both maps and --range each gives each map its own: "
                         "give one of them, or --range-re and --range-im for a fixed range "
                         "each");
    }
}

}  // namespace

OptionValues scanOptions(const std::vector<std::string>& arguments) {
    OptionValues options;
    std::string lastOption;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // A negative number is a stray word too, not an option.
        const bool number =
            argument.size() > 1 && argument[0] == '-' &&
            (std::isdigit(static_cast<unsigned char>(argument[1])) != 0 || argument[1] == '.');
        if (optionsEnded || !argument.starts_with("-") || number) {
            options.looseWords.push_back(LooseWord{argument, optionsEnded ? "" : lastOption});
            lastOption.clear();
            continue;
        }
        lastOption.clear();
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--axes") {
            options.axes = true;
        } else if (const auto levels = switchValue(argument, "--contours",
                                                   "its levels, as in --contours=0,pi/2,1e3; "
                                                   "--contours alone draws the default ones")) {
            options.contours = *levels;
        } else if (const auto table = switchValue(argument, "--zeros",
                                                  "a file name, as in --zeros=points.tsv; "
                                                  "--zeros alone marks the zeros and poles "
                                                  "without writing a table")) {
            options.zeros = *table;
        } else {
            // --option VALUE, or --option=VALUE (which lets a value start with a minus).
            std::string value = optionValue(arguments, i, lastOption);
            const std::string name = argument.substr(0, argument.find('='));
            checkRangeKindsAgree(options, name, value);
            options.values[name] = std::move(value);
        }
    }
    return options;
}

std::string looseWordMessage(const LooseWord& loose) {
    const std::string name = loose.after.substr(0, loose.after.find_first_of(" ="));
    const ValueOption* option = valueOption(name);
    const std::string form = option != nullptr && *option->oneWordForm != '\0'
                                 ? std::string(option->oneWordForm)
                                 : name + " VALUE, quoting a value that holds spaces";
    return "unexpected word " + quoted(loose.word) + " after " + quoted(loose.after) +
           ": an option's value is one word; write " + form;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::string end(suffix);
    return text.size() > end.size() && lowerCase(text.substr(text.size() - end.size())) == end;
}

long long wholeNumber(const std::string& text) {
    long long value = -1;
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return -1;
    }
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace complexplot
