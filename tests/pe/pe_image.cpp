#include "pe/pe_image.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pe {
namespace {

struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr uint32_t kDirExport = 0;
constexpr uint32_t kDirImport = 1;
constexpr uint32_t kDirResource = 2;
constexpr int kMaxResourceEntries = 4096;  // guards against looping trees

// UTF-16 code units to UTF-8 (no surrogate pairs in the names read here).
std::string Utf8(const std::vector<uint16_t>& units) {
    std::string out;
    for (uint16_t u : units) {
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

}  // namespace

bool Image::Load(const std::string& path, std::string* error, Parts parts) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    file_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    try {
        Parse(parts);
    } catch (const FormatError& e) {
        if (error) *error = path + ": " + e.what();
        return false;
    }
    return true;
}

const Resource* Image::Find(const ResourceId& type, const ResourceId& name,
                            uint16_t language) const {
    for (const Resource& r : resources_) {
        if (r.type == type && r.name == name && (language == 0 || r.language == language)) {
            return &r;
        }
    }
    return nullptr;
}

uint8_t Image::U8(uint32_t offset) const {
    if (offset >= file_.size()) throw FormatError("read past end");
    return file_[offset];
}

uint16_t Image::U16(uint32_t offset) const {
    if (offset > file_.size() || file_.size() - offset < 2) throw FormatError("read past end");
    return static_cast<uint16_t>(file_[offset] | file_[offset + 1] << 8);
}

uint32_t Image::U32(uint32_t offset) const {
    return U16(offset) | static_cast<uint32_t>(U16(offset + 2)) << 16;
}

// File offset of length bytes at rva, all inside one section's file data.
uint32_t Image::Offset(uint32_t rva, uint32_t length) const {
    for (const Section& s : sections_) {
        if (rva >= s.rva && rva - s.rva < s.size) {
            uint32_t within = rva - s.rva;
            if (within > s.fileSize || s.fileSize - within < length) break;
            return s.fileOffset + within;
        }
    }
    throw FormatError("address outside the sections");
}

std::string Image::CString(uint32_t rva) const { return FileString(Offset(rva, 1)); }

std::string Image::FileString(uint32_t offset) const {
    std::string s;
    for (uint32_t off = offset;; ++off) {
        if (off >= file_.size() || s.size() > 4096) throw FormatError("unterminated name");
        if (file_[off] == 0) return s;
        s += static_cast<char>(file_[off]);
    }
}

// A name field of eight bytes, NUL-padded.
std::string Image::ShortName(uint32_t offset) const {
    std::string s;
    for (uint32_t i = 0; i < 8 && U8(offset + i) != 0; ++i) s += static_cast<char>(U8(offset + i));
    return s;
}

// A section name: eight bytes, or "/" and the decimal offset of a longer
// name in the string table.
std::string Image::SectionName(uint32_t offset) const {
    std::string name = ShortName(offset);
    if (name.size() < 2 || name[0] != '/') return name;
    uint32_t at = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') throw FormatError("bad long section name");
        at = at * 10 + static_cast<uint32_t>(name[i] - '0');
    }
    return TableString(at);
}

// The string at offset at of the string table (which counts its own four
// length bytes).
std::string Image::TableString(uint32_t at) const {
    if (stringTable_ == 0) throw FormatError("long name without a string table");
    uint32_t tableSize = U32(stringTable_);
    if (at < 4 || at >= tableSize) throw FormatError("name outside the string table");
    return FileString(stringTable_ + at);
}

// COFF symbols of 18 bytes each, every one followed by its auxiliary records.
void Image::ParseSymbols(uint32_t offset, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t sym = offset + i * 18;
        symbols_.push_back(U32(sym) == 0 ? TableString(U32(sym + 4)) : ShortName(sym));
        i += U8(sym + 17);
    }
}

void Image::Parse(Parts parts) {
    if (U16(0) != 0x5A4D) throw FormatError("no MZ header");
    uint32_t pe = U32(0x3C);
    if (U32(pe) != 0x00004550) throw FormatError("no PE signature");
    uint32_t coff = pe + 4;
    machine_ = U16(coff);
    uint16_t sectionCount = U16(coff + 2);
    uint32_t symbolOffset = U32(coff + 8);
    uint32_t symbolCount = U32(coff + 12);
    if (symbolOffset != 0) {
        if (symbolOffset > file_.size() || (file_.size() - symbolOffset) / 18 < symbolCount) {
            throw FormatError("symbol table past end of file");
        }
        stringTable_ = symbolOffset + symbolCount * 18;
        U32(stringTable_);  // present, at least its length
    }
    uint16_t optionalSize = U16(coff + 16);
    characteristics_ = U16(coff + 18);
    uint32_t opt = coff + 20;
    if (U16(opt) != 0x10B) throw FormatError("not a PE32 image");
    uint32_t dirCount = U32(opt + 92);

    uint32_t sec = opt + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i, sec += 40) {
        Section s;
        s.size = U32(sec + 8);
        s.rva = U32(sec + 12);
        s.fileSize = U32(sec + 16);
        s.fileOffset = U32(sec + 20);
        sectionNames_.push_back(SectionName(sec));
        if (s.fileOffset > file_.size() || file_.size() - s.fileOffset < s.fileSize) {
            throw FormatError("section data past end of file");
        }
        if (s.size < s.fileSize) s.size = s.fileSize;
        sections_.push_back(s);
    }

    auto dir = [&](uint32_t index, uint32_t* rva, uint32_t* size) {
        if (index >= dirCount) return false;
        *rva = U32(opt + 96 + index * 8);
        *size = U32(opt + 96 + index * 8 + 4);
        return *rva != 0 && *size != 0;
    };
    uint32_t rva, size;
    if (symbolOffset != 0) ParseSymbols(symbolOffset, symbolCount);
    if (parts == Parts::kHeaders) return;
    if (dir(kDirExport, &rva, &size)) ParseExports(rva, size);
    if (dir(kDirImport, &rva, &size)) ParseImports(rva, size);
    if (dir(kDirResource, &rva, &size)) ParseResources(rva, size);
}

