#include "headless_controls.h"

namespace complexplot {

HeadlessControls::HeadlessControls(int scaleFactor, std::int16_t checkValue)
    : picture1_(scaleFactor), picture2_(scaleFactor), checkValue_(checkValue) {}

}  // namespace complexplot
