#include "support/instance.h"

#include <cstring>

#include "lists/registry.h"

namespace testinstance {

Instance::Instance() {
    g_ = static_cast<Globals*>(NewXPPointer(sizeof(Globals)));
    InitGlobalTables(g_);
    g_->listTableHandle = NewXPHandle(2);
    g_->listTable = LockXPHandle(g_->listTableHandle);
    g_->stateTag = kStateReady;
}

Instance::~Instance() {
    const int16_t count = ListTableCount(g_->listTable);
    for (int16_t i = 1; i <= count; ++i) {
        ListRec* l = ListTableRecord(g_->listTable, i);
        if (l->lines) DisposeXPHandle(l->lines);
    }
    UnlockXPHandle(g_->listTableHandle);
    DisposeXPHandle(g_->listTableHandle);
    DisposeXPPointer(g_);
}

ListRec* Instance::AddList(const std::string& name, const std::string& path) {
    int16_t count = ListTableCount(g_->listTable);
    UnlockXPHandle(g_->listTableHandle);
    ResizeXPHandle(&g_->listTableHandle, 2 + (count + 1) * sizeof(ListRec));
    g_->listTable = LockXPHandle(g_->listTableHandle);
    ++count;
    *static_cast<int16_t*>(g_->listTable) = count;
    ListRec* l = ListTableRecord(g_->listTable, count);
    std::memset(l, 0, sizeof *l);
    l->name[0] = static_cast<uint8_t>(name.size());
    std::memcpy(l->name + 1, name.data(), name.size());
    l->path[0] = static_cast<uint8_t>(path.size());
    std::memcpy(l->path + 1, path.data(), path.size());
    l->selLine = 0;
    return l;
}

void Instance::SetLines(ListRec* l, const std::string& bytes, int16_t lineSize, uint8_t terminator) {
    if (l->lines) DisposeXPHandle(l->lines);
    l->lines = NewXPHandle(static_cast<uint32_t>(bytes.size()) + 2);
    uint8_t* p = static_cast<uint8_t*>(LockXPHandle(l->lines));
    std::memcpy(p, bytes.data(), bytes.size());
    p[bytes.size()] = p[bytes.size() + 1] = 0;
    UnlockXPHandle(l->lines);
    l->lineSize = lineSize;
    l->terminator = terminator;
    l->lineCount = lineSize ? static_cast<int32_t>(bytes.size() / lineSize) : 0;
}

std::string Instance::Lines(const ListRec* l) {
    if (!l->lines) return std::string();
    const uint8_t* p = static_cast<const uint8_t*>(LockXPHandle(l->lines));
    std::string s(reinterpret_cast<const char*>(p), static_cast<size_t>(l->lineCount) * l->lineSize);
    UnlockXPHandle(l->lines);
    return s;
}

std::string Pascal(const std::string& text) {
    std::string s(258, '\0');
    s[0] = static_cast<char>(text.size());
    std::memcpy(&s[1], text.data(), text.size());
    return s;
}

}  // namespace testinstance
