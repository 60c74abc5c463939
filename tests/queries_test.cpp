// The value functions: line count and size, sort column, file date and time,
// selected line, line text, and whether the memory copy is the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "support/list_host.h"

using vhost::Arg;
using vhost::Value;

namespace {

// Width 9 and CR LF; RSNs at column 1.
const char kPeople[] = "123 smith\r\n124 jones\r\n99  brown\r\n";

class QueriesTest : public listhost::ListHostTest {
protected:
    // The value as it prints, "#n" for a number n (the form errors come in).
    std::string Query(const std::string& function, const std::vector<Arg>& args) {
        const Value v = Call(function, args).value;
        if (v.kind == Value::kEmpty) return "(unset)";
        return v.kind == Value::kNumber ? "#" + v.ToString() : v.ToString();
    }
    std::string Query(const std::string& function, const std::string& list = "L") {
        return Query(function, {Arg::Text(list)});
    }
    std::string Text(double lineNum, double startCol, double endCol,
                     const std::string& list = "L", const std::vector<Arg>& more = {}) {
        std::vector<Arg> args = {Arg::Text(list), Arg::Num(lineNum), Arg::Num(startCol),
                                 Arg::Num(endCol)};
        args.insert(args.end(), more.begin(), more.end());
        return Query("LineText", args);
    }
    std::string TextOfRsn(const std::string& rsn) { return Text(-1, 1, 9, "L", {Arg::Text(rsn)}); }
    // The file's last write in local time, as date and time values print.
    std::string FileStamp(const char* format) {
        struct stat st;
        EXPECT_EQ(0, stat(PathOf("L").c_str(), &st));
        const std::time_t t = st.st_mtime;
        char buf[32];
        std::strftime(buf, sizeof buf, format, std::localtime(&t));
        return buf;
    }
};

TEST_F(QueriesTest, CountSizeSortColumnAndSelection) {
    ASSERT_EQ(0, LoadBytes("L", kPeople));
    EXPECT_EQ("#3", Query("LineCount"));
    EXPECT_EQ("#11", Query("LineSize"));
    EXPECT_EQ("#1", Query("SortCol"));
    EXPECT_EQ("#1", Query("SelectedLine"));
    ASSERT_EQ(0, Command("SortList", "L", Arg::Num(5)));
    EXPECT_EQ("#5", Query("SortCol"));
    ASSERT_EQ(0, Command("SetSelection", "L", Arg::Text("124")));
    EXPECT_EQ("#2", Query("SelectedLine"));
}

TEST_F(QueriesTest, ListsWithoutLinesHaveNoSelectedLine) {
    ASSERT_EQ(0, LoadBytes("E", ""));
    EXPECT_EQ("#0", Query("LineCount", "E"));
    EXPECT_EQ("#0", Query("SelectedLine", "E"));
    EXPECT_EQ(8, LoadFile("missing"));
    EXPECT_EQ("#0", Query("SelectedLine", "missing"));
    ASSERT_EQ(0, LoadBytes("L", "1 only\r\n"));
    ASSERT_EQ(0, Command("RemoveLine", "L", Arg::Text("1")));
    EXPECT_EQ("#0", Query("SelectedLine"));
}

TEST_F(QueriesTest, EveryQueryOfAnUnknownListIsMinusFive) {
    for (const char* f :
         {"LineCount", "LineSize", "SortCol", "ModDate", "ModTime", "SelectedLine", "IsCurrent"})
        EXPECT_EQ("#-5", Query(f, "nope")) << f;
    EXPECT_EQ("#-5", Text(1, 1, 5, "nope"));
}

TEST_F(QueriesTest, ModDateAndTimeAreTheRecordedWriteInLocalTime) {
    testfiles::WriteBytes(PathOf("L"), kPeople);
    testfiles::ShiftWriteTime(PathOf("L"), -400 * 86400);
    ASSERT_EQ(0, LoadFile("L"));
    EXPECT_EQ(FileStamp("%Y-%m-%d"), Query("ModDate"));
    EXPECT_EQ(FileStamp("%H:%M:%S"), Query("ModTime"));
    // Another program's change is not what the list recorded...
    const std::string date = Query("ModDate");
    testfiles::ShiftWriteTime(PathOf("L"), 2 * 86400 + 7200);
    EXPECT_EQ(date, Query("ModDate"));
    // ...but its own write-back is.
    ASSERT_EQ(0, Command("AddLine", "L", Arg::Text("200 green")));
    EXPECT_EQ(FileStamp("%Y-%m-%d"), Query("ModDate"));
    EXPECT_EQ(FileStamp("%H:%M:%S"), Query("ModTime"));
}

TEST_F(QueriesTest, IsCurrentComparesWithTheFile) {
    ASSERT_EQ(0, LoadBytes("L", kPeople));
    EXPECT_EQ("#1", Query("IsCurrent"));
    ASSERT_EQ(0, Command("SortList", "L", Arg::Num(5)));
    EXPECT_EQ("#0", Query("IsCurrent"));
    ASSERT_EQ(0, Command("AddLine", "L", Arg::Text("200 green")));
    EXPECT_EQ("#1", Query("IsCurrent"));
    testfiles::ShiftWriteTime(PathOf("L"), 60);
    EXPECT_EQ("#0", Query("IsCurrent"));
    testfiles::Remove(PathOf("L"));
    EXPECT_EQ("#-10", Query("IsCurrent"));
}

TEST_F(QueriesTest, LineTextChoosesTheLine) {
    ASSERT_EQ(0, LoadBytes("L", kPeople));
    EXPECT_EQ("smith", Text(1, 5, 9));
    EXPECT_EQ("jones", Text(2.9, 5, 9));  // truncated toward zero
    ASSERT_EQ(0, Command("SetSelection", "L", Arg::Text("99")));
    EXPECT_EQ("brown", Text(0, 5, 9));
    EXPECT_EQ("brown", Text(-0.5, 5, 9));
    EXPECT_EQ("124 jones", TextOfRsn("124"));
    EXPECT_EQ("124 jones", TextOfRsn("124 "));
    EXPECT_EQ("#-3", TextOfRsn("12"));  // an RSN is matched whole
    EXPECT_EQ("#-3", TextOfRsn(""));
    EXPECT_EQ("#-3", Text(-1, 1, 9));    // no RSN passed
    EXPECT_EQ("#-3", Text(4, 1, 9));     // beyond the last line
    ASSERT_EQ(0, LoadBytes("R", "x 7 seven\r\nx 8 eight\r\n", 1, 3));
    EXPECT_EQ("eight", Text(-2, 5, 9, "R", {Arg::Text("8")}));
}

TEST_F(QueriesTest, LineTextOfListsWithoutLines) {
    ASSERT_EQ(0, LoadBytes("E", ""));  // selection on line 1, which it lacks
    EXPECT_EQ("#-3", Text(0, 1, 5, "E"));
    EXPECT_EQ("#-3", Text(1, 1, 5, "E"));
    EXPECT_EQ(8, LoadFile("missing"));  // no line buffer: 0 whatever is passed
    EXPECT_EQ("#0", Text(1, 1, 5, "missing"));
    EXPECT_EQ("#0", Query("LineText", {Arg::Text("missing")}));
    ASSERT_EQ(0, LoadBytes("L", "1 only\r\n"));
    ASSERT_EQ(0, Command("RemoveLine", "L", Arg::Text("1")));
    EXPECT_EQ("#-3", Text(0, 1, 5));  // no line selected
}

TEST_F(QueriesTest, LineTextColumns) {
    ASSERT_EQ(0, LoadBytes("L", kPeople));
    EXPECT_EQ("#-3", Query("LineText", {Arg::Text("L"), Arg::Num(1), Arg::Num(1)}));
    EXPECT_EQ("99  brown", Text(3, 1, 999));  // cut before the terminator
    EXPECT_EQ("th", Text(1, 8, 10));
    EXPECT_EQ("#-3", Text(1, 9, 10));         // the last text column cannot start
    EXPECT_EQ("#-3", Text(1, 0, 5));
    EXPECT_EQ("#-3", Text(1, 1, 0));
    EXPECT_EQ("", Text(1, 6, 3));
    ASSERT_EQ(0, LoadBytes("C", "ab cd\rxy   \r"));  // CR: width 5
    EXPECT_EQ("b cd", Text(1, 2, 99, "C"));
    EXPECT_EQ("", Text(2, 3, 5, "C"));              // spaces only
    ASSERT_EQ(0, LoadBytes("F", "  a b \n"));         // LF: width 6
    EXPECT_EQ("a b", Text(1, 1, 6, "F"));
}

TEST_F(QueriesTest, LineTextIsAtMost255Characters) {
    const std::string line = std::string(100, 'a') + std::string(200, 'b');
    ASSERT_EQ(0, LoadBytes("W", line + "\r\n"));
    EXPECT_EQ(line.substr(0, 255), Text(1, 1, 400, "W"));
}

TEST_F(QueriesTest, LineTextOfALastLineThatEndsTheBuffer) {
    ASSERT_EQ(0, LoadBytes("L", kPeople));
    ASSERT_EQ(0, Command("RemoveLine", "L", Arg::Text("124")));
    EXPECT_EQ("99  brown", Text(2, 1, 999));
}

}  // namespace
