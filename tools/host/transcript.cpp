// How values, host lists and files look in a transcript.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "codepage.h"
#include "script.h"
#include "values.h"

namespace vhost {
namespace {

// Pads to width with spaces on the right, or on the left when right-aligned.
std::string Pad(const std::string& s, size_t width, bool right = false) {
    if (s.size() >= width) return s;
    const std::string fill(width - s.size(), ' ');
    return right ? fill + s : s + fill;
}

std::string TrimRight(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

void AppendHex(unsigned char c, std::string* out) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    *out += hex;
}

}  // namespace

std::string QuoteText(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\"\""; break;
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    AppendHex(c, &out);
                } else if (c < 0x80) {
                    out += ch;
                } else {
                    const uint32_t cp = Cp1252CodePoint(c);
                    if (cp)
                        AppendUtf8(cp, &out);
                    else
                        AppendHex(c, &out);
                }
        }
    }
    return out + "\"";
}

std::string FormatValue(const Value& value) {
    switch (value.kind) {
        case Value::kEmpty: return "(empty)";
        case Value::kText: return QuoteText(value.text);
        default: return value.ToString();
    }
}

std::string FormatVariable(const std::string& name, const Value& value) {
    if (value.kind != Value::kList || !value.list) return name + " = " + FormatValue(value) + "\n";
    const HostList& list = *value.list;
    std::ostringstream out;
    out << name << ": list of " << list.LineCount() << (list.LineCount() == 1 ? " line" : " lines")
        << "\n";
    if (list.LineCount() == 0 && list.columns.empty()) return out.str();
    // Column widths: the line numbers, then each column's name and quoted cells.
    std::vector<size_t> widths;
    widths.push_back(std::max<size_t>(1, std::to_string(list.LineCount()).size()));
    std::vector<std::vector<std::string>> rows(list.lines.size());
    for (const std::string& column : list.columns) {
        size_t w = column.size();
        for (size_t i = 0; i < list.lines.size(); ++i) {
            rows[i].push_back(QuoteText(list.Cell(static_cast<int32_t>(i + 1), column)));
            w = std::max(w, rows[i].back().size());
        }
        widths.push_back(w);
    }
    std::string header = "  " + Pad("#", widths[0], true);
    for (size_t c = 0; c < list.columns.size(); ++c)
        header += "  " + Pad(list.columns[c], widths[c + 1]);
    out << TrimRight(header) << "\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string row = "  " + Pad(std::to_string(i + 1), widths[0], true);
        for (size_t c = 0; c < rows[i].size(); ++c) row += "  " + Pad(rows[i][c], widths[c + 1]);
        out << TrimRight(row) << "\n";
    }
    return out.str();
}

std::string FormatFileLines(const std::string& path, const std::string& bytes, int32_t firstLine,
                            int32_t lastLine) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool lf = bytes[i] == '\n';
        const bool loneCr = bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n');
        if (lf || loneCr) {
            lines.push_back(bytes.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    std::ostringstream out;
    out << "file '" << path << "': " << bytes.size() << (bytes.size() == 1 ? " byte, " : " bytes, ")
        << lines.size() << (lines.size() == 1 ? " line" : " lines") << "\n";
    const size_t width = std::to_string(lines.size()).size();
    const size_t first = static_cast<size_t>(std::max(firstLine, 1)) - 1;
    const size_t last = std::min(lines.size(), static_cast<size_t>(std::max(lastLine, 0)));
    for (size_t i = first; i < last; ++i)
        out << "  " << Pad(std::to_string(i + 1), width, true) << "  " << QuoteText(lines[i]) << "\n";
    return out.str();
}

std::string FormatAreaState(const std::string& name, const AreaState& state) {
    std::ostringstream out;
    out << "area " << name << ": ";
    if (!state.live) {
        out << "destroyed\n";
        return out.str();
    }
    if (!state.hasRecord) {
        out << "no area record\n";
        return out.str();
    }
    out << (state.shown ? "shown" : "not shown") << ", top " << state.topLine + 1 << ", selection ";
    if (state.selection < 0)
        out << "none";
    else
        out << state.selection + 1;
    out << ", rows " << state.rows << ", cols " << state.cols << ", ";
    if (state.hasScrollBar)
        out << "scroll " << state.scrollMin << ".." << state.scrollMax << " page "
            << state.scrollPage << " pos " << state.scrollPos;
    else
        out << "no scroll bar";
    out << "\n";
    return out.str();
}

}  // namespace vhost
