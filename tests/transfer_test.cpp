// PutListInList: column ranges of every line into a host list, and what the
// host is asked in what order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/list_host.h"

using vhost::Arg;

namespace {

constexpr int32_t kFieldNumberRequest = 29;
constexpr int32_t kListCellRequest = 41;
constexpr int32_t kListOpRequest = 43;

// Width 9 and CR LF; in file order on column 1.
const char kThreeLines[] = "a1 zulu  \r\nb2 alpha \r\nc3 mike  \r\n";

struct Range {
    std::string column;
    double first, last;
};

class TransferTest : public listhost::ListHostTest {
protected:
    vhost::CallResult Put(const std::vector<Range>& ranges, const std::string& list = "L") {
        std::vector<Arg> args = {Arg::Text(list), Arg::Var("hl")};
        for (const Range& r : ranges) {
            args.push_back(Arg::Text(r.column));
            args.push_back(Arg::Num(r.first));
            args.push_back(Arg::Num(r.last));
        }
        return Call("PutListInList", args);
    }
    const vhost::HostList& Hl() { return host().List("hl"); }
    std::vector<std::string> Column(const std::string& column) {
        std::vector<std::string> cells;
        for (int32_t i = 1; i <= Hl().LineCount(); ++i) cells.push_back(Hl().Cell(i, column));
        return cells;
    }
    size_t Requests(int32_t code) {
        const auto& log = host().RequestLog();
        return static_cast<size_t>(std::count(log.begin(), log.end(), code));
    }
};

using Cells = std::vector<std::string>;

TEST_F(TransferTest, OnlyCompleteGroupsOfThreeAddColumns) {
    ASSERT_EQ(0, LoadBytes("L", kThreeLines));
    auto columnsFor = [&](size_t paramCount) {
        std::vector<Arg> args = {Arg::Text("L"), Arg::Var("hl")};
        for (size_t k = 1; args.size() < paramCount; ++k)
            for (Arg a : {Arg::Text("c" + std::to_string(k)), Arg::Num(1), Arg::Num(2)})
                args.push_back(a);
        args.resize(paramCount);
        host().List("hl") = vhost::HostList();
        const int16_t status = Call("PutListInList", args).Status();
        return status == 0 ? static_cast<int>(Hl().columns.size()) : -status;
    };
    EXPECT_EQ(-3, columnsFor(4));
    EXPECT_EQ(1, columnsFor(5));
    EXPECT_EQ(1, columnsFor(7));
    EXPECT_EQ(2, columnsFor(8));
    EXPECT_EQ(6, columnsFor(20));
    EXPECT_EQ(6, columnsFor(23));
}

TEST_F(TransferTest, CellsAreTheRangesAsStoredCutToTheLine) {
    ASSERT_EQ(0, LoadBytes("L", "12 456789\r\n"));
    ASSERT_EQ(0, Put({{"mid", 3, 5}, {"tail", 7, 11}, {"low", -5, 2}, {"beyond", 8, 999},
                      {"reversed", 4, 3}, {"after", 12, 20}})
                     .Status());
    EXPECT_EQ((Cells{"mid", "tail", "low", "beyond", "reversed", "after"}), Hl().columns);
    EXPECT_EQ(" 45", Hl().Cell(1, "mid"));  // leading spaces stay
    EXPECT_EQ("789\r\n", Hl().Cell(1, "tail"));
    EXPECT_EQ("12", Hl().Cell(1, "low"));
    EXPECT_EQ("89\r\n", Hl().Cell(1, "beyond"));
    EXPECT_EQ("", Hl().Cell(1, "reversed"));
    EXPECT_EQ("", Hl().Cell(1, "after"));
}

TEST_F(TransferTest, LinesGoInMemoryOrderAndStayUnchanged) {
    ASSERT_EQ(0, LoadBytes("L", kThreeLines));
    ASSERT_EQ(0, Put({{"rsn", 1, 2}, {"word", 4, 5}}).Status());
    EXPECT_EQ((Cells{"a1", "b2", "c3"}), Column("rsn"));
    ASSERT_EQ(0, Command("SortList", "L", Arg::Num(4)));
    ASSERT_EQ(0, Put({{"line", 1, 11}}).Status());
    EXPECT_EQ((Cells{"b2 alpha \r\n", "c3 mike  \r\n", "a1 zulu  \r\n"}), Column("line"));
}

TEST_F(TransferTest, LastLineEndingTheBufferIsWhole) {
    ASSERT_EQ(0, LoadBytes("L", kThreeLines));
    // RemoveLine leaves a buffer of exactly the remaining lines.
    ASSERT_EQ(0, Command("RemoveLine", "L", Arg::Text("b2")));
    ASSERT_EQ(0, Put({{"end", 4, 11}}).Status());
    EXPECT_EQ((Cells{"zulu  \r\n", "mike  \r\n"}), Column("end"));
}

TEST_F(TransferTest, AsksTheHostInOrder) {
    ASSERT_EQ(0, LoadBytes("L", kThreeLines));
    host().ClearRequestLog();
    ASSERT_EQ(0, Put({{"a", 1, 2}, {"b", 4, 5}}).Status());
    const std::vector<int32_t>& log = host().RequestLog();
    const auto op = std::find(log.begin(), log.end(), kListOpRequest);
    ASSERT_LE(op - log.begin() + 9, static_cast<long>(log.size()));
    std::vector<int32_t> expected = {kListOpRequest, kListOpRequest, kFieldNumberRequest};
    expected.insert(expected.end(), 6, kListCellRequest);  // 3 lines x 2 ranges
    EXPECT_EQ(expected, std::vector<int32_t>(op, op + 9));
    EXPECT_EQ(6u, Requests(kListCellRequest));
}

TEST_F(TransferTest, HostListThatCannotBeConfirmedIsOutOfMemory) {
    vhost::Options small;
    small.maxListLines = 2;
    StartHost(small);
    ASSERT_EQ(0, LoadBytes("L", kThreeLines));
    EXPECT_EQ(8, Put({{"rsn", 1, 2}}).Status());

    vhost::Options noLineNumber;
    noLineNumber.defineLineNumber = false;
    StartHost(noLineNumber);
    ASSERT_EQ(0, LoadBytes("L", kThreeLines));
    ASSERT_EQ(0, LoadBytes("E", ""));
    host().ClearRequestLog();
    EXPECT_EQ(8, Put({{"rsn", 1, 2}}).Status());
    EXPECT_EQ(0u, Requests(kListCellRequest));
    EXPECT_EQ(0, Put({{"rsn", 1, 2}}, "E").Status());  // nothing to confirm
}

TEST_F(TransferTest, ListsWithoutLinesEmptyTheHostList) {
    ASSERT_EQ(0, LoadBytes("E", ""));
    host().List("hl").lines.resize(2);
    EXPECT_EQ(0, Put({{"c", 1, 5}}, "E").Status());
    EXPECT_EQ(0, Hl().LineCount());

    EXPECT_EQ(8, LoadFile("missing"));  // load failed: no line buffer
    host().List("hl").lines.resize(2);
    EXPECT_EQ(11, Put({{"c", 1, 5}}, "missing").Status());
    EXPECT_EQ(0, Hl().LineCount());
    EXPECT_EQ(11, Put({{"c", 1, 5}}, "unknown").Status());
}

}  // namespace
