#include "codepage.h"

#include <cstdio>

namespace vhost {
namespace {

// Windows-1252 from 0x80 to 0x9F as Unicode; 0 where the code page
// defines no character. From 0xA0 up the byte is its own code point.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte of a code point in Windows-1252, or -1 when it has none.
int32_t Cp1252Byte(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int32_t>(cp);
    for (int32_t i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return 0x80 + i;
    return -1;
}

// Decodes one UTF-8 character at s[*i], moving *i past it. False for a
// malformed, overlong or surrogate sequence.
bool DecodeUtf8(const std::string& s, size_t* i, uint32_t* cp) {
    const auto lead = static_cast<unsigned char>(s[*i]);
    int32_t more;
    uint32_t min;
    if (lead < 0x80) {
        *cp = lead;
        ++*i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        more = 1, min = 0x80, *cp = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2, min = 0x800, *cp = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3, min = 0x10000, *cp = lead & 0x07u;
    } else {
        return false;
    }
    if (*i + static_cast<size_t>(more) >= s.size()) return false;
    for (int32_t k = 1; k <= more; ++k) {
        const auto c = static_cast<unsigned char>(s[*i + static_cast<size_t>(k)]);
        if ((c & 0xC0) != 0x80) return false;
        *cp = (*cp << 6) | (c & 0x3Fu);
    }
    if (*cp < min || *cp > 0x10FFFF || (*cp >= 0xD800 && *cp <= 0xDFFF)) return false;
    *i += static_cast<size_t>(more) + 1;
    return true;
}

}  // namespace

uint32_t Cp1252CodePoint(unsigned char c) {
    if (c < 0x80 || c >= 0xA0) return c;
    return kCp1252High[c - 0x80];
}

void AppendUtf8(uint32_t cp, std::string* out) {
    if (cp < 0x80) {
        *out += static_cast<char>(cp);
        return;
    }
    if (cp < 0x800) {
        *out += static_cast<char>(0xC0 | (cp >> 6));
    } else {
        *out += static_cast<char>(0xE0 | (cp >> 12));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *out += static_cast<char>(0x80 | (cp & 0x3F));
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const uint32_t cp = Cp1252CodePoint(static_cast<unsigned char>(ch));
        AppendUtf8(cp ? cp : 0xFFFD, &out);
    }
    return out;
}

bool Utf8ToCp1252(const std::string& utf8, std::string* out, std::string* error) {
    std::string result;
    for (size_t i = 0; i < utf8.size();) {
        const size_t start = i;
        uint32_t cp = 0;
        if (!DecodeUtf8(utf8, &i, &cp)) {
            *error = "the text is not UTF-8";
            return false;
        }
        const int32_t b = Cp1252Byte(cp);
        if (b < 0) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            *error = "the character '" + utf8.substr(start, i - start) + "' (" + code +
                     ") has no Windows-1252 form";
            return false;
        }
        result += static_cast<char>(b);
    }
    *out = result;
    return true;
}

}  // namespace vhost
