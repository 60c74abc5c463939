// Reader for the parts of a 32-bit PE image (DLL or EXE) that the DLL check
// looks at: the file header, the section names, the COFF symbol table, the
// export table, the imported module names and the resource tree. Every read is bounds-checked; a malformed image makes
// Load fail with a message instead of reading outside the file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pe {

struct Export {
    std::string name;  // empty for an export by ordinal only
    uint32_t ordinal = 0;
    uint32_t rva = 0;
};

// A resource type or name: a number, or a text when name is not empty.
struct ResourceId {
    uint16_t id = 0;
    std::string name;
    static ResourceId Number(uint16_t n) { return ResourceId{n, {}}; }
    static ResourceId Named(const std::string& s) { return ResourceId{0, s}; }
    bool operator==(const ResourceId& o) const { return id == o.id && name == o.name; }
};

struct Resource {
    ResourceId type;
    ResourceId name;
    uint16_t language = 0;
    std::vector<uint8_t> data;
};

// Well-known resource types.
constexpr uint16_t kRtString = 6;
constexpr uint16_t kRtRcData = 10;
constexpr uint16_t kRtVersion = 16;

constexpr uint16_t kMachineI386 = 0x14C;
constexpr uint16_t kFileDll = 0x2000;

class Image {
public:
    // kHeaders reads the file header, the section names and the symbols alone:
    // enough for a debug file, whose sections other than the debug ones hold
    // no data.
    enum class Parts { kAll, kHeaders };
    bool Load(const std::string& path, std::string* error, Parts parts = Parts::kAll);

    uint16_t Machine() const { return machine_; }
    uint16_t Characteristics() const { return characteristics_; }
    const std::vector<Export>& Exports() const { return exports_; }
    const std::vector<std::string>& ImportedModules() const { return imports_; }
    const std::vector<Resource>& Resources() const { return resources_; }
    // Section names, long ones ("/4") read from the COFF string table.
    const std::vector<std::string>& SectionNames() const { return sectionNames_; }
    // Names in the COFF symbol table; empty when the image has none.
    const std::vector<std::string>& Symbols() const { return symbols_; }

    // The resource of that type and name (any language when language is 0);
    // null when absent.
    const Resource* Find(const ResourceId& type, const ResourceId& name,
                         uint16_t language = 0) const;

private:
    std::vector<uint8_t> file_;
    uint16_t machine_ = 0;
    uint16_t characteristics_ = 0;
    std::vector<Export> exports_;
    std::vector<std::string> imports_;
    std::vector<Resource> resources_;
    std::vector<std::string> sectionNames_;
    std::vector<std::string> symbols_;
    uint32_t stringTable_ = 0;  // file offset of the COFF string table; 0: none

    struct Section {
        uint32_t rva, size, fileOffset, fileSize;
    };
    std::vector<Section> sections_;

    void Parse(Parts parts);
    uint32_t Offset(uint32_t rva, uint32_t length) const;
    uint8_t U8(uint32_t offset) const;
    uint16_t U16(uint32_t offset) const;
    uint32_t U32(uint32_t offset) const;
    std::string CString(uint32_t rva) const;
    std::string FileString(uint32_t offset) const;
    std::string ShortName(uint32_t offset) const;
    std::string SectionName(uint32_t offset) const;
    std::string TableString(uint32_t at) const;
    void ParseSymbols(uint32_t offset, uint32_t count);
    void ParseExports(uint32_t rva, uint32_t size);
    void ParseImports(uint32_t rva, uint32_t size);
    void ParseResources(uint32_t rva, uint32_t size);
};

}  // namespace pe
