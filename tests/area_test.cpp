// List areas through the substitute host's windows: binding and the first
// paint, the scroll bar's requests, the selection exchange with the list,
// re-initialisation, destroy and the subclassing of the host window. Runs
// natively over the recording window layer and under Wine with real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "area/arearec.h"
#include "host.h"
#include "host/hostobj.h"
#include "support/list_host.h"
#include "support/window_proc.h"

using vhost::Arg;

namespace {

constexpr int32_t kLines = 100;

class AreaTest : public listhost::ListHostTest {
protected:
    void SetUp() override {
        ListHostTest::SetUp();
        std::string bytes;
        for (int i = 1; i <= kLines; ++i) {
            char line[40];
            std::snprintf(line, sizeof line, "%05d NAME%-15d City\r\n", i, i);
            bytes += line;
        }
        ASSERT_EQ(0, LoadBytes("nums", bytes));
        window_ = host().OpenWindow(420, 320);
        ASSERT_NE(0, window_);
    }

    int32_t Place(int32_t top = 10, int32_t bottom = 210, const std::string& list = "nums") {
        return host().PlaceArea(window_, 10, top, 330, bottom,
                                {Arg::Text(list), Arg::Num(40), Arg::Num(1), Arg::Num(5),
                                 Arg::Text("pick"), Arg::Text("dclk")});
    }
    vhost::AreaState State(int32_t area) { return host().StateOfArea(area); }
    // Where the bar shows the area's top line: its scale, within the
    // positions the bar keeps (1 .. 32767 - page + 1).
    static int32_t ThumbOf(const vhost::AreaState& s, int32_t lines) {
        const int32_t maxTop = lines - s.rows;
        const int32_t thumb = static_cast<int32_t>(1LL * s.topLine * 32767 / maxTop);
        return std::max(1, std::min(thumb, 32767 - s.rows + 1));
    }
    int16_t Unload(const std::string& list) { return Call("UnloadList", {Arg::Text(list)}).Status(); }