void Image::ParseExports(uint32_t rva, uint32_t) {
    uint32_t d = Offset(rva, 40);
    uint32_t base = U32(d + 16);
    uint32_t functionCount = U32(d + 20);
    uint32_t nameCount = U32(d + 24);
    uint32_t functions = U32(d + 28);
    uint32_t names = U32(d + 32);
    uint32_t ordinals = U32(d + 36);
    if (functionCount > 65536 || nameCount > functionCount) throw FormatError("bad export counts");

    std::vector<bool> named(functionCount, false);
    for (uint32_t i = 0; i < nameCount; ++i) {
        uint16_t index = U16(Offset(ordinals + i * 2, 2));
        if (index >= functionCount) throw FormatError("export ordinal out of range");
        Export e;
        e.name = CString(U32(Offset(names + i * 4, 4)));
        e.ordinal = base + index;
        e.rva = U32(Offset(functions + index * 4, 4));
        named[index] = true;
        exports_.push_back(e);
    }
    for (uint32_t i = 0; i < functionCount; ++i) {
        uint32_t f = U32(Offset(functions + i * 4, 4));
        if (!named[i] && f != 0) exports_.push_back(Export{"", base + i, f});
    }
}

void Image::ParseImports(uint32_t rva, uint32_t) {
    for (uint32_t d = rva;; d += 20) {
        uint32_t off = Offset(d, 20);
        uint32_t name = U32(off + 12);
        if (name == 0 && U32(off + 16) == 0) return;
        imports_.push_back(CString(name));
        if (imports_.size() > 1024) throw FormatError("too many imports");
    }
}

void Image::ParseResources(uint32_t rva, uint32_t size) {
    if (size < 16) throw FormatError("resource section too small");
    uint32_t root = Offset(rva, size);
    int budget = kMaxResourceEntries;

    auto readId = [&](uint32_t raw) {
        if (!(raw & 0x80000000u)) return ResourceId::Number(static_cast<uint16_t>(raw));
        uint32_t at = (raw & 0x7FFFFFFFu);
        if (at > size - 2) throw FormatError("resource name outside the section");
        uint16_t length = U16(root + at);
        if (length > (size - at - 2) / 2) throw FormatError("resource name too long");
        std::vector<uint16_t> units;
        for (uint16_t i = 0; i < length; ++i) units.push_back(U16(root + at + 2 + i * 2));
        return ResourceId::Named(Utf8(units));
    };
    // Entries of the directory at dirOffset (relative to the resource root).
    auto entries = [&](uint32_t dirOffset, auto&& each) {
        if (dirOffset > size - 16) throw FormatError("resource directory outside the section");
        uint32_t count = U16(root + dirOffset + 12) + U16(root + dirOffset + 14);
        for (uint32_t i = 0; i < count; ++i) {
            if (--budget < 0) throw FormatError("resource tree too large");
            uint32_t e = dirOffset + 16 + i * 8;
            if (e > size - 8) throw FormatError("resource entry outside the section");
            each(U32(root + e), U32(root + e + 4));
        }
    };
    auto subdir = [](uint32_t target) {
        if (!(target & 0x80000000u)) throw FormatError("resource tree too shallow");
        return target & 0x7FFFFFFFu;
    };

    entries(0, [&](uint32_t typeRaw, uint32_t typeTarget) {
        ResourceId type = readId(typeRaw);
        entries(subdir(typeTarget), [&](uint32_t nameRaw, uint32_t nameTarget) {
            ResourceId name = readId(nameRaw);
            entries(subdir(nameTarget), [&](uint32_t langRaw, uint32_t dataEntry) {
                if (dataEntry & 0x80000000u) throw FormatError("resource tree too deep");
                if (dataEntry > size - 16) throw FormatError("resource data entry outside");
                uint32_t dataRva = U32(root + dataEntry);
                uint32_t dataSize = U32(root + dataEntry + 4);
                uint32_t at = Offset(dataRva, dataSize);
                Resource r;
                r.type = type;
                r.name = name;
                r.language = static_cast<uint16_t>(langRaw);
                r.data.assign(file_.begin() + at, file_.begin() + at + dataSize);
                resources_.push_back(std::move(r));
            });
        });
    });
}

}  // namespace pe
