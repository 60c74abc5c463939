#include "values.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace vhost {

std::string HostList::Cell(int32_t line1, const std::string& column) const {
    if (line1 < 1 || line1 > LineCount()) return std::string();
    const auto& cells = lines[static_cast<size_t>(line1 - 1)];
    const auto it = cells.find(column);
    return it == cells.end() ? std::string() : it->second;
}

Value Value::Num(double d) {
    Value v;
    v.kind = kNumber;
    v.number = d;
    return v;
}

Value Value::Text(const std::string& s) {
    Value v;
    v.kind = kText;
    v.text = s;
    return v;
}

Value Value::Date(uint16_t y, uint16_t m, uint16_t d) {
    Value v;
    v.kind = kDate;
    v.parts[0] = y;
    v.parts[1] = m;
    v.parts[2] = d;
    return v;
}

Value Value::Time(uint16_t h, uint16_t m, uint16_t s) {
    Value v;
    v.kind = kTime;
    v.parts[0] = h;
    v.parts[1] = m;
    v.parts[2] = s;
    return v;
}

Value Value::NewList() {
    Value v;
    v.kind = kList;
    v.list = std::make_shared<HostList>();
    return v;
}

std::string Value::ToString() const {
    char buf[32];
    switch (kind) {
        case kNumber:
            return FormatNumber(number);
        case kText:
            return text;
        case kDate:
            std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", parts[0], parts[1], parts[2]);
            return buf;
        case kTime:
            std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", parts[0], parts[1], parts[2]);
            return buf;
        case kList:
            std::snprintf(buf, sizeof buf, "(list of %ld lines)",
                          static_cast<long>(list ? list->LineCount() : 0));
            return buf;
        case kEmpty:
            break;
    }
    return std::string();
}

Arg Arg::Num(double d) {
    Arg a;
    a.literal = Value::Num(d);
    return a;
}

Arg Arg::Text(const std::string& s) {
    Arg a;
    a.literal = Value::Text(s);
    return a;
}

Arg Arg::Var(const std::string& name) {
    Arg a;
    a.isVariable = true;
    a.variable = name;
    return a;
}

bool ParseNumber(const std::string& text, double* out) {
    // Check the shape first: from_chars alone would also take "inf" and "nan".
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    const size_t mantissa = i;
    size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
        size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    // from_chars takes no leading '+'.
    const char* first = text.data() + mantissa;
    double d = 0;
    const auto r = std::from_chars(first, text.data() + n, d);
    if (r.ec != std::errc() || r.ptr != text.data() + n) return false;
    *out = (mantissa > 0 && text[0] == '-') ? -d : d;
    return true;
}

std::string FormatNumber(double d) {
    if (d == 0) return "0";
    if (!std::isfinite(d)) return std::isnan(d) ? "nan" : (d < 0 ? "-inf" : "inf");
    // The fewest significant digits that read back as d ...
    char buf[40];
    int digits = 1;
    for (; digits < 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*e", digits - 1, d);
        if (std::strtod(buf, nullptr) == d) break;
    }
    // ... written without an exponent unless the number is very large or small.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(d))));
    const int precision = (exponent >= -5 && exponent < 17) ? std::max(digits, exponent + 1) : digits;
    std::snprintf(buf, sizeof buf, "%.*g", precision, d);
    return buf;
}

double NumberOf(const Value& v) {
    if (v.kind == Value::kNumber) return v.number;
    if (v.kind != Value::kText) return 0;
    const size_t first = v.text.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const size_t last = v.text.find_last_not_of(' ');
    double d = 0;
    return ParseNumber(v.text.substr(first, last - first + 1), &d) ? d : 0;
}

}  // namespace vhost
