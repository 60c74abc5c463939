// The entry point driven by the substitute host: load and unload, function
// calls before and after load, the reporting of results, describe, About.
#include <gtest/gtest.h>

#include <algorithm>

#include "host.h"
#include "support/files.h"

using vhost::Arg;
using vhost::Host;

namespace {

std::unique_ptr<Host> NewHost(const vhost::Options& options = {}) {
    std::string error;
    auto h = Host::Create("", options, &error);
    EXPECT_TRUE(h) << error;
    return h;
}

TEST(EntryTest, LoadRegistersTheInstanceAndUnloadRemovesIt) {
    auto h = NewHost();
    EXPECT_FALSE(h->HasAtom("VANDU"));
    h->Load({Arg::Var("loadStatus")});
    EXPECT_TRUE(h->HasAtom("VANDU"));
    EXPECT_NE(0u, h->Atom("VANDU"));
    EXPECT_EQ(0, h->Variable("loadStatus").number);
    h->Unload();
    EXPECT_FALSE(h->HasAtom("VANDU"));
    // A second unload finds nothing and does nothing.
    h->Unload();
    EXPECT_FALSE(h->HasAtom("VANDU"));
}

TEST(EntryTest, CallsWithoutAnInstance) {
    auto h = NewHost();
    auto r = h->Call("LoadList", {Arg::Text("a"), Arg::Text("x.txt"), Arg::Num(1), Arg::Num(1)});
    EXPECT_EQ(4, r.Status());
    r = h->Call("LineCount", {Arg::Text("a")});
    EXPECT_EQ(-1, r.value.number);
    h->Load();
    h->Unload();
    r = h->Call("About", {});
    EXPECT_EQ(4, r.Status());
    EXPECT_TRUE(h->ShownMessages().empty());
}

TEST(EntryTest, AboutShowsItsMessage) {
    auto h = NewHost();
    h->Load();
    auto r = h->Call("About", {});
    EXPECT_EQ(0, r.Status());
    EXPECT_EQ("", r.errorText);
    ASSERT_EQ(1u, h->ShownMessages().size());
    EXPECT_NE(std::string::npos, h->ShownMessages()[0].find("Vandu 6.0.1"));
    h->Unload();
}

TEST(EntryTest, RoutingOfParametersAndNames) {
    auto h = NewHost();
    h->Load();
    // No parameters: 3, empty error text.
    auto r = h->Call("SortList", {});
    EXPECT_EQ(3, r.Status());
    EXPECT_EQ("", r.errorText);
    // A list that is not loaded: 11 with its name.
    r = h->Call("UnloadList", {Arg::Text("people")});
    EXPECT_EQ(11, r.Status());
    EXPECT_EQ("people", r.errorText);
    // Names are cut to 15 characters by the read.
    r = h->Call("UnloadList", {Arg::Text("abcdefghijklmnopqrst")});
    EXPECT_EQ("abcdefghijklmno", r.errorText);
    // An empty name: 11 without text.
    r = h->Call("UnloadList", {Arg::Text("")});
    EXPECT_EQ(11, r.Status());
    EXPECT_EQ("", r.errorText);
    // Test1 and Test2 need a parameter but no list.
    EXPECT_EQ(0, h->Call("Test1", {Arg::Text("nothing")}).Status());
    EXPECT_EQ(0, h->Call("Test2", {Arg::Text("nothing"), Arg::Text("x")}).Status());
    EXPECT_EQ(3, h->Call("Test1", {}).Status());
    // A value function on a list that is not loaded.
    EXPECT_EQ(-5, h->Call("LineCount", {Arg::Text("people")}).value.number);
    EXPECT_EQ(-3, h->Call("LineCount", {}).value.number);
    // Positions without a command.
    EXPECT_EQ(3, h->CallPosition(1, {}).Status());
    EXPECT_EQ(3, h->CallPosition(21, {}).Status());
    h->Unload();
}

TEST(EntryTest, ErrorTextCarriesTheParameterNumber) {
    testfiles::TempDir dir;
    auto h = NewHost();
    h->Load();
    auto r = h->Call("LoadList", {Arg::Text("a"), Arg::Text(dir.File("x")), Arg::Num(1), Arg::Num(0)});
    EXPECT_EQ(3, r.Status());
    EXPECT_EQ(" - param#4", r.errorText);
    // The next successful call clears it.
    EXPECT_EQ(0, h->Call("About", {}).Status());
    EXPECT_EQ("", h->Variable("EX_EXT_ERROR").text);
    h->Unload();
}

TEST(EntryTest, WithoutTheErrorVariableNothingIsWritten) {
    vhost::Options o;
    o.defineErrorVariable = false;
    auto h = NewHost(o);
    h->Load();
    auto r = h->Call("UnloadList", {Arg::Text("people")});
    EXPECT_EQ(11, r.Status());
    EXPECT_EQ("", r.errorText);
    EXPECT_FALSE(h->HasVariable("EX_EXT_ERROR"));
    h->Unload();
}

TEST(EntryTest, DescribeEveryCataloguePosition) {
    auto h = NewHost();
    h->Load();
    uint8_t len = 0;
    EXPECT_EQ("Parms: (listName)", h->Describe(11, 5, &len));
    EXPECT_EQ(17, len);
    EXPECT_EQ("Return Code :", h->Describe(11, 6, &len));
    EXPECT_EQ(13, len);
    EXPECT_EQ("Parms: (listName,filePath,sortCol,rsnCol[,nLinesFld,lineSzFld])",
              h->Describe(10, 5, &len));
    for (int32_t pos = 1; pos <= 20; ++pos) {
        const std::string entry = h->CatalogueString(pos);
        const std::string text = entry.substr(0, entry.find(':'));
        const std::string params = text.substr(text.find('('));
        EXPECT_EQ("Parms: " + params, h->Describe(pos, 5, &len)) << pos;
        EXPECT_EQ(7 + params.size(), len);
    }
    // Any other request kind gets no answer.
    EXPECT_EQ("", h->Describe(11, 7, &len));
    h->Unload();
}

TEST(EntryTest, ObjectMessagesWithoutAListArea) {
    auto h = NewHost();
    h->Load();
    std::vector<uint8_t> obj(1200, 0);
    for (int32_t m : {102, 106, 107, 108, 153, 158, 999})
        EXPECT_EQ(0, h->Send(m, obj.data()));
    EXPECT_EQ(std::vector<uint8_t>(1200, 0), obj);
    // The messages of a list area give the object an area record, and
    // nothing more while its list is not loaded; the destroy takes it back.
    for (int32_t m : {101, 103, 105, 147, 148, 151, 152, 156}) {
        EXPECT_EQ(0, h->Send(m, obj.data()));
        std::vector<uint8_t> rest = obj;
        std::fill(rest.begin() + 366, rest.begin() + 370, 0);
        EXPECT_EQ(std::vector<uint8_t>(1200, 0), rest) << m;
    }
    EXPECT_NE(0, obj[366] | obj[367] | obj[368] | obj[369]);
    EXPECT_EQ(0, h->Send(149, obj.data()));
    EXPECT_EQ(std::vector<uint8_t>(1200, 0), obj);
    for (int32_t m : {101, 103, 105, 147, 148, 149, 151, 152, 156}) EXPECT_EQ(0, h->Send(m, nullptr));
    EXPECT_EQ(0, h->Send(150, obj.data()));
    EXPECT_EQ(1, obj[378]);
    EXPECT_EQ(0, h->Send(159, obj.data()));
    EXPECT_EQ(1, obj[392]);
    EXPECT_STREQ("'lstNm',maxCol,fromCol,toCol,'dataFld','dclkProc','clkProc'",
                 reinterpret_cast<const char*>(obj.data() + 906));
    EXPECT_EQ(0, h->Send(150, nullptr));
    EXPECT_EQ(0, h->Send(159, nullptr));
    h->Unload();
}

}  // namespace
