#pragma once

#include <string>
#include <string_view>

namespace complexplot {

// An expression as typed, written the way a textbook prints it, for titles:
// integer powers as superscripts (z^2 as z², z^-3 as z⁻³), a product of a
// number and what follows it as a thin space and any other product as ·,
// sqrt(z) as √z (√(z+1) where the root takes more than one token), pi as π
// and a minus as the minus sign. Everything else stays as typed. The text
// is read token by token, so its depth needs no stack; text that is not an
// expression is changed the same way, as far as it goes.
std::string mathNotation(std::string_view expression);

}  // namespace complexplot
