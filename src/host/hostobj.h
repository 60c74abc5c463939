// The host's records that the external reads and writes by byte offset: the
// window object record of object messages and the request record of messages
// 3 and 4. Both belong to the host; only the fields below are touched.
#pragma once
#include <cstdint>
#include <cstring>

namespace hostobj {
enum Offset : uint32_t {
    kObjNumber = 0,      // int16
    kObjWindow = 4,      // window handle
    kObjRect = 8,        // 4 x int16: left, top, right, bottom
    kObjRect2 = 16,      // 4 x int16
    kAreaSlot = 366,     // AreaRec pointer kept by the external
    kDrawWindow = 370,   // window handle
    kDrawDC = 374,       // device context or null
    kFlag378 = 378,      // int16, set to 1 by message 150
    kFlag380 = 380,      // byte, cleared by messages 148 and 156
    kFontName = 382,     // pointer to NUL-terminated face name
    kFontSize = 386,     // int16
    kFontPitch = 388,    // byte
    kFontWeight = 390,   // int16
    kFlag392 = 392,      // byte, set to 1 by message 159
    kTemplateText = 906, // text buffer for the parameter template
};
}  // namespace hostobj

namespace designrec {
enum Offset : uint32_t {
    kWhat = 6,        // int16: 5 parameters, 6 return value
    kZero = 8,        // byte set to 0
    kAnswerLen = 10,  // byte
    kAnswer = 11,     // text, NUL-terminated
    kFlag14 = 14,     // int16 set to 1 by message 4
};
enum What : int16_t { kParameters = 5, kReturnValue = 6 };
}  // namespace designrec

template <typename T>
inline T ReadAt(const void* rec, uint32_t offset) {
    T v;
    std::memcpy(&v, static_cast<const uint8_t*>(rec) + offset, sizeof v);
    return v;
}

template <typename T>
inline void WriteAt(void* rec, uint32_t offset, T v) {
    std::memcpy(static_cast<uint8_t*>(rec) + offset, &v, sizeof v);
}

inline int16_t HostObjNumber(const void* obj) { return ReadAt<int16_t>(obj, hostobj::kObjNumber); }

// The parameter template of a list-area object (message 159).
constexpr const char kAreaTemplate[] = "'lstNm',maxCol,fromCol,toCol,'dataFld','dclkProc','clkProc'";
