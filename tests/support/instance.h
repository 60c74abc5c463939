// An instance record with an empty list table, built without a host, for
// tests of the list store's internal routines.
#pragma once
#include <string>

#include "entry/globals.h"

namespace testinstance {

class Instance {
public:
    Instance();
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    Globals* g() { return g_; }
    // Appends a zero-filled list record with the name and path; returns it
    // (valid until the next append).
    ListRec* AddList(const std::string& name, const std::string& path = "");
    // Gives a list the bytes as its line buffer (plus two spare bytes), with
    // the line layout derived by the caller.
    static void SetLines(ListRec* l, const std::string& bytes, int16_t lineSize, uint8_t terminator);
    static std::string Lines(const ListRec* l);  // lineCount * lineSize bytes

private:
    Globals* g_;
};

// A length-prefixed copy of a text, in a buffer of 258 bytes.
std::string Pascal(const std::string& text);

}  // namespace testinstance
