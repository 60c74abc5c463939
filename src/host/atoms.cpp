#include "host/atoms.h"

#include <cstring>

#include "host/hostobj.h"

namespace {
// Builds the block; names longer than the block holds are cut (the only
// name in use has five characters).
void PrepareBlock(AtomBlock* b, const char* name, int16_t op, uint32_t value) {
    std::memset(b, 0, sizeof *b);
    size_t n = std::strlen(name);
    if (n > sizeof b->name - 1) n = sizeof b->name - 1;
    if (n > 255) n = 255;
    b->nameLen = static_cast<uint8_t>(n);
    std::memcpy(b->name, name, n);
    b->name[n] = '\0';
    b->operation = op;
    b->value = value;
}
}  // namespace

int16_t SetOmAtom(const char* name, void* value, HostCallback cb) {
    AtomBlock b;
    PrepareBlock(&b, name, kAtomSet, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value)));
    return ExtensionInfo(&b, cb);
}

void* GetOmAtom(const char* name, HostCallback cb) {
    AtomBlock b;
    PrepareBlock(&b, name, kAtomGet, 0);
    if (ExtensionInfo(&b, cb) != 1) return nullptr;
    return reinterpret_cast<void*>(static_cast<uintptr_t>(b.value));
}

int16_t DeleteOmAtom(const char* name, HostCallback cb) {
    AtomBlock b;
    PrepareBlock(&b, name, kAtomDelete, 0);
    return ExtensionInfo(&b, cb);
}

double GetNAttribute(const void* hostObj, const char* attributeName, HostCallback cb) {
    char text[256];
    char number[8];
    std::strcpy(text, "$cwind.$objs.");
    std::strcat(text, shortToStr(HostObjNumber(hostObj), number));
    std::strcat(text, ".");
    std::strncat(text, attributeName, sizeof text - std::strlen(text) - 1);
    double value = 0;
    GetNamedNVal(0, text, &value, cb);
    return value;
}
