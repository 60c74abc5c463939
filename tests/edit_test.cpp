// AddLine, EditLine and RemoveLine: the memory copy and the list file's bytes
// on disk after every command.
#include <gtest/gtest.h>

#include "host.h"
#include "support/files.h"
#include "support/list_host.h"

using vhost::Arg;

namespace {

class EditTest : public listhost::ListHostTest {
protected:

    // Lines: a two-digit RSN and a space, the name from column 4; the file is
    // ordered on the name.
    void LoadLines(const std::string& bytes, int sortCol = 4, int rsnCol = 1) {
        testfiles::WriteBytes(path, bytes);
        ASSERT_EQ(0, host_->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(sortCol),
                                             Arg::Num(rsnCol)})
                         .Status());
    }
    vhost::CallResult Run(const std::string& command, const std::string& text) {
        return host_->Call(command, {Arg::Text("p"), Arg::Text(text)});
    }
    double Num(const std::string& fn) { return host_->Call(fn, {Arg::Text("p")}).value.number; }
    std::string Line(int n) {
        return host_->Call("LineText", {Arg::Text("p"), Arg::Num(n), Arg::Num(1), Arg::Num(100)})
            .value.text;
    }
    std::string Disk() { return testfiles::ReadBytes(path); }

    const std::string path = dir_.File("people.txt");
};

const char kPeople[] =
    "11 ADAMS   \r\n"
    "12 BAKER   \r\n"
    "13 MILLER  \r\n";

TEST_F(EditTest, AddLineInsertsInFileOrderAndWritesTheFile) {
    LoadLines(kPeople);
    auto r = Run("AddLine", "14 JONES");
    EXPECT_EQ(0, r.Status());
    EXPECT_EQ("", r.errorText);
    EXPECT_EQ("11 ADAMS   \r\n12 BAKER   \r\n14 JONES   \r\n13 MILLER  \r\n", Disk());
    EXPECT_EQ(4, Num("LineCount"));
    EXPECT_EQ(3, Num("SelectedLine"));
    EXPECT_EQ(1, Num("IsCurrent"));
    // Greater than every line: appended and selected.
    EXPECT_EQ(0, Run("AddLine", "15 ZED").Status());
    EXPECT_EQ(5, Num("SelectedLine"));
    EXPECT_EQ("15 ZED", Line(5));
    // A longer text is cut to the line's width.
    EXPECT_EQ(0, Run("AddLine", "16 AARONSONSSON").Status());
    EXPECT_EQ("16 AARONSON\r\n", Disk().substr(0, 13));
}

TEST_F(EditTest, AddLineGoesBeforeEqualSortTexts) {
    LoadLines("11 BAKER   \r\n12 BAKER   \r\n");
    EXPECT_EQ(0, Run("AddLine", "13 baker").Status());
    EXPECT_EQ(1, Num("SelectedLine"));
    EXPECT_EQ("13 baker   \r\n11 BAKER   \r\n12 BAKER   \r\n", Disk());
}

TEST_F(EditTest, TheFirstLineOfAnEmptyListFixesItsWidth) {
    LoadLines("", 1, 1);
    EXPECT_EQ(0, Run("AddLine", "1 FIRST").Status());
    EXPECT_EQ("1 FIRST\r\n", Disk());
    EXPECT_EQ(9, Num("LineSize"));
    EXPECT_EQ(1, Num("LineCount"));
    EXPECT_EQ(0, Run("AddLine", "2 SECOND LONGER").Status());
    EXPECT_EQ("1 FIRST\r\n2 SECON\r\n", Disk());
}

TEST_F(EditTest, EditLineKeepsOrderUnlessTheSortTextChanges) {
    LoadLines(kPeople);
    // A change after the name's first 28 bytes would keep the order; here
    // the sort text itself changes, but the line stays in place.
    EXPECT_EQ(0, Run("EditLine", "12 BAKER  X").Status());
    EXPECT_EQ("11 ADAMS   \r\n12 BAKER  X\r\n13 MILLER  \r\n", Disk());
    EXPECT_EQ(2, Num("SelectedLine"));
    // A new sort text moves the line and the selection follows it.
    EXPECT_EQ(0, Run("EditLine", "11 ZORN").Status());
    EXPECT_EQ("12 BAKER  X\r\n13 MILLER  \r\n11 ZORN    \r\n", Disk());
    EXPECT_EQ(3, Num("SelectedLine"));
    EXPECT_EQ(1, Num("IsCurrent"));
}

