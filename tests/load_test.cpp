// LoadList and UnloadList through the entry point.
#include <gtest/gtest.h>

#include "host.h"
#include "support/files.h"
#include "support/list_host.h"

using vhost::Arg;

namespace {

class LoadTest : public listhost::ListHostTest {
protected:

    std::string File(const std::string& bytes, const std::string& name = "l.txt") {
        const std::string path = dir_.File(name);
        testfiles::WriteBytes(path, bytes);
        return path;
    }
    vhost::CallResult LoadFile(const std::string& list, const std::string& path, int sortCol = 1,
                               int rsnCol = 1) {
        return host_->Call("LoadList", {Arg::Text(list), Arg::Text(path), Arg::Num(sortCol),
                                       Arg::Num(rsnCol), Arg::Var("n"), Arg::Var("sz")});
    }
    double Value(const std::string& fn, const std::string& list) {
        return host_->Call(fn, {Arg::Text(list)}).value.number;
    }

};

TEST_F(LoadTest, TerminatorsFixTheLineSize) {
    EXPECT_EQ(0, LoadFile("a", File("abcdef\r\nghijkl\r\nmnopqr\r\n")).Status());
    EXPECT_EQ(3, host_->Variable("n").number);
    EXPECT_EQ(8, host_->Variable("sz").number);
    EXPECT_EQ(0, LoadFile("b", File("abcdef\nghijkl\nmnopqr\n", "b.txt")).Status());
    EXPECT_EQ(7, host_->Variable("sz").number);
    EXPECT_EQ(0, LoadFile("c", File("abcdef\rghijkl\rmnopqr\r", "c.txt")).Status());
    EXPECT_EQ(7, host_->Variable("sz").number);
    EXPECT_EQ(3, Value("LineCount", "c"));
    // CR as the file's last byte is a CR terminator.
    EXPECT_EQ(0, LoadFile("d", File("abc\r", "d.txt")).Status());
    EXPECT_EQ(4, host_->Variable("sz").number);
    EXPECT_EQ(1, Value("LineCount", "d"));
}

TEST_F(LoadTest, PartialLinesAndShortLines) {
    // An extra byte after three lines is ignored.
    EXPECT_EQ(0, LoadFile("a", File("abcdef\r\nghijkl\r\nmnopqr\r\nX")).Status());
    EXPECT_EQ(3, host_->Variable("n").number);
    // A last line without its terminator is not a line.
    EXPECT_EQ(0, LoadFile("a", File("abcdef\r\nghijkl\r\nmnopqr")).Status());
    EXPECT_EQ(2, host_->Variable("n").number);
    // The second of four lines one byte short: 9, three lines as divided.
    auto r = LoadFile("a", File("abcdef\r\nghijk\r\nmnopqr\r\nstuvwx\r\n"));
    EXPECT_EQ(9, r.Status());
    EXPECT_EQ(3, Value("LineCount", "a"));
    EXPECT_EQ(8, Value("LineSize", "a"));
    // The same fault in the second of three lines is not seen.
    EXPECT_EQ(0, LoadFile("a", File("abcdef\r\nghijk\r\nmnopqr\r\n")).Status());
    EXPECT_EQ(2, host_->Variable("n").number);
}

TEST_F(LoadTest, MalformedFilesLoadWithoutLines) {
    EXPECT_EQ(9, LoadFile("a", File("no terminator at all")).Status());
    EXPECT_EQ(0, Value("LineCount", "a"));
    EXPECT_EQ(0, Value("LineSize", "a"));
    EXPECT_EQ(9, LoadFile("a", File(std::string("ab\0cd\r\n", 7))).Status());
    EXPECT_EQ(0, Value("LineCount", "a"));
    EXPECT_EQ(9, LoadFile("a", File(std::string(1, '\0'))).Status());
    EXPECT_EQ(9, LoadFile("a", File("x")).Status());
    // A first line too long for the 16-bit line size.
    EXPECT_EQ(9, LoadFile("a", File(std::string(40000, 'x') + "\r\n")).Status());
    EXPECT_EQ(0, Value("LineSize", "a"));
    // The longest line that fits loads.
    EXPECT_EQ(0, LoadFile("a", File(std::string(32765, 'x') + "\r\n")).Status());
    EXPECT_EQ(32767, host_->Variable("sz").number);
}

TEST_F(LoadTest, EmptyFileIsAListWithoutLines) {
    EXPECT_EQ(0, LoadFile("a", File("")).Status());
    EXPECT_EQ(0, host_->Variable("n").number);
    EXPECT_EQ(0, host_->Variable("sz").number);
    EXPECT_EQ(1, Value("IsCurrent", "a"));
}

TEST_F(LoadTest, OptionalFieldsAreWrittenOnlyWhenPassed) {
    const std::string path = File("ab\r\ncd\r\n");
    host_->Variable("n") = vhost::Value::Num(-1);
    host_->Variable("sz") = vhost::Value::Num(-1);
    EXPECT_EQ(0, host_->Call("LoadList", {Arg::Text("a"), Arg::Text(path), Arg::Num(1), Arg::Num(1)})
                     .Status());
    EXPECT_EQ(-1, host_->Variable("n").number);
    EXPECT_EQ(0, host_->Call("LoadList", {Arg::Text("a"), Arg::Text(path), Arg::Num(1), Arg::Num(1),
                                         Arg::Var("n")})
                     .Status());
    EXPECT_EQ(2, host_->Variable("n").number);
    EXPECT_EQ(-1, host_->Variable("sz").number);
}

TEST_F(LoadTest, ParameterErrorsCreateNothing) {
    const std::string path = File("ab\r\n");
    auto r = host_->Call("LoadList", {Arg::Text("a"), Arg::Text(path), Arg::Num(1)});
    EXPECT_EQ(3, r.Status());
    EXPECT_EQ(" - param#4", r.errorText);
    r = host_->Call("LoadList", {Arg::Text("a"), Arg::Text(""), Arg::Num(1), Arg::Num(1)});
    EXPECT_EQ(" - param#2", r.errorText);
    r = host_->Call("LoadList", {Arg::Text("a"), Arg::Text(path), Arg::Num(0), Arg::Num(1)});
    EXPECT_EQ(" - param#3", r.errorText);
    r = host_->Call("LoadList", {Arg::Text("a"), Arg::Text(path), Arg::Num(-5), Arg::Num(1)});
    EXPECT_EQ(" - param#3", r.errorText);
    r = host_->Call("LoadList", {Arg::Text("a"), Arg::Text(path), Arg::Num(1), Arg::Num(0)});
    EXPECT_EQ(" - param#4", r.errorText);
    EXPECT_EQ(-5, Value("LineCount", "a"));
}

TEST_F(LoadTest, MissingFileKeepsTheListWithoutLines) {
    const std::string good = File("ab\r\ncd\r\n");
    ASSERT_EQ(0, LoadFile("first", good).Status());
    ASSERT_EQ(0, LoadFile("a", good).Status());
    EXPECT_EQ(8, LoadFile("a", dir_.File("missing.txt")).Status());
    EXPECT_EQ(0, Value("LineCount", "a"));
    EXPECT_EQ(0, Value("LineSize", "a"));
    EXPECT_EQ(-10, Value("IsCurrent", "a"));
    // A later good load fills it again in place.
    EXPECT_EQ(0, LoadFile("a", good).Status());
    EXPECT_EQ(2, Value("LineCount", "a"));
    EXPECT_EQ(0, host_->Call("UnloadList", {Arg::Text("first")}).Status());
    EXPECT_EQ(2, Value("LineCount", "a"));
}

TEST_F(LoadTest, NamesAreExactAndUnloadClosesTheGap) {
    const std::string p1 = File("aa\r\n", "1.txt");
    const std::string p2 = File("bb\r\nbb\r\n", "2.txt");
    const std::string p3 = File("cc\r\ncc\r\ncc\r\n", "3.txt");
    ASSERT_EQ(0, LoadFile("one", p1).Status());
    ASSERT_EQ(0, LoadFile("One", p2).Status());
    ASSERT_EQ(0, LoadFile("three", p3).Status());
    ASSERT_EQ(0, LoadFile("one", p1).Status());  // reload: still one list
    EXPECT_EQ(1, Value("LineCount", "one"));
    EXPECT_EQ(2, Value("LineCount", "One"));
    EXPECT_EQ(0, host_->Call("UnloadList", {Arg::Text("One")}).Status());
    EXPECT_EQ(-5, Value("LineCount", "One"));
    EXPECT_EQ(1, Value("LineCount", "one"));
    EXPECT_EQ(3, Value("LineCount", "three"));
    EXPECT_EQ(0, host_->Call("UnloadList", {Arg::Text("three")}).Status());
    EXPECT_EQ(0, host_->Call("UnloadList", {Arg::Text("one")}).Status());
    EXPECT_EQ(11, host_->Call("UnloadList", {Arg::Text("one")}).Status());
}

TEST_F(LoadTest, TheFileIsClosedAfterLoading) {
    const std::string path = File("ab\r\n");
    ASSERT_EQ(0, LoadFile("a", path).Status());
    // The load holds the file only while it reads: a second load works.
    EXPECT_EQ(0, LoadFile("b", path).Status());
}

}  // namespace
