#include "entry/params.h"

#include <cstring>

#include "entry/globals.h"
#include "entry/routing.h"

namespace {
int16_t Ref(int32_t n) { return static_cast<int16_t>(kRefParam1 + n - 1); }
}  // namespace

int16_t ParamInt(const Globals* g, int32_t n) {
    return static_cast<int16_t>(ParamLong(g, n));
}

int32_t ParamLong(const Globals* g, int32_t n) {
    if (IsValueFunction(g->funcId)) {
        double d = 0;
        GetFuncParm(Ref(n), kTypeNumber, 8, &d, g->callback);
        return DoubleToLong(d);
    }
    return GetFldLong(Ref(n), g->callback);
}

int32_t ParamText(const Globals* g, int32_t n, int32_t maxLen, uint8_t* buf) {
    if (maxLen > 255) maxLen = 255;
    // Whatever the host writes, at most 256 bytes: the length byte and 255
    // characters. The buffer is cleared first so a silent host yields "".
    uint8_t tmp[258];
    std::memset(tmp, 0, sizeof tmp);
    if (IsValueFunction(g->funcId))
        GetFuncParm(Ref(n), kTypePascalText, maxLen, tmp, g->callback);
    else
        GetFldVal(Ref(n), kTypePascalText, maxLen, tmp, g->callback);
    int32_t len = tmp[0];
    if (len > maxLen) len = maxLen;
    buf[0] = static_cast<uint8_t>(len);
    std::memcpy(buf + 1, tmp + 1, static_cast<size_t>(len));
    buf[len + 1] = '\0';
    return len;
}
