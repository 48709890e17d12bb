#pragma once

namespace complexplot {

// Qt ends the program with an abort and a hint to reinstall it when it can
// open no platform: no display, a dead one, a plugin that will not load.
// Between these two calls, around the making of the application, such a
// failure is instead told in one line on stderr, after the program's name
// (what is missing, and the
// renderer that draws the same maps without a display), and the program
// exits with status 1. Qt's other messages of that time are held back and
// passed on at the second call.
void catchPlatformFailure(const char* program = "complex-plot");
void releaseStartupMessages();

}  // namespace complexplot
