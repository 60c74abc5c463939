// SetSelection and the line search through the entry point, and line images.
#include <gtest/gtest.h>

#include "host.h"
#include "support/files.h"
#include "support/list_host.h"

using vhost::Arg;

namespace {

class SelectionTest : public listhost::ListHostTest {
protected:

    void LoadLines(const std::string& bytes, int sortCol = 1, int rsnCol = 1) {
        const std::string path = dir_.File("l.txt");
        testfiles::WriteBytes(path, bytes);
        ASSERT_EQ(0, host_->Call("LoadList", {Arg::Text("l"), Arg::Text(path), Arg::Num(sortCol),
                                             Arg::Num(rsnCol)})
                         .Status());
    }
    int16_t Select(std::vector<Arg> args) {
        args.insert(args.begin(), Arg::Text("l"));
        return host_->Call("SetSelection", args).Status();
    }
    double Selected() { return host_->Call("SelectedLine", {Arg::Text("l")}).value.number; }

};

TEST_F(SelectionTest, RsnSearchNeedsTheWholeKey) {
    LoadLines("123 third \r\n12 second \r\n1 first   \r\n");
    EXPECT_EQ(0, Select({Arg::Text("12")}));
    EXPECT_EQ(2, Selected());
    EXPECT_EQ(0, Select({Arg::Text("123")}));
    EXPECT_EQ(1, Selected());
    EXPECT_EQ(0, Select({Arg::Text("1 ")}));  // already ends with its space
    EXPECT_EQ(3, Selected());
    // Not found: the last line.
    EXPECT_EQ(0, Select({Arg::Text("124")}));
    EXPECT_EQ(3, Selected());
}

TEST_F(SelectionTest, OrderedSearchFindsTheInsertionPoint) {
    LoadLines("ADAMS \r\nBAKER \r\nMILLER\r\nSMITH \r\n");
    EXPECT_EQ(0, Select({Arg::Text("m"), Arg::Num(1)}));
    EXPECT_EQ(3, Selected());
    EXPECT_EQ(0, Select({Arg::Text("c"), Arg::Num(1)}));
    EXPECT_EQ(3, Selected());
    EXPECT_EQ(0, Select({Arg::Text("baker"), Arg::Num(1), Arg::Num(0)}));
    EXPECT_EQ(2, Selected());
    // Greater than every line: the last line.
    EXPECT_EQ(0, Select({Arg::Text("ZZ"), Arg::Num(1)}));
    EXPECT_EQ(4, Selected());
    // Exact flag: only equal windows.
    EXPECT_EQ(0, Select({Arg::Text("mill"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(3, Selected());
    EXPECT_EQ(0, Select({Arg::Text("c"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(4, Selected());
}

TEST_F(SelectionTest, CaseAndAccentsFold) {
    LoadLines("Smith \r\njones \r\n\x80tien \r\n");
    EXPECT_EQ(0, Select({Arg::Text("SMITH"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(1, Selected());
    EXPECT_EQ(0, Select({Arg::Text("JONES"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(2, Selected());
    EXPECT_EQ(0, Select({Arg::Text("etien"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(3, Selected());
}

TEST_F(SelectionTest, TheSelectedLineWinsAmongDuplicates) {
    LoadLines("AA 1\r\nBB 2\r\nAA 3\r\n");
    EXPECT_EQ(0, Select({Arg::Text("AA"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(1, Selected());
    EXPECT_EQ(0, Select({Arg::Text("3"), Arg::Num(4)}));
    EXPECT_EQ(3, Selected());
    EXPECT_EQ(0, Select({Arg::Text("AA"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ(3, Selected());
}

TEST_F(SelectionTest, WindowsPastTheLineEnd) {
    LoadLines("abc\r\nabd\r\n");
    // Start column beyond the line: nothing matches, the last line is chosen.
    EXPECT_EQ(0, Select({Arg::Text("a"), Arg::Num(32767), Arg::Num(1)}));
    EXPECT_EQ(2, Selected());
    EXPECT_EQ(0, Select({Arg::Text("a"), Arg::Num(6), Arg::Num(0)}));
    EXPECT_EQ(2, Selected());
    // A text longer than the rest of the line compares over what is there,
    // terminator included, and equal counts as smaller.
    EXPECT_EQ(0, Select({Arg::Text("c\r\nxyz"), Arg::Num(3), Arg::Num(0)}));
    EXPECT_EQ(2, Selected());
    EXPECT_EQ(0, Select({Arg::Text("d"), Arg::Num(3), Arg::Num(0)}));
    EXPECT_EQ(2, Selected());
}

TEST_F(SelectionTest, ParameterErrors) {
    LoadLines("ab\r\n");
    EXPECT_EQ(3, Select({}));
    EXPECT_EQ(3, Select({Arg::Text("")}));
    EXPECT_EQ(3, Select({Arg::Text("a"), Arg::Num(0)}));
    EXPECT_EQ(3, Select({Arg::Text("a"), Arg::Num(-1), Arg::Num(1)}));
    // No room for the space that ends an RSN.
    EXPECT_EQ(3, Select({Arg::Text(std::string(255, 'x'))}));
    EXPECT_EQ(0, Select({Arg::Text(std::string(254, 'x') + " ")}));
    EXPECT_EQ(0, Select({Arg::Text(std::string(254, 'x'))}));
}

TEST_F(SelectionTest, ListsWithoutLines) {
    LoadLines("");
    EXPECT_EQ(0, Select({Arg::Text("x")}));
    EXPECT_EQ(0, Selected());
    const std::string missing = dir_.File("missing.txt");
    ASSERT_EQ(8, host_->Call("LoadList", {Arg::Text("l"), Arg::Text(missing), Arg::Num(1), Arg::Num(1)})
                     .Status());
    EXPECT_EQ(0, Select({Arg::Text("x"), Arg::Num(1)}));
    EXPECT_EQ(0, Selected());
}

}  // namespace
