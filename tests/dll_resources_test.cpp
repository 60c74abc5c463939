// Checks the built Vandu.dll, the one that ships, without loading it: the
// export table that the host calls through, the modules it needs at run time,
// the resources the host reads (the catalogue string table, "Q7INF" and the
// version block), and that it is stripped and free of test hooks. Built
// natively by the Windows tree; VANDU_DLL_PATH names the DLL and
// VANDU_PROJECT_VERSION is the project's version ("x.y.z").
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "catalogue.h"
#include "pe/pe_image.h"
#include "pe/resource_formats.h"

namespace {

constexpr uint16_t kEnglishUs = 0x0409;

const pe::Image& Dll() {
    static pe::Image image;
    static std::string error;
    static bool loaded = image.Load(VANDU_DLL_PATH, &error);
    if (!loaded) ADD_FAILURE() << error;
    return image;
}

// String number id as the string table holds it; "<absent>" without a block.
std::string CatalogueString(uint16_t id) {
    const pe::Resource* block = Dll().Find(pe::ResourceId::Number(pe::kRtString),
                                           pe::ResourceId::Number(pe::StringBlockId(id)));
    if (!block) return "<absent>";
    EXPECT_EQ(block->language, kEnglishUs) << "string block of " << id;
    std::vector<std::string> strings;
    EXPECT_TRUE(pe::DecodeStringBlock(block->data, &strings)) << "string block of " << id;
    return strings.empty() ? "<absent>" : strings[id % 16];
}

// VANDU_PROJECT_VERSION as the four numbers of a version block.
std::vector<uint16_t> ProjectVersion() {
    std::vector<uint16_t> numbers;
    std::string text = VANDU_PROJECT_VERSION;
    for (size_t at = 0; at <= text.size();) {
        size_t dot = std::min(text.find('.', at), text.size());
        numbers.push_back(static_cast<uint16_t>(std::stoul(text.substr(at, dot - at))));
        at = dot + 1;
    }
    numbers.resize(4, 0);
    return numbers;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

TEST(DllImage, IsA32BitWindowsDll) {
    EXPECT_EQ(Dll().Machine(), pe::kMachineI386);
    EXPECT_TRUE(Dll().Characteristics() & pe::kFileDll);
}

TEST(DllImage, ExportsEntryPointAndWindowProcedureUndecorated) {
    const auto& exports = Dll().Exports();
    ASSERT_EQ(2u, exports.size());
    const struct {
        const char* name;
        uint32_t ordinal;
    } expected[] = {{"Vandu", 1}, {"WndProc", 2}};
    for (const auto& x : expected) {
        auto e = std::find_if(exports.begin(), exports.end(),
                              [&](const pe::Export& e) { return e.name == x.name; });
        ASSERT_NE(e, exports.end()) << "no export named " << x.name;
        EXPECT_EQ(x.ordinal, e->ordinal) << x.name;
        EXPECT_NE(0u, e->rva) << x.name;
    }
    for (const pe::Export& e : exports) {
        EXPECT_EQ(e.name.find('@'), std::string::npos) << "decorated export " << e.name;
    }
}

// The mingw runtime DLLs (libstdc++-6, libgcc_s_dw2-1, libwinpthread-1) are
// all named lib*.dll: the host would fail to load a DLL that needs them.
TEST(DllImage, ImportsOnlySystemLibraries) {
    ASSERT_FALSE(Dll().ImportedModules().empty());
    for (std::string module : Dll().ImportedModules()) {
        std::transform(module.begin(), module.end(), module.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_NE(module.rfind("lib", 0), 0u) << "needs " << module << " beside it";
    }
}

TEST(DllImage, IsStrippedOfSymbolsAndDebugSections) {
    EXPECT_TRUE(Dll().Symbols().empty()) << Dll().Symbols().size() << " symbols";
    ASSERT_FALSE(Dll().SectionNames().empty());
    for (const std::string& name : Dll().SectionNames()) {
        EXPECT_NE(name.rfind(".debug", 0), 0u) << "section " << name;
    }
}

// The stripped DLL names nothing; its symbols, kept apart in Vandu.dll.debug
// by the same build step, show which code the link took: the commands and
// the memory and file layers, but none of the tests' hooks.
TEST(DllImage, CarriesNoTestHooks) {
    pe::Image debug;
    std::string error;
    ASSERT_TRUE(debug.Load(VANDU_DLL_PATH ".debug", &error, pe::Image::Parts::kHeaders)) << error;
    const auto& symbols = debug.Symbols();
    for (const char* linked : {"DoQSort", "NewXPHandle", "WriteFromStart"}) {
        EXPECT_TRUE(std::any_of(symbols.begin(), symbols.end(),
                                [&](const std::string& s) { return Contains(s, linked); }))
            << "no symbol of " << linked;
    }
    // fault::Arm, fault::Hit, ...: the namespace mangles as "5fault".
    for (const char* hook : {"5fault", "LiveXPBlocks", "xpmem", "LastSortReport"}) {
        for (const std::string& s : symbols) EXPECT_FALSE(Contains(s, hook)) << s;
    }
}

TEST(DllResources, StringTableHoldsTheCatalogueInOrder) {
    const char* expected[] = {VANDU_CATALOGUE_ENTRIES};
    static_assert(sizeof(expected) / sizeof(expected[0]) == VANDU_CAT_LAST - VANDU_CAT_FIRST + 1,
                  "one catalogue entry per string number");
    for (uint16_t id = VANDU_CAT_FIRST; id <= VANDU_CAT_LAST; ++id) {
        EXPECT_EQ(CatalogueString(id), expected[id - VANDU_CAT_FIRST]) << "string " << id;
    }
    EXPECT_EQ(CatalogueString(VANDU_CAT_FIRST - 1), "");
    EXPECT_EQ(CatalogueString(VANDU_CAT_LAST + 1), "");
}

// The number after the last colon is the host's function number: 13005999 for
// the external itself, 13005000.. for the commands, 13005020.. from the first
// value function (position 11) on.
TEST(DllResources, CatalogueFunctionNumbersFollowThePositions) {
    for (int position = 1; position <= 20; ++position) {
        std::string text = CatalogueString(static_cast<uint16_t>(13004 + position));
        size_t colon = text.rfind(':');
        ASSERT_NE(colon, std::string::npos) << text;
        long expected = position == 1    ? 13005999
                        : position <= 10 ? 13005000 + (position - 2)
                                         : 13005020 + (position - 11);
        EXPECT_EQ(text.substr(colon + 1), std::to_string(expected)) << "position " << position;
    }
}

TEST(DllResources, InfoResourceHoldsItsFourteenBytes) {
    const pe::Resource* info = Dll().Find(pe::ResourceId::Number(pe::kRtRcData),
                                          pe::ResourceId::Named("Q7INF"));
    ASSERT_NE(info, nullptr) << "no RCDATA resource named Q7INF";
    const std::vector<uint8_t> expected = {0x37, 0x4F, 0x42, 0x4A, 0xCD, 0x32, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(info->data, expected);
}

TEST(DllResources, VersionBlockNamesTheProductAndTheProjectVersion) {
    const pe::Resource* res = Dll().Find(pe::ResourceId::Number(pe::kRtVersion),
                                         pe::ResourceId::Number(1));
    ASSERT_NE(res, nullptr) << "no version resource";
    EXPECT_EQ(res->language, kEnglishUs);
    pe::VersionInfo info;
    ASSERT_TRUE(pe::DecodeVersionInfo(res->data, &info));

    const std::vector<uint16_t> version = ProjectVersion();
    EXPECT_EQ(std::vector<uint16_t>(info.fileVersion, info.fileVersion + 4), version);
    EXPECT_EQ(std::vector<uint16_t>(info.productVersion, info.productVersion + 4), version);
    EXPECT_EQ(info.fileType, 2u) << "VFT_DLL";

    ASSERT_EQ(info.strings.count("040904E4"), 1u);
    const auto& values = info.strings.at("040904E4");
    const std::pair<const char*, const char*> required[] = {
        {"FileDescription", "Extended Area for Omnis"},
        {"FileVersion", VANDU_PROJECT_VERSION},
        {"ProductVersion", VANDU_PROJECT_VERSION},
        {"InternalName", "Vandu"},
        {"ProductName", "Vandu"},
        {"OriginalName", "Vandu.DLL"},
        {"CompanyName", "Vandu developers"},
        {"LegalCopyright", "Copyright 2026 Vandu developers"},
    };
    for (const auto& [key, text] : required) {
        auto it = values.find(key);
        ASSERT_NE(it, values.end()) << "no " << key;
        EXPECT_EQ(it->second, text) << key;
    }

    ASSERT_EQ(info.translations.size(), 1u);
    EXPECT_EQ(info.translations[0].first, 0x0409);
    EXPECT_EQ(info.translations[0].second, 0x04E4);
}

}  // namespace
