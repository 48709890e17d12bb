#pragma once

// The words of a command line sorted into options, their values and the
// words that are neither: the first step of reading it, shared by both
// programs and by the lines of a handout's list.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "usage_error.h"

namespace complexplot {

// A word on the command line that is neither an option nor its value, and
// what stood before it.
struct LooseWord {
    std::string word;
    std::string after;  // the option and its value before it, or empty
};

// A command line as typed: the last value of each option that takes one,
// the switches, and the loose words in order.
struct OptionValues {
    std::map<std::string, std::string> values;
    std::vector<LooseWord> looseWords;
    bool help = false;
    bool axes = false;
    // --contours (empty) or --contours=LIST; its value only in the = form.
    std::optional<std::string> contours;
    // --zeros (empty) or --zeros=FILE.tsv; its value only in the = form.
    std::optional<std::string> zeros;

    bool given(const std::string& name) const { return values.contains(name); }
    const std::string& value(const std::string& name) const { return values.at(name); }
};

// Sorts the words. Raises UsageError for an unknown option, and for an
// option whose value is missing or is another option.
OptionValues scanOptions(const std::vector<std::string>& arguments);

// Why a loose word after an option's value is refused: the value was meant
// to be one word.
std::string looseWordMessage(const LooseWord& loose);

std::string lowerCase(std::string text);

// Whether the text is longer than the suffix and ends in it, in any case.
bool endsWith(const std::string& text, const char* suffix);

// A whole number of at most nine digits, or -1.
long long wholeNumber(const std::string& text);

}  // namespace complexplot