TEST_F(EditTest, EditAndRemoveMatchTheWholeRsn) {
    LoadLines("123 ADAMS \r\n12  BAKER \r\n");
    EXPECT_EQ(0, Run("RemoveLine", "12").Status());
    EXPECT_EQ("123 ADAMS \r\n", Disk());
    auto r = Run("EditLine", "12 NOBODY");
    EXPECT_EQ(10, r.Status());
    EXPECT_EQ("line not found", r.errorText);
    r = Run("RemoveLine", "1234567890123456789012345678901234 X");
    EXPECT_EQ(10, r.Status());
    EXPECT_EQ("123 ADAMS \r\n", Disk());
}

TEST_F(EditTest, RemoveLineSelectsTheFollowingLine) {
    LoadLines(kPeople);
    EXPECT_EQ(0, Run("RemoveLine", "12").Status());
    EXPECT_EQ("11 ADAMS   \r\n13 MILLER  \r\n", Disk());
    EXPECT_EQ(2, Num("SelectedLine"));
    EXPECT_EQ(0, Run("RemoveLine", "13").Status());
    EXPECT_EQ(1, Num("SelectedLine"));
    EXPECT_EQ(0, Run("RemoveLine", "11").Status());
    EXPECT_EQ("", Disk());
    EXPECT_EQ(0, Num("LineCount"));
    EXPECT_EQ(0, Num("SelectedLine"));
    auto r = Run("RemoveLine", "11");
    EXPECT_EQ("line not found", r.errorText);
    r = Run("EditLine", "11 X");
    EXPECT_EQ(10, r.Status());
    EXPECT_EQ("list empty", r.errorText);
}

TEST_F(EditTest, AnotherProgramsChangeIsReadFirst) {
    LoadLines(kPeople);
    testfiles::WriteBytes(path, "11 ADAMS   \r\n13 MILLER  \r\n14 YOUNG   \r\n");
    testfiles::ShiftWriteTime(path, 10);
    EXPECT_EQ(0, Num("IsCurrent"));
    EXPECT_EQ(0, Run("AddLine", "15 BROWN").Status());
    EXPECT_EQ("11 ADAMS   \r\n15 BROWN   \r\n13 MILLER  \r\n14 YOUNG   \r\n", Disk());
    EXPECT_EQ(4, Num("LineCount"));
    EXPECT_EQ(1, Num("IsCurrent"));
}

TEST_F(EditTest, ASortedCopyComesBackToFileOrder) {
    LoadLines(kPeople);
    ASSERT_EQ(0, host_->Call("SortList", {Arg::Text("p"), Arg::Num(1)}).Status());
    EXPECT_EQ(0, host_->Call("SetSelection", {Arg::Text("p"), Arg::Text("13")}).Status());
    EXPECT_EQ(0, Num("IsCurrent"));
    EXPECT_EQ(0, Run("EditLine", "13 MILLER  Z").Status());
    EXPECT_EQ("11 ADAMS   \r\n12 BAKER   \r\n13 MILLER  \r\n", Disk());
    EXPECT_EQ(4, Num("SortCol"));
    EXPECT_EQ(1, Num("IsCurrent"));
}

// A last line saved without its line end is not a line, and no edit drops
// it: it stays the file's last bytes, after the new or remaining lines.
TEST_F(EditTest, BytesAfterTheLastWholeLineStayLast) {
    LoadLines("1 AAA\r\n2 BBB\r\n3 CCC", 3);
    EXPECT_EQ(2, Num("LineCount"));
    EXPECT_EQ(0, Run("AddLine", "4 DDD").Status());
    EXPECT_EQ("1 AAA\r\n2 BBB\r\n4 DDD\r\n3 CCC", Disk());
    EXPECT_EQ(0, Run("AddLine", "0 999").Status());
    EXPECT_EQ("0 999\r\n1 AAA\r\n2 BBB\r\n4 DDD\r\n3 CCC", Disk());
    EXPECT_EQ(0, Run("RemoveLine", "4").Status());
    EXPECT_EQ(0, Run("EditLine", "2 BXB").Status());
    EXPECT_EQ("0 999\r\n1 AAA\r\n2 BXB\r\n3 CCC", Disk());
    EXPECT_EQ(3, Num("LineCount"));
    EXPECT_EQ(1, Num("IsCurrent"));
    // A copy re-read after another program's change keeps them too.
    testfiles::ShiftWriteTime(path, 10);
    EXPECT_EQ(0, Run("AddLine", "5 EEE").Status());
    EXPECT_EQ("0 999\r\n1 AAA\r\n2 BXB\r\n5 EEE\r\n3 CCC", Disk());
    for (const char* rsn : {"0", "1", "2", "5"}) EXPECT_EQ(0, Run("RemoveLine", rsn).Status());
    EXPECT_EQ("3 CCC", Disk());
    EXPECT_EQ(0, Num("LineCount"));
    EXPECT_EQ(0, Run("AddLine", "6 FFF").Status());
    EXPECT_EQ("6 FFF\r\n3 CCC", Disk());
}

