// Where the external comes from: the Windows build loads Vandu.dll, the
// native build uses the core linked into the program.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "host.h"

namespace vhost {

class Library {
public:
    virtual ~Library() = default;
    virtual EntryFn Entry() const = 0;
    // The catalogue string of a position ("" when there is none).
    virtual std::string CatalogueString(int32_t position) const = 0;
};

// Null with *error set when the library cannot be had.
std::unique_ptr<Library> OpenLibrary(const std::string& path, std::string* error);
// An entry point linked into the program.
std::unique_ptr<Library> LinkedEntryLibrary(EntryFn entry);

}  // namespace vhost
