// The sanitizers' settings for every test program, built in, so that they
// hold however the test is started, and handed on to the programs a test
// starts (the renderer, the window).

#include <cstdlib>

#define LEAK_OPTIONS "suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0"
#define UNDEFINED_BEHAVIOUR_OPTIONS "print_stacktrace=1:halt_on_error=1"

extern "C" {

// LeakSanitizer may name only third-party libraries' own caches here.
const char* __lsan_default_options() {
    return LEAK_OPTIONS;
}

const char* __ubsan_default_options() {
    return UNDEFINED_BEHAVIOUR_OPTIONS;
}
}

namespace {

const bool kHandedOn = [] {
    ::setenv("LSAN_OPTIONS", LEAK_OPTIONS, 0);
    ::setenv("UBSAN_OPTIONS", UNDEFINED_BEHAVIOUR_OPTIONS, 0);
    return true;
}();

}  // namespace
