#include "entry/report.h"

#include <cstdio>

#include "entry/globals.h"
#include "lists/commands.h"

namespace {
void AppendText(uint8_t* buf, size_t* len, const char* text) {
    while (*text && *len < 255) buf[(*len)++] = static_cast<uint8_t>(*text++);
    buf[*len] = '\0';
}
}  // namespace

int16_t StatusOfResult(Globals* g, int16_t r) {
    switch (r) {
        case kListEmpty:
            g->errorText = "list empty";
            return 10;
        case kLineNotFound:
            g->errorText = "line not found";
            return 10;
        case kOutOfMemory:
            return 8;
        case kListNotLoaded:
            return 11;
        default:
            if (r < 0) {
                g->errorNum = r;
                return 10;
            }
            return r;
    }
}

void AssembleErrorText(Globals* g) {
    uint8_t* buf = g->textBuf;
    size_t len = 0;
    buf[0] = '\0';
    if (g->errorText) AppendText(buf, &len, g->errorText);
    // Numbers are written from the second byte of the second scratch text.
    char* number = reinterpret_cast<char*>(g->textBuf2 + 1);
    if (g->errorNum < 0) {
        AppendText(buf, &len, " - error# ");
        std::snprintf(number, 16, "%d", static_cast<int>(g->errorNum));
        AppendText(buf, &len, number);
    }
    if (g->errorParam != 0) {
        AppendText(buf, &len, " - param#");
        std::snprintf(number, 16, "%d", static_cast<int>(g->errorParam));
        AppendText(buf, &len, number);
    }
}
