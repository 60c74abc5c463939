// An external linked into the program rather than loaded: the native build's
// core, or a test program that links the core to reach its internals. Its
// catalogue comes from the same definitions that the resource script
// compiles into the string table.
#include "catalogue.h"
#include "library.h"

namespace vhost {
namespace {

constexpr const char* kCatalogue[] = {VANDU_CATALOGUE_ENTRIES};
constexpr int32_t kCatalogueSize = static_cast<int32_t>(sizeof kCatalogue / sizeof kCatalogue[0]);

class LinkedLibrary : public Library {
public:
    explicit LinkedLibrary(EntryFn entry) : entry_(entry) {}
    EntryFn Entry() const override { return entry_; }
    std::string CatalogueString(int32_t position) const override {
        if (position < 1 || position > kCatalogueSize) return std::string();
        return kCatalogue[position - 1];
    }

private:
    EntryFn entry_;
};

}  // namespace

std::unique_ptr<Library> LinkedEntryLibrary(EntryFn entry) {
    return std::make_unique<LinkedLibrary>(entry);
}

}  // namespace vhost