TEST_F(EditTest, ParameterErrorsChangeNothing) {
    LoadLines(kPeople);
    EXPECT_EQ(3, host_->Call("AddLine", {Arg::Text("p")}).Status());
    EXPECT_EQ(3, Run("AddLine", "").Status());
    EXPECT_EQ(kPeople, Disk());
    // A key column beyond the line.
    LoadLines(kPeople, 50, 1);
    EXPECT_EQ(3, Run("AddLine", "20 X").Status());
    LoadLines(kPeople, 4, 40);
    EXPECT_EQ(3, Run("EditLine", "20 X").Status());
    EXPECT_EQ(3, Run("RemoveLine", "20 X").Status());
    EXPECT_EQ(kPeople, Disk());
}

TEST_F(EditTest, WideListsAreRefused) {
    const std::string line = std::string(300, 'x') + "\r\n";
    LoadLines(line + line);
    EXPECT_EQ(3, Run("AddLine", "1 X").Status());
    EXPECT_EQ(line + line, Disk());
    LoadLines("");
    EXPECT_EQ(3, Run("AddLine", std::string(254, 'y')).Status());
    EXPECT_EQ(0, Run("AddLine", std::string(253, 'y')).Status());
    EXPECT_EQ(255, Num("LineSize"));
}

// A command rewrites the file only when the file divides into whole lines of
// the list's width; otherwise 9, and the file and the list stay as they were.
TEST_F(EditTest, AFileNotInTheListsLinesIsNeverRewritten) {
    auto load = [&](const std::string& bytes) {
        testfiles::WriteBytes(path, bytes);
        return host_->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(3), Arg::Num(1)})
            .Status();
    };
    // A load that could not divide the file leaves the list without a width:
    // the text's width must not cut the file.
    EXPECT_EQ(9, load("1 aaaa 2 bbbb"));
    for (const char* command : {"AddLine", "EditLine", "RemoveLine"}) {
        auto r = Run(command, "3 cc");
        EXPECT_EQ(9, r.Status()) << command;
        EXPECT_EQ("", r.errorText);
    }
    EXPECT_EQ("1 aaaa 2 bbbb", Disk());
    EXPECT_EQ(0, Num("LineSize"));
    EXPECT_EQ(0, Num("LineCount"));

    // A file that could not be opened at load: a text of the file's width
    // adds to its lines, one of another width is refused.
    testfiles::Remove(path);
    EXPECT_EQ(8, host_->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(3), Arg::Num(1)})
                     .Status());
    testfiles::WriteBytes(path, "1 aa\r\n2 bb\r\n");
    EXPECT_EQ(9, Run("AddLine", "3 c").Status());
    EXPECT_EQ(0, Run("AddLine", "3 cc").Status());
    EXPECT_EQ("1 aa\r\n2 bb\r\n3 cc\r\n", Disk());

    // Another program's lines of another width.
    LoadLines(kPeople);
    testfiles::WriteBytes(path, "1 AAA\r\n2 BBB\r\n3 CCC\r\n4 DDD\r\n");
    testfiles::ShiftWriteTime(path, 10);
    EXPECT_EQ(9, Run("RemoveLine", "11").Status());
    EXPECT_EQ("1 AAA\r\n2 BBB\r\n3 CCC\r\n4 DDD\r\n", Disk());

    // A short line that the load lets pass (the last whole line's end is not
    // checked there) or reports: an edit would overwrite the next line's bytes.
    const std::string shortLine = "11 ADAMS   \r\n12 BAKER  \r\n13 MILLER  \r\n";
    LoadLines(shortLine);
    EXPECT_EQ(9, Run("EditLine", "12 BAKER X").Status());
    EXPECT_EQ(9, load(shortLine + "14 YOUNG   \r\n"));
    EXPECT_EQ(9, Run("AddLine", "10 ABEL").Status());
    EXPECT_EQ(shortLine + "14 YOUNG   \r\n", Disk());
    EXPECT_EQ(1, Num("IsCurrent"));
}

TEST_F(EditTest, AMissingOrLockedFile) {
    LoadLines(kPeople);
    testfiles::Remove(path);
    EXPECT_EQ(8, Run("AddLine", "14 X").Status());
    EXPECT_EQ(-10, Num("IsCurrent"));
}

}  // namespace