    int32_t window_ = 0;
};

TEST_F(AreaTest, FirstPaintAttachesTheScrollBarAndHoldsTheList) {
    const int32_t area = Place();
    vhost::AreaState s = State(area);
    ASSERT_TRUE(s.hasRecord);
    EXPECT_TRUE(s.shown);
    EXPECT_FALSE(s.hasScrollBar);
    EXPECT_GT(s.rows, 3);
    EXPECT_LT(s.rows, kLines);
    EXPECT_GT(s.cols, 0);
    EXPECT_LE(s.cols, 40);
    EXPECT_EQ(0, s.selection);  // a load selects the first line
    EXPECT_EQ(0, Unload("nums"));  // not shown yet: not subscribed
    ASSERT_EQ(0, LoadFile("nums"));

    host().PaintWindow(window_);
    s = State(area);
    ASSERT_TRUE(s.hasScrollBar);
    EXPECT_EQ(1, s.scrollMin);
    EXPECT_EQ(32767, s.scrollMax);
    EXPECT_EQ(s.rows, s.scrollPage);
    EXPECT_EQ(1, s.scrollPos);  // position 0 reads back as the minimum
    EXPECT_EQ(12, Unload("nums"));
    host().DestroyArea(area);
    EXPECT_EQ(0, Unload("nums"));
}

TEST_F(AreaTest, ScrollBarRequestsMoveTheViewOnly) {
    ASSERT_EQ(0, Call("SetSelection", {Arg::Text("nums"), Arg::Text("00003")}).Status());
    const int32_t area = Place();
    host().PaintWindow(window_);
    const int32_t rows = State(area).rows;
    const int32_t maxTop = kLines - rows;
    auto top = [&] { return State(area).topLine; };

    EXPECT_TRUE(host().SendScroll(area, 1));  // line down
    EXPECT_EQ(1, top());
    EXPECT_EQ(std::max(1, static_cast<int32_t>(1LL * 32767 / maxTop)), State(area).scrollPos);
    host().SendScroll(area, 0);  // line up
    host().SendScroll(area, 0);  // at the top: nothing
    EXPECT_EQ(0, top());
    host().SendScroll(area, 3);  // page down
    EXPECT_EQ(rows, top());
    host().SendScroll(area, 2);  // page up
    EXPECT_EQ(0, top());
    host().SendScroll(area, 7);  // bottom
    EXPECT_EQ(maxTop, top());
    host().SendScroll(area, 3);  // page down on the last page: it stays
    EXPECT_EQ(maxTop, top());
    host().SendScroll(area, 1);  // line down on the last page: nothing
    EXPECT_EQ(maxTop, top());
    host().SendScroll(area, 6);  // top
    EXPECT_EQ(0, top());

    // The thumb: the middle maps to its line; the far end shows the last
    // page whatever position the bar keeps its thumb at.
    host().SendScroll(area, 5, 16383);
    EXPECT_EQ(static_cast<int32_t>(1LL * maxTop * 16383 / 32767), top());
    host().SendScroll(area, 4, 32767);
    EXPECT_EQ(maxTop, top());
    host().SendScroll(area, 8);  // end of scroll: nothing
    EXPECT_EQ(maxTop, top());
    EXPECT_EQ(2, State(area).selection);  // scrolling never moved it
}

TEST_F(AreaTest, SelectionOfTheListShowsInEveryAreaAtItsNextMessage) {
    const int32_t first = Place(10, 150);
    const int32_t second = Place(160, 300);
    host().PaintWindow(window_);
    ASSERT_EQ(0, Call("SetSelection", {Arg::Text("nums"), Arg::Text("00060")}).Status());
    EXPECT_EQ(0, State(first).selection);  // the list never draws
    host().PaintWindow(window_);
    for (int32_t area : {first, second}) {
        const vhost::AreaState s = State(area);
        EXPECT_EQ(59, s.selection);
        EXPECT_EQ(59 - s.rows / 2, s.topLine);
        EXPECT_EQ(ThumbOf(s, kLines), s.scrollPos);  // the thumb shows the view it moved to
    }

    // A change of the line count gives the bar its new range, the thumb
    // still where the view is: a line added in view, and one at the end,
    // which the view moves to.
    host().SendScroll(first, 3);
    const int32_t top = State(first).topLine;
    ASSERT_GT(top, 0);
    char line[40];
    std::snprintf(line, sizeof line, "%05dA NAME%-14s City", top + 1, "");
    ASSERT_EQ(0, Call("AddLine", {Arg::Text("nums"), Arg::Text(line)}).Status());
    host().PaintWindow(window_);
    EXPECT_EQ(top, State(first).topLine);
    EXPECT_EQ(ThumbOf(State(first), kLines + 1), State(first).scrollPos);
    ASSERT_EQ(0, Call("AddLine", {Arg::Text("nums"), Arg::Text("00101 NAME101         City")})
                     .Status());
    host().PaintWindow(window_);
    for (int32_t area : {first, second}) {
        const vhost::AreaState s = State(area);
        EXPECT_EQ(kLines + 2 - s.rows, s.topLine);
        EXPECT_EQ(ThumbOf(s, kLines + 2), s.scrollPos);
    }
}

TEST_F(AreaTest, HostWindowIsSubclassedOnceAndGivenBackByTheLastDestroy) {
    void* handle = host().WindowHandle(window_);
    void* original = testwindows::CurrentProc(handle);
    const int32_t first = Place(10, 150);
    const int32_t second = Place(160, 300);
    host().PaintWindow(window_);
    void* subclassed = testwindows::CurrentProc(handle);
    EXPECT_NE(original, subclassed);
    host().PaintWindow(window_);
    EXPECT_EQ(subclassed, testwindows::CurrentProc(handle));

    // After a re-initialisation the area has forgotten its window; its
    // scroll bar still works and its destroy still finds the window.
    host().ReinitArea(first);
    EXPECT_TRUE(host().SendScroll(first, 1));
    EXPECT_EQ(1, State(first).topLine);
    host().DestroyArea(first);
    EXPECT_EQ(subclassed, testwindows::CurrentProc(handle));
    host().ReinitArea(second);
    host().DestroyArea(second);
    EXPECT_EQ(original, testwindows::CurrentProc(handle));
    EXPECT_EQ(0, Unload("nums"));
}

TEST_F(AreaTest, UnloadOfTheExternalGivesSubclassedWindowsBack) {
    void* handle = host().WindowHandle(window_);
    void* original = testwindows::CurrentProc(handle);
    Place(10, 150);
    Place(160, 300);
    host().PaintWindow(window_);
    ASSERT_NE(original, testwindows::CurrentProc(handle));
    host().Send(2);  // the external goes while its areas are still shown
    EXPECT_EQ(original, testwindows::CurrentProc(handle));
    // The host closes the window later; the areas' destroy still releases
    // them (the leak checks of the memory-checked runs see it).
    host().CloseWindow(window_);
    host().Load();
}

TEST_F(AreaTest, ExternalLoadedAgainAttachesItsShownAreasAgain) {
    void* handle = host().WindowHandle(window_);
    void* original = testwindows::CurrentProc(handle);
    const int32_t area = Place();
    host().PaintWindow(window_);
    void* bar = ReadAt<const AreaRec*>(host().ObjectRecord(area), hostobj::kAreaSlot)->scrollWindow;
    ASSERT_NE(nullptr, bar);

    // Unloaded under the shown area: the window has its own procedure, and
    // a scroll request reaches nothing of the external.
    host().Send(2);
    EXPECT_EQ(original, testwindows::CurrentProc(handle));
    EXPECT_FALSE(State(area).hasScrollBar);
    const uintptr_t lineDown = 1;
    testwindows::SendToWindow(handle, 0x0115, lineDown, reinterpret_cast<intptr_t>(bar));
    host().PaintWindow(window_);  // no external to draw it
    host().Load();
    testwindows::SendToWindow(handle, 0x0115, lineDown, reinterpret_cast<intptr_t>(bar));
    EXPECT_EQ(0, State(area).topLine);
    EXPECT_EQ(original, testwindows::CurrentProc(handle));

    // Its list loaded again, the next paint attaches it as the first did.
    ASSERT_EQ(0, LoadFile("nums"));
    host().PaintWindow(window_);
    EXPECT_NE(original, testwindows::CurrentProc(handle));
    ASSERT_TRUE(State(area).hasScrollBar);
    EXPECT_TRUE(host().SendScroll(area, 1));
    EXPECT_EQ(1, State(area).topLine);
    EXPECT_EQ(12, Unload("nums"));
    host().DestroyArea(area);
    EXPECT_EQ(original, testwindows::CurrentProc(handle));
    EXPECT_EQ(0, Unload("nums"));
}

TEST_F(AreaTest, UnknownListLeavesTheAreaInert) {
    const int32_t area = Place(10, 210, "");  // "<Unassigned>", not loaded
    host().PaintWindow(window_);
    const vhost::AreaState s = State(area);
    EXPECT_FALSE(s.hasScrollBar);
    EXPECT_EQ(0, s.rows);
    host().DestroyArea(area);
    EXPECT_FALSE(State(area).hasRecord);
}

}  // namespace
