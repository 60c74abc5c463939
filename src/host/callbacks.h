// Wrappers through which every request to the host goes. Each converts its
// arguments to the host's form, calls the host callback with a fixed request
// code and converts the answer back.
#pragma once
#include <cstdint>

#include "platform/abi.h"


// The host's callback: cdecl, a request code and that request's arguments,
// each passed as a 32-bit value.
typedef int32_t(VANDU_CDECL* HostCallback)(int32_t request, ...);

// Request codes.
enum HostRequest : int32_t {
    kReqGetFldRef = 28,
    kReqGetFldNum = 29,
    kReqSetFldVal = 30,
    kReqSetFldNum = 31,
    kReqPushSequence = 35,
    kReqShowMessage = 36,
    kReqGetFldVal = 38,
    kReqSetLstVal = 41,
    kReqDoListOp = 43,
    kReqExtensionInfo = 47,
    kReqGetPackageId = 48,
    kReqGetDesignPtr = 49,
    kReqGetFuncParm = 51,
    kReqGetNamedNVal = 58,
    kReqGetExtKey = 64,
};

// Fixed host references.
enum HostRef : int16_t {
    kRefStatus = 200,
    kRefValue = 202,
    kRefParamCount = 210,
    kRefParam1 = 211,  // parameter n is kRefParam1 + n - 1
};

// Value types of GetFldVal, SetFldVal and GetFuncParm.
enum ValueType : int16_t {
    kTypeNumber = 0,
    kTypePascalText = 1,
    kTypeCText = 2,
    kTypeDate = 5,
    kTypeTime = 6,
};

// Host list operations of DoListOp.
enum ListOp : int16_t { kListOpClear = 0, kListOpSetLineCount = 6 };

struct AtomBlock;

int16_t GetFldRef(const char* name, HostCallback cb);
int16_t GetFldInt(int16_t ref, HostCallback cb);
int32_t GetFldLong(int16_t ref, HostCallback cb);
void SetFldVal(int16_t ref, int16_t type, const void* value, HostCallback cb);
void SetFldInt(int16_t ref, int16_t value, HostCallback cb);
void SetFldLong(int16_t ref, int32_t value, HostCallback cb);
void PushSequence(const char* text, HostCallback cb);
uint8_t ShowMessage(int16_t kind, uint8_t flag1, uint8_t flag2, uint8_t flag3,
                    const char* text, HostCallback cb);
void GetFldVal(int16_t ref, int16_t type, int32_t maxLen, void* buf, HostCallback cb);
void SetLstVal(int16_t listRef, int32_t line, int16_t columnRef, int16_t type,
               const void* value, HostCallback cb);
uint8_t DoListOp(int16_t op, int16_t listRef, int32_t value, HostCallback cb);
int16_t ExtensionInfo(AtomBlock* block, HostCallback cb);
int32_t GetPackageId(HostCallback cb);
void* GetDesignPtr(HostCallback cb);
void GetFuncParm(int16_t ref, int16_t type, int32_t maxLen, void* buf, HostCallback cb);
int16_t GetFuncParmInt2(int16_t ref, HostCallback cb);
void GetNamedNVal(int16_t selector, const char* name, double* value, HostCallback cb);
int32_t GetExtKey(void* keyRec, void* textBuf, HostCallback cb);

// Length-prefixed copy of a NUL-terminated text into a 256-byte target:
// at most 254 characters are counted in the length byte.
void sthandle(const char* source, uint8_t* target);
// Decimal text of a 16-bit value, NUL-terminated; returns target.
char* shortToStr(int16_t value, char* target);

// Truncation toward zero of a host number, saturated to the integer range so
// that no host value (NaN, infinity, 1e300) is undefined behaviour.
int32_t DoubleToLong(double d);
