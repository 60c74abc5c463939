// Presses, keys, type-ahead and Ctrl+C in a list area, through the
// substitute host: the selection, the data field and the procedures run.
// Natively over the recording window layer, under Wine with real input.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "entry/globals.h"
#include "host.h"
#include "support/list_host.h"
#include "support/window_proc.h"

using vhost::Arg;

namespace {

// Sorted on the name (column 7), keyed by the number.
constexpr char kPeople[] =
    "00001 ADAMS      Leeds \r\n"
    "00002 BAKER      York  \r\n"
    "00003 BROWN      Hull  \r\n"
    "00004 BRYANT     Ely   \r\n"
    "00005 CLARK      Bath  \r\n"
    "00006 DAVIS      Wells \r\n"
    "00007 EVANS      Derby \r\n"
    "00008 FRANK      Ripon \r\n";

class AreaInput : public listhost::ListHostTest {
protected:
    void SetUp() override {
        ListHostTest::SetUp();
        ASSERT_EQ(0, LoadBytes("people", kPeople, 7, 1));
        window_ = host().OpenWindow(420, 320);
    }
    // Columns 7..17 (the name) go to the data field "pick".
    int32_t Place(bool withClick, int32_t bottom = 210) {
        std::vector<Arg> params = {Arg::Text("people"), Arg::Num(30), Arg::Num(7), Arg::Num(17),
                                   Arg::Text("pick"), Arg::Text("dclk")};
        if (withClick) params.push_back(Arg::Text("clk"));
        const int32_t area = host().PlaceArea(window_, 10, 10, 330, bottom, params);
        host().PaintWindow(window_);
        return area;
    }
    int32_t Selection(int32_t area) { return host().StateOfArea(area).selection; }
    std::string Pick() { return host().Variable("pick").ToString(); }
    size_t Procedures() const { return host_->PushedProcedures().size(); }
    std::string LastProcedure() const { return host_->PushedProcedures().back(); }
    std::string Clipboard() {
        std::string text;
        return host().ClipboardText(&text) ? text : std::string();
    }
    uint32_t TypeAheadTimeout() {
        // The instance lives in this process under either build.
        return reinterpret_cast<const Globals*>(static_cast<uintptr_t>(host().Atom("VANDU")))
            ->typeAheadTimeout;
    }

