// SortList through the entry point: the column as the host passes it, and the
// order and the selection as the value functions report them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/list_host.h"

using vhost::Arg;

namespace {

// Width 9 and CR LF; RSNs at column 1, names at column 4.
const char kFruit[] = "11 pear  \r\n12 fig   \r\n13 apple \r\n";

class SortCommandTest : public listhost::ListHostTest {
protected:
    int16_t Sort(const Arg& column) { return Command("SortList", "L", column); }
    double Number(const std::string& function) {
        return Call(function, {Arg::Text("L")}).value.number;
    }
    // Every line's text, in the list's present order.
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        const int count = static_cast<int>(Number("LineCount"));
        for (int line = 1; line <= count; ++line)
            texts.push_back(
                Call("LineText", {Arg::Text("L"), Arg::Num(line), Arg::Num(1), Arg::Num(9)}).value.ToString());
        return texts;
    }
};

TEST_F(SortCommandTest, SortsAndTheSelectionFollowsItsLine) {
    ASSERT_EQ(0, LoadBytes("L", kFruit));
    ASSERT_EQ(0, Command("SetSelection", "L", Arg::Text("11")));
    EXPECT_EQ(0, Sort(Arg::Num(4)));
    EXPECT_EQ((std::vector<std::string>{"13 apple", "12 fig", "11 pear"}), Texts());
    EXPECT_EQ(3, Number("SelectedLine"));
    EXPECT_EQ(4, Number("SortCol"));
    EXPECT_EQ(0, Number("IsCurrent"));  // no longer in file order
    // Back to the file's column: file order again.
    EXPECT_EQ(0, Sort(Arg::Num(1)));
    EXPECT_EQ((std::vector<std::string>{"11 pear", "12 fig", "13 apple"}), Texts());
    EXPECT_EQ(1, Number("SelectedLine"));
}

TEST_F(SortCommandTest, TheColumnIsTakenAsA16BitInteger) {
    ASSERT_EQ(0, LoadBytes("L", kFruit));
    EXPECT_EQ(0, Sort(Arg::Num(4.9)));  // truncated toward zero
    EXPECT_EQ(4, Number("SortCol"));
    EXPECT_EQ(0, Sort(Arg::Num(65537)));  // 16 bits: column 1
    EXPECT_EQ(1, Number("SortCol"));
    EXPECT_EQ(3, Sort(Arg::Num(65536)));  // 16 bits: 0
    EXPECT_EQ(3, Sort(Arg::Num(-0.5)));
}

TEST_F(SortCommandTest, RefusedColumnsLeaveTheListAsItWas) {
    ASSERT_EQ(0, LoadBytes("L", kFruit));
    const vhost::CallResult missing = Call("SortList", {Arg::Text("L")});
    EXPECT_EQ(3, missing.Status());
    EXPECT_EQ("", missing.errorText);  // no parameter number
    EXPECT_EQ(3, Sort(Arg::Num(0)));
    EXPECT_EQ(3, Sort(Arg::Num(-2)));
    EXPECT_EQ(3, Sort(Arg::Num(13)));  // beyond the line's 11 bytes and one
    EXPECT_EQ(1, Number("SortCol"));
    EXPECT_EQ(1, Number("IsCurrent"));
    EXPECT_EQ((std::vector<std::string>{"11 pear", "12 fig", "13 apple"}), Texts());
    // The column after the terminator sorts on empty keys.
    EXPECT_EQ(0, Sort(Arg::Num(12)));
    EXPECT_EQ(12, Number("SortCol"));
}

TEST_F(SortCommandTest, TheColumnAlreadySortedOnIsNotSortedAgain) {
    // Said to be ordered on column 4, which the file is not.
    ASSERT_EQ(0, LoadBytes("L", kFruit, 4));
    ASSERT_EQ(0, Command("SetSelection", "L", Arg::Text("13")));
    EXPECT_EQ(0, Sort(Arg::Num(4)));
    EXPECT_EQ((std::vector<std::string>{"11 pear", "12 fig", "13 apple"}), Texts());
    EXPECT_EQ(3, Number("SelectedLine"));
    EXPECT_EQ(1, Number("IsCurrent"));
}

TEST_F(SortCommandTest, AListWithoutLinesKeepsItsColumn) {
    ASSERT_EQ(0, LoadBytes("L", ""));
    EXPECT_EQ(0, Sort(Arg::Num(7)));
    EXPECT_EQ(1, Number("SortCol"));
}

}  // namespace
