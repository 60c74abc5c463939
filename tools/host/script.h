// Scripts of host calls in the host's notation, as vandu-host runs them:
// parsing into statements, running them against a Host, and the transcript.
// The notation is described in README.md beside this file.
#pragma once
#include <cstdint>
#include <climits>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "host.h"

namespace vhost {

struct Statement {
    enum Kind {
        kCall, kCalculate, kShowVariable, kShowFile, kLoad, kUnload, kEcho,
        // Windows and list areas.
        kOpenWindow, kPlaceArea, kPaint, kScroll, kShowArea, kDesignDraw, kClip, kReinit,
        kDestroy, kClose,
        // Input and what it left behind.
        kKey, kPressRow, kDoublePress, kPressAt, kPause, kShowProcedures, kShowClipboard,
        kSave, kSaveArea,
    };
    Kind kind = kEcho;
    int line = 0;              // 1-based line of the script
    std::string source;        // the statement as written, without its comment
    // variable (Calculate, Show), path (Show file), text (Echo), the window
    // (Open window, Paint, Close) or the area (the other window statements)
    std::string name;
    int32_t position = 0;      // kCall: catalogue position
    std::vector<Arg> args;     // kCall, kLoad; kPlaceArea: the area's parameters
    Value literal;             // kCalculate
    int32_t firstLine = 1;     // kShowFile: the lines shown, 1-based, inclusive
    int32_t lastLine = INT32_MAX;
    std::string window;        // kPlaceArea: the window it goes on
    // kOpenWindow: width, height; kPlaceArea: left, top, right, bottom;
    // kScroll: the scroll code and the thumb position; kKey: the key code,
    // then Shift and Ctrl (0 or 1); kPressRow, kDoublePress: the row (1-based
    // from the first visible row); kPressAt: x, y; kPause: milliseconds
    std::vector<int32_t> numbers;
    std::string path;          // kSave, kSaveArea: the PNG file
    AreaFont font;             // kPlaceArea
};

struct Diagnostic {
    int line = 0;
    std::string message;
};

struct Script {
    std::vector<Statement> statements;  // the lines that parsed
    std::vector<Diagnostic> errors;     // one per line that did not
};

// Catalogue position of a bare function name ("LoadList"); 0 when unknown.
using FunctionLookup = std::function<int32_t(const std::string&)>;

Script ParseScript(const std::string& text, const FunctionLookup& lookup);

// A file's bytes; false with *error set when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// Transcript forms.
// Double-quoted; a quote is doubled, control characters are written \r, \n,
// \t or \xHH and a backslash as \\. The text is taken as Windows-1252, the
// list files' code page, and written as UTF-8; the five bytes that code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are written \xHH.
std::string QuoteText(const std::string& text);
// Numbers plain, texts quoted, dates YYYY-MM-DD, times HH:MM:SS, "(empty)".
std::string FormatValue(const Value& value);
// "name = value", or for a list its line count and an aligned table of
// line numbers and quoted cells under the column names.
std::string FormatVariable(const std::string& name, const Value& value);
// A file's lines (each up to and including its LF, or a CR not followed by
// LF), numbered and quoted, under a heading with the path, byte count and
// line count; only the lines from firstLine to lastLine (1-based) are listed.
std::string FormatFileLines(const std::string& path, const std::string& bytes,
                            int32_t firstLine = 1, int32_t lastLine = INT32_MAX);
// "area A: shown, top 1, selection 3, rows 12, cols 40, scroll 1..32767
// page 12 pos 1": lines 1-based, "selection none" for none, "no scroll bar",
// "not shown", and "area A: destroyed" or "area A: no area record".
std::string FormatAreaState(const std::string& name, const AreaState& state);

// Reports the parse errors, runs the statements that parsed (sending Load
// before the first call unless the script has loaded the external, and
// Unload at the end while it is loaded) and writes the transcript to out and
// "line N: message" errors to err. Returns 0, or 1 when any line failed.
// With interactive set, the windows the script leaves open stay open after
// its last statement: the host runs their messages (a person's presses, keys
// and scrolling, reported as they happen) until every one is closed, and
// only then unloads the external.
int RunScript(Host& host, const Script& script, std::ostream& out, std::ostream& err,
              bool interactive = false);

}  // namespace vhost