    int32_t window_ = 0;
};

TEST_F(AreaInput, PressesSelectAndASecondOnTheSameRowChooses) {
    const int32_t area = Place(false);
    ASSERT_TRUE(host().PressRow(area, 2));
    EXPECT_EQ(2, Selection(area));
    ASSERT_TRUE(host().PressRow(area, 4));  // another row: selects again
    EXPECT_EQ(4, Selection(area));
    EXPECT_EQ(0u, Procedures());
    EXPECT_EQ(4, Call("SelectedLine", {Arg::Text("people")}).value.number - 1);

    host().PressRow(area, 4);  // the same row within the double-click time
    EXPECT_EQ(1u, Procedures());
    EXPECT_EQ("dclk", LastProcedure());
    EXPECT_EQ("CLARK", Pick());  // columns 7..17 without their spaces
    host().PressRow(area, 4);  // the choice reset the time: a plain press
    EXPECT_EQ(1u, Procedures());

    host().PressRow(area, 9);  // below the last line: nothing
    EXPECT_EQ(4, Selection(area));
    EXPECT_EQ(1u, Procedures());
}

TEST_F(AreaInput, KeysMoveTheSelectionAndChoose) {
    const int32_t area = Place(false, 70);  // a few rows: paging shows
    const int32_t rows = host().StateOfArea(area).rows;
    ASSERT_GE(rows, 2);
    ASSERT_LT(rows, 8);
    host().SendKey(area, 18);
    EXPECT_EQ(1, Selection(area));
    host().SendKey(area, 17);
    host().SendKey(area, 17);  // at the first line: nothing
    EXPECT_EQ(0, Selection(area));
    host().SendKey(area, 26);
    EXPECT_EQ(7, Selection(area));
    EXPECT_EQ(8 - rows, host().StateOfArea(area).topLine);
    host().SendKey(area, 25);
    EXPECT_EQ(0, Selection(area));
    EXPECT_EQ(0, host().StateOfArea(area).topLine);
    host().SendKey(area, 21);  // page up at the top: nothing
    EXPECT_EQ(0, Selection(area));
    host().SendKey(area, 18, true);  // Shift makes a line move a page move
    EXPECT_EQ(rows, host().StateOfArea(area).topLine);
    host().SendKey(area, 16);
    host().SendKey(area, 0xDA);  // folds to itself: no key of the table
    EXPECT_EQ(0u, Procedures());
    host().SendKey(area, 28);
    EXPECT_EQ(1u, Procedures());
    EXPECT_EQ("dclk", LastProcedure());
}

TEST_F(AreaInput, ClickProcedureFollowsEverySelectionChange) {
    const int32_t area = Place(true);
    host().PressRow(area, 1);
    EXPECT_EQ("BAKER", Pick());
    EXPECT_EQ("clk", LastProcedure());
    host().SendKey(area, 18);
    EXPECT_EQ("BROWN", Pick());
    host().SendKey(area, 'e');  // type-ahead: EVANS
    EXPECT_EQ(6, Selection(area));
    EXPECT_EQ("EVANS", Pick());
    EXPECT_EQ(3u, Procedures());
    host().SendKey(area, 27);
    EXPECT_EQ("dclk", LastProcedure());
    EXPECT_EQ(4u, Procedures());
}

TEST_F(AreaInput, TypeAheadContinuesWithinTheTimeoutAndStartsAnewAfter) {
    const int32_t area = Place(false);
    host().SendKey(area, 'b');
    EXPECT_EQ(1, Selection(area));  // BAKER
    host().SendKey(area, 'r');
    EXPECT_EQ(2, Selection(area));  // BROWN: the first BR
    host().SendKey(area, 'y');
    EXPECT_EQ(3, Selection(area));  // BRYANT
    host().SendKey(area, 'z');
    EXPECT_EQ(4, Selection(area));  // nothing is BRYZ: the next line, CLARK
    host().SendKey(area, 'z');
    host().SendKey(area, 'z');
    EXPECT_EQ(4, Selection(area));

    std::this_thread::sleep_for(std::chrono::milliseconds(TypeAheadTimeout() + 100));
    host().SendKey(area, 'f');  // a new search from the top: FRANK, not BRYZZZF
    EXPECT_EQ(7, Selection(area));
    host().SendKey(area, 'z');  // FZ runs off the end: the last line
    EXPECT_EQ(7, Selection(area));
    EXPECT_EQ(0u, Procedures());
}

TEST_F(AreaInput, TypeAheadSearchesTheColumnTheListIsSortedOnNow) {
    const int32_t area = Place(false);
    ASSERT_EQ(0, Command("SortList", "people", Arg::Num(18)));  // on the city
    host().SendKey(area, 'l');
    EXPECT_EQ(4, Selection(area));  // Bath Derby Ely Hull Leeds: ADAMS
    EXPECT_EQ(5, Call("SelectedLine", {Arg::Text("people")}).value.number);
}

TEST_F(AreaInput, TypeAheadPastTheEndOfTheKeyGoesOnToTheNextLine) {
    // Sorted on the last two characters of each line.
    ASSERT_EQ(0, LoadBytes("tail", "001 AB\r\n002 AC\r\n003 BA\r\n", 5, 1));
    const int32_t area = host().PlaceArea(window_, 10, 220, 330, 300,
                                          {Arg::Text("tail"), Arg::Num(30), Arg::Num(1),
                                           Arg::Num(3), Arg::Text("pick"), Arg::Text("dclk")});
    host().PaintWindow(window_);
    host().SendKey(area, 'a');
    host().SendKey(area, 'b');
    EXPECT_EQ(0, Selection(area));  // AB
    host().SendKey(area, 'z');
    EXPECT_EQ(1, Selection(area));  // AB ends before ABZ: AC is the first after it
    host().SendKey(area, 28);  // a choice starts the next search afresh
    for (uint8_t key : {'b', 'a', 'z'}) host().SendKey(area, key);
    EXPECT_EQ(2, Selection(area));  // past BA, the last line
}

TEST_F(AreaInput, ProcedureThatReloadsTheListAndLoadsAnotherReentersSafely) {
    const int32_t area = Place(true);
    // The click procedure loads the list again, with longer lines, and a
    // list more, which moves the list table.
    std::string longer, rest = kPeople;
    for (size_t end; (end = rest.find("\r\n")) != std::string::npos; rest.erase(0, end + 2))
        longer += rest.substr(0, end) + "    \r\n";
    int32_t runs = 0;
    host().OnProcedure([&](const std::string& name) {
        if (name != "clk") return;
        ++runs;
        testfiles::WriteBytes(PathOf("people"), longer);
        EXPECT_EQ(0, LoadFile("people", 7, 1));
        EXPECT_EQ(0, LoadBytes("other" + std::to_string(runs), "1 X\r\n2 Y\r\n"));
    });
    host().SendKey(area, 'e');  // type-ahead: EVANS, then the procedure
    EXPECT_EQ("EVANS", Pick());
    host().PressRow(area, 2);  // a press: BROWN, then the procedure
    EXPECT_EQ("BROWN", Pick());
    EXPECT_EQ(2, runs);
    // The area's choice reached its own list, not the one loaded last.
    EXPECT_EQ(1, Call("SelectedLine", {Arg::Text("other2")}).value.number);
    host().OnProcedure(nullptr);

    host().SendKey(area, 18);  // the reloaded list's selection, then down
    EXPECT_EQ(1, Selection(area));
    EXPECT_EQ("BAKER", Pick());  // read at the reloaded list's line size
}

TEST_F(AreaInput, CtrlCCopiesTheVisiblePartWithoutOuterSpaces) {
    const int32_t area = Place(false);
    testwindows::SetClipboardText("before");
    host().PressRow(area, 1);
    host().SendKey(area, 'c', false, true);
    EXPECT_EQ("00002 BAKER      York", Clipboard());
    EXPECT_EQ(1, Selection(area));  // Ctrl with another key does nothing
    host().SendKey(area, 'x', false, true);
    EXPECT_EQ(1, Selection(area));
    // After a re-initialisation the copy still has a window to own it.
    host().ReinitArea(area);
    host().SendKey(area, 18);
    host().SendKey(area, 'c', false, true);
    EXPECT_EQ("00003 BROWN      Hull", Clipboard());
}

}  // namespace
