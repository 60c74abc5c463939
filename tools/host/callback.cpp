#include "callback.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "host/atoms.h"
#include "state.h"
#include "values.h"

static_assert(sizeof(void*) == 4, "the host protocol passes pointers as 32-bit values");

namespace vhost {
namespace {

thread_local HostState* gCurrent = nullptr;

// Longest NUL-terminated text taken from the external.
constexpr size_t kMaxCText = 65536;

template <typename T>
T* Ptr(int32_t word) {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(static_cast<uint32_t>(word)));
}

std::string PascalText(const uint8_t* p) {
    if (!p) return std::string();
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

// A value the external hands over in one of the value types; false when the
// type is unknown or the pointer null.
bool ReadValue(int16_t type, const void* p, Value* out) {
    if (!p) return false;
    const auto* bytes = static_cast<const uint8_t*>(p);
    uint16_t parts[3];
    switch (type) {
        case kTypeNumber: {
            double d;
            std::memcpy(&d, p, sizeof d);
            *out = Value::Num(d);
            return true;
        }
        case kTypePascalText:
            *out = Value::Text(PascalText(bytes));
            return true;
        case kTypeCText: {
            const char* s = static_cast<const char*>(p);
            *out = Value::Text(std::string(s, strnlen(s, kMaxCText)));
            return true;
        }
        case kTypeDate:
            std::memcpy(parts, p, sizeof parts);
            *out = Value::Date(parts[0], parts[1], parts[2]);
            return true;
        case kTypeTime:
            std::memcpy(parts, p, sizeof parts);
            *out = Value::Time(parts[0], parts[1], parts[2]);
            return true;
        default:
            return false;
    }
}

// Puts a value into the external's buffer in the form asked for, never more
// than maxLen allows: type 1 a length byte and at most min(maxLen, 255)
// characters, type 2 at most maxLen - 1 characters and a NUL, fixed-size
// forms only when maxLen holds them.
void WriteValue(const Value& v, int16_t type, int32_t maxLen, void* buf) {
    if (!buf) return;
    auto* bytes = static_cast<uint8_t*>(buf);
    switch (type) {
        case kTypeNumber: {
            if (maxLen < static_cast<int32_t>(sizeof(double))) return;
            const double d = NumberOf(v);
            std::memcpy(buf, &d, sizeof d);
            return;
        }
        case kTypePascalText: {
            const std::string s = v.ToString();
            const size_t n = std::min<size_t>({s.size(), static_cast<size_t>(std::max(maxLen, 0)), 255});
            bytes[0] = static_cast<uint8_t>(n);
            std::memcpy(bytes + 1, s.data(), n);
            return;
        }
        case kTypeCText: {
            if (maxLen < 1) return;
            const std::string s = v.ToString();
            const size_t n = std::min(s.size(), static_cast<size_t>(maxLen - 1));
            std::memcpy(bytes, s.data(), n);
            bytes[n] = 0;
            return;
        }
        case kTypeDate:
        case kTypeTime: {
            uint16_t parts[3] = {0, 0, 0};
            if (maxLen < static_cast<int32_t>(sizeof parts)) return;
            if ((type == kTypeDate && v.kind == Value::kDate) ||
                (type == kTypeTime && v.kind == Value::kTime))
                std::copy(v.parts, v.parts + 3, parts);
            std::memcpy(buf, parts, sizeof parts);
            return;
        }
        default:
            return;
    }
}

int32_t AnswerFieldValue(HostState& s, int16_t ref, int16_t type, int32_t maxLen, void* buf) {
    Value scratch;
    const Value* v = s.Read(ref, &scratch);
    WriteValue(v ? *v : Value(), type, maxLen, buf);
    return 0;
}

int32_t AnswerAtom(HostState& s, AtomBlock* b) {
    if (!b) return 0;
    const size_t len = std::min<size_t>(b->nameLen, sizeof b->name - 1);
    const std::string name(b->name, len);
    int16_t result = 0;
    switch (b->operation) {
        case kAtomGet: {
            const auto it = s.atoms.find(name);
            if (it != s.atoms.end()) {
                b->value = it->second;
                result = 1;
            }
            break;
        }
        case kAtomSet:
            s.atoms[name] = b->value;
            result = 1;
            break;
        case kAtomDelete:
            result = s.atoms.erase(name) != 0 ? 1 : 0;
            break;
        default:
            break;
    }
    b->result = result;
    return result;
}

int32_t AnswerListCell(HostState& s, int16_t listRef, int32_t line, int16_t columnRef,
                       int16_t type, const void* p) {
    HostList* list = s.ListAt(listRef);
    const std::string column = s.TextAt(columnRef);
    Value v;
    if (!list || column.empty() || line < 1 || line > list->LineCount() || !ReadValue(type, p, &v))
        return 0;
    if (std::find(list->columns.begin(), list->columns.end(), column) == list->columns.end())
        list->columns.push_back(column);
    list->lines[static_cast<size_t>(line - 1)][column] = v.ToString();
    return 1;
}

int32_t AnswerListOp(HostState& s, int16_t op, int16_t listRef, int32_t value) {
    if (op != kListOpClear && op != kListOpSetLineCount) return 0;
    HostList* list = s.ListAt(listRef);
    if (!list) return 0;
    if (op == kListOpClear)
        list->lines.clear();
    else
        s.SetLineCount(*list, value);
    return 1;
}

int32_t AnswerKey(HostState& s, uint8_t* keyRec) {
    if (s.keys.empty() || !keyRec) return 1;
    std::memcpy(keyRec, s.keys.front().data(), 2);
    s.keys.pop_front();
    return 0;
}

int32_t Answer(HostState& s, int32_t request, va_list ap) {
    // Every argument arrives as a 32-bit word; 16-bit ones are sign-extended.
    auto word = [&ap]() { return va_arg(ap, int32_t); };
    auto half = [&word]() { return static_cast<int16_t>(word()); };
    switch (request) {
        case kReqGetFldRef:
            return s.ReferenceOf(PascalText(Ptr<uint8_t>(word()))) & 0xFFFF;
        case kReqGetFldNum: {
            const int16_t ref = half();
            double* out = Ptr<double>(word());
            Value scratch;
            const Value* v = s.Read(ref, &scratch);
            if (out) *out = v ? NumberOf(*v) : 0;
            return 0;
        }
        case kReqSetFldVal: {
            const int16_t ref = half();
            const int16_t type = half();
            const void* p = Ptr<void>(word());
            Value v;
            Value* target = s.Target(ref);
            if (target && ReadValue(type, p, &v)) *target = v;
            return 0;
        }
        case kReqSetFldNum: {
            const int16_t ref = half();
            const double* p = Ptr<double>(word());
            Value* target = s.Target(ref);
            if (target && p) *target = Value::Num(*p);
            return 0;
        }
        case kReqPushSequence: {
            const std::string name = PascalText(Ptr<uint8_t>(word()));
            HostState::Keep(s.pushedProcedures, name, HostState::kTextRecordLimit);
            ++s.proceduresPushed;
            if (s.runProcedure) {
                // The procedure's calls have parameters of their own; the
                // message that pushed it answers with its own again after.
                const std::vector<Arg> params = s.params;
                const int32_t packageId = s.packageId;
                const auto run = s.runProcedure;
                run(name);
                s.params = params;
                s.packageId = packageId;
            }
            return 0;
        }
        case kReqShowMessage: {
            for (int i = 0; i < 4; ++i) word();  // kind and three flags
            HostState::Keep(s.shownMessages, PascalText(Ptr<uint8_t>(word())),
                            HostState::kTextRecordLimit);
            return 1;
        }
        case kReqGetFldVal:
        case kReqGetFuncParm: {
            const int16_t ref = half();
            const int16_t type = half();
            const int32_t maxLen = word();
            return AnswerFieldValue(s, ref, type, maxLen, Ptr<void>(word()));
        }
        case kReqSetLstVal: {
            const int16_t listRef = half();
            const int32_t line = word();
            const int16_t columnRef = half();
            const int16_t type = half();
            return AnswerListCell(s, listRef, line, columnRef, type, Ptr<void>(word()));
        }
        case kReqDoListOp: {
            const int16_t op = half();
            const int16_t listRef = half();
            return AnswerListOp(s, op, listRef, word());
        }
        case kReqExtensionInfo:
            return AnswerAtom(s, Ptr<AtomBlock>(word()));
        case kReqGetPackageId:
            if (int32_t* out = Ptr<int32_t>(word())) *out = s.packageId;
            return 0;
        case kReqGetDesignPtr:
            if (void** out = Ptr<void*>(word())) *out = s.design.data();
            return 0;
        case kReqGetNamedNVal: {
            word();  // selector: every notation is answered the same way
            const std::string notation = PascalText(Ptr<uint8_t>(word()));
            double* out = Ptr<double>(word());
            HostState::Keep(s.namedValueRequests, notation, HostState::kTextRecordLimit);
            const auto it = s.namedValues.find(notation);
            if (it != s.namedValues.end() && out) *out = it->second;
            return 0;
        }
        case kReqGetExtKey:
            return AnswerKey(s, Ptr<uint8_t>(word()));
        default:
            return 0;
    }
}

}  // namespace

int32_t VANDU_CDECL HostEntryCallback(int32_t request, ...) {
    HostState* s = gCurrent;
    if (!s) return 0;
    int32_t result = 0;
    va_list ap;
    va_start(ap, request);
    try {
        HostState::Keep(s->requestLog, request, HostState::kRequestLogLimit);
        result = Answer(*s, request, ap);
    } catch (...) {
        // Nothing may unwind through the external's frames.
        result = 0;
    }
    va_end(ap);
    return result;
}

CurrentHostScope::CurrentHostScope(HostState* state) : previous_(gCurrent) { gCurrent = state; }

CurrentHostScope::~CurrentHostScope() { gCurrent = previous_; }

}  // namespace vhost
