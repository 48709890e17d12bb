#pragma once

namespace complexplot {

// The two numbers the main window keeps across plot runs: the value range
// that maps to grey level 0 (RangeMin) and 255 (RangeMax). Every run
// overwrites them from its preset; the grey mapping and the arctangent's
// fallback read them live, so a nested run changes what an outer run paints.
// Until the first run they hold 0, the value of an unset number.
struct WindowState {
    double RangeMin = 0.0;
    double RangeMax = 0.0;
};

}  // namespace complexplot
