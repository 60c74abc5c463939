#include "host/callbacks.h"

#include <cmath>
#include <cstring>

#include "host/atoms.h"

namespace {
inline int32_t Ptr(const void* p) { return static_cast<int32_t>(reinterpret_cast<uintptr_t>(p)); }
}  // namespace

int32_t DoubleToLong(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return 2147483647;
    if (d <= -2147483648.0) return static_cast<int32_t>(-2147483647 - 1);
    return static_cast<int32_t>(d);  // truncates toward zero
}

void sthandle(const char* source, uint8_t* target) {
    int32_t i = 0;
    for (; i < 255; ++i) {
        target[i + 1] = static_cast<uint8_t>(source[i]);
        if (source[i] == '\0') break;
    }
    target[0] = static_cast<uint8_t>(i > 254 ? 254 : i);
}

char* shortToStr(int16_t value, char* target) {
    int32_t v = value;
    int32_t n = 0;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
        target[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (negative) target[n++] = '-';
    for (int32_t i = 0, j = n - 1; i < j; ++i, --j) {
        const char t = target[i];
        target[i] = target[j];
        target[j] = t;
    }
    target[n] = '\0';
    return target;
}

int16_t GetFldRef(const char* name, HostCallback cb) {
    uint8_t text[256];
    sthandle(name, text);
    return static_cast<int16_t>(cb(kReqGetFldRef, Ptr(text)) & 0xFFFF);
}

int16_t GetFldInt(int16_t ref, HostCallback cb) {
    return static_cast<int16_t>(GetFldLong(ref, cb));
}

int32_t GetFldLong(int16_t ref, HostCallback cb) {
    double d = 0;
    cb(kReqGetFldNum, static_cast<int32_t>(ref), Ptr(&d));
    return DoubleToLong(d);
}

void SetFldVal(int16_t ref, int16_t type, const void* value, HostCallback cb) {
    cb(kReqSetFldVal, static_cast<int32_t>(ref), static_cast<int32_t>(type), Ptr(value));
}

void SetFldInt(int16_t ref, int16_t value, HostCallback cb) {
    double d = value;
    cb(kReqSetFldNum, static_cast<int32_t>(ref), Ptr(&d));
}

void SetFldLong(int16_t ref, int32_t value, HostCallback cb) {
    double d = value;
    cb(kReqSetFldNum, static_cast<int32_t>(ref), Ptr(&d));
}

void PushSequence(const char* text, HostCallback cb) {
    uint8_t t[256];
    sthandle(text, t);
    cb(kReqPushSequence, Ptr(t));
}

uint8_t ShowMessage(int16_t kind, uint8_t flag1, uint8_t flag2, uint8_t flag3,
                    const char* text, HostCallback cb) {
    uint8_t t[256];
    sthandle(text, t);
    return static_cast<uint8_t>(cb(kReqShowMessage, static_cast<int32_t>(kind),
                                   static_cast<int32_t>(flag1), static_cast<int32_t>(flag2),
                                   static_cast<int32_t>(flag3), Ptr(t)) &
                                0xFF);
}

void GetFldVal(int16_t ref, int16_t type, int32_t maxLen, void* buf, HostCallback cb) {
    cb(kReqGetFldVal, static_cast<int32_t>(ref), static_cast<int32_t>(type), maxLen, Ptr(buf));
}

void SetLstVal(int16_t listRef, int32_t line, int16_t columnRef, int16_t type,
               const void* value, HostCallback cb) {
    cb(kReqSetLstVal, static_cast<int32_t>(listRef), line, static_cast<int32_t>(columnRef),
       static_cast<int32_t>(type), Ptr(value));
}

uint8_t DoListOp(int16_t op, int16_t listRef, int32_t value, HostCallback cb) {
    return static_cast<uint8_t>(
        cb(kReqDoListOp, static_cast<int32_t>(op), static_cast<int32_t>(listRef), value) & 0xFF);
}

int16_t ExtensionInfo(AtomBlock* block, HostCallback cb) {
    cb(kReqExtensionInfo, Ptr(block));
    return block->result;
}

int32_t GetPackageId(HostCallback cb) {
    int32_t id = 0;
    cb(kReqGetPackageId, Ptr(&id));
    return id;
}

void* GetDesignPtr(HostCallback cb) {
    void* p = nullptr;
    cb(kReqGetDesignPtr, Ptr(&p));
    return p;
}

void GetFuncParm(int16_t ref, int16_t type, int32_t maxLen, void* buf, HostCallback cb) {
    cb(kReqGetFuncParm, static_cast<int32_t>(ref), static_cast<int32_t>(type), maxLen, Ptr(buf));
}

int16_t GetFuncParmInt2(int16_t ref, HostCallback cb) {
    double d = 0;
    GetFuncParm(ref, kTypeNumber, 8, &d, cb);
    return static_cast<int16_t>(DoubleToLong(d));
}

void GetNamedNVal(int16_t selector, const char* name, double* value, HostCallback cb) {
    uint8_t t[256];
    sthandle(name, t);
    cb(kReqGetNamedNVal, static_cast<int32_t>(selector), Ptr(t), Ptr(value));
}

int32_t GetExtKey(void* keyRec, void* textBuf, HostCallback cb) {
    return cb(kReqGetExtKey, Ptr(keyRec), Ptr(textBuf));
}
