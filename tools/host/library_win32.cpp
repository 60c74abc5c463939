// Windows build: loads Vandu.dll and reads the catalogue from its string table.
#include <windows.h>

#include <cstdlib>

#include "catalogue.h"
#include "library.h"

namespace vhost {
namespace {

std::string SystemMessage(DWORD code) {
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
    return n > 0 ? std::string(text, n) : "error " + std::to_string(code);
}

// Vandu.dll named by VANDU_DLL, else the one beside the program.
std::string DefaultPath() {
    if (const char* env = std::getenv("VANDU_DLL")) {
        if (*env) return env;
    }
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return "Vandu.dll";
    std::string path(self, n);
    const size_t slash = path.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "Vandu.dll";
}

class LoadedLibrary : public Library {
public:
    LoadedLibrary(HMODULE module, EntryFn entry) : module_(module), entry_(entry) {}
    ~LoadedLibrary() override { FreeLibrary(module_); }
    EntryFn Entry() const override { return entry_; }
    std::string CatalogueString(int32_t position) const override {
        char text[256];
        const int n = LoadStringA(module_, static_cast<UINT>(VANDU_CAT_FIRST - 1 + position), text,
                                  sizeof text);
        return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
    }

private:
    HMODULE module_;
    EntryFn entry_;
};

}  // namespace

std::unique_ptr<Library> OpenLibrary(const std::string& path, std::string* error) {
    const std::string file = path.empty() ? DefaultPath() : path;
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) {
        if (error) *error = "cannot load " + file + ": " + SystemMessage(GetLastError());
        return nullptr;
    }
    auto entry = reinterpret_cast<EntryFn>(reinterpret_cast<void*>(GetProcAddress(module, "Vandu")));
    if (!entry) {
        if (error) *error = file + " does not export Vandu";
        FreeLibrary(module);
        return nullptr;
    }
    return std::make_unique<LoadedLibrary>(module, entry);
}

}  // namespace vhost
