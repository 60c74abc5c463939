// Native build: the core is linked in.
#include "entry/entry.h"
#include "library.h"

namespace vhost {
namespace {

// The linked entry point seen through EntryFn, without calling it through a
// pointer of another type.
int32_t VANDU_STDCALL LinkedEntry(int32_t message, void* objRef, uint32_t p1, uint32_t p2,
                                  uint32_t reserved, void* callback) {
    return Vandu(message, static_cast<void**>(objRef), p1, p2, reserved,
                 reinterpret_cast<HostCallback>(callback));
}

}  // namespace

std::unique_ptr<Library> OpenLibrary(const std::string&, std::string*) {
    return LinkedEntryLibrary(&LinkedEntry);
}

}  // namespace vhost
