// Conversions between host values and the forms the external and the script
// notation use.
#pragma once
#include <string>

#include "host.h"

namespace vhost {

// A decimal number: optional sign, digits with an optional fraction (or a
// fraction alone), optional exponent. Nothing else is accepted: no spaces,
// no hexadecimal, no "inf" or "nan".
bool ParseNumber(const std::string& text, double* out);

// Shortest decimal text that reads back as the same double ("3", "0.25",
// "1e+20"); negative zero prints as "0".
std::string FormatNumber(double d);

// The value as a number: numbers as they are, texts parsed when they hold a
// number (surrounding spaces allowed), everything else 0.
double NumberOf(const Value& v);

}  // namespace vhost
