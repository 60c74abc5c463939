// What a list area draws and which window resources it holds, counted in the
// recording window layer: native trees only.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "area/arearec.h"
#include "entry/globals.h"
#include "host.h"
#include "host/hostobj.h"
#include "platform/window_record.h"
#include "support/list_host.h"
#include "support/window_proc.h"

using vhost::Arg;
using Op = winrec::Op;

namespace {

class AreaDrawing : public listhost::ListHostTest {
protected:
    void SetUp() override {
        ListHostTest::SetUp();
        std::string bytes;
        for (int i = 1; i <= 300; ++i) {
            char line[32];
            std::snprintf(line, sizeof line, "%05d item %-12d\r\n", i, i);
            bytes += line;  // 24 characters and CR LF
        }
        ASSERT_EQ(0, LoadBytes("items", bytes));
        window_ = host().OpenWindow(420, 320);
    }
    int32_t Place(int32_t top, int32_t bottom, int maxCol = 40) {
        return host().PlaceArea(window_, 10, top, 330, bottom,
                                {Arg::Text("items"), Arg::Num(maxCol), Arg::Num(1), Arg::Num(5),
                                 Arg::Text("pick"), Arg::Text("dclk")});
    }
    void* Handle() { return host().WindowHandle(window_); }

    int32_t window_ = 0;
};

TEST_F(AreaDrawing, ScrollingByOneLineDrawsOneRowAndPagingDrawsThePage) {
    const int32_t area = Place(10, 210);
    host().PaintWindow(window_);
    const int32_t rows = host().StateOfArea(area).rows;
    ASSERT_GT(rows, 3);

    winrec::ClearOps();
    host().SendScroll(area, 1);
    EXPECT_EQ(1, winrec::CountOps(Op::kScroll));
    EXPECT_EQ(1, winrec::CountOps(Op::kText));
    host().SendScroll(area, 0);  // back up: the selection (line 0) enters and is highlighted
    EXPECT_EQ(2, winrec::CountOps(Op::kScroll));
    EXPECT_EQ(1 + 1 + 1, winrec::CountOps(Op::kText));
    EXPECT_EQ(1, winrec::CountOps(Op::kFillSolid));

    winrec::ClearOps();
    host().SendScroll(area, 3);
    EXPECT_EQ(0, winrec::CountOps(Op::kScroll));
    EXPECT_EQ(rows, winrec::CountOps(Op::kText));
}

TEST_F(AreaDrawing, RowsShowTheLineTextOnlyWhateverTheColumns) {
    Place(10, 210, 200);  // wider than the lines
    host().PaintWindow(window_);
    int32_t texts = 0;
    for (const Op& op : winrec::Ops()) {
        if (op.kind != Op::kText) continue;
        ++texts;
        EXPECT_LE(op.text.size(), 24u) << op.text;
        EXPECT_EQ(std::string::npos, op.text.find_first_of("\r\n"));
    }
    EXPECT_GT(texts, 0);
    // The selected first row is highlighted in the system's colours.
    bool highlighted = false;
    for (const Op& op : winrec::Ops())
        highlighted |= op.kind == Op::kFillSolid && op.colour == win::SystemColour(win::kColorHighlight);
    EXPECT_TRUE(highlighted);
}

TEST_F(AreaDrawing, ScrollBarThatCannotBeMadeIsTriedAgainWithoutSubclassingTwice) {
    void* original = testwindows::CurrentProc(Handle());
    const int32_t area = Place(10, 210);
    winrec::FailScrollBars(1);
    host().PaintWindow(window_);
    EXPECT_FALSE(host().StateOfArea(area).hasScrollBar);
    EXPECT_EQ(original, testwindows::CurrentProc(Handle()));
    EXPECT_GT(winrec::CountOps(Op::kText), 0);  // drawn all the same

    host().PaintWindow(window_);
    EXPECT_TRUE(host().StateOfArea(area).hasScrollBar);
    EXPECT_NE(original, testwindows::CurrentProc(Handle()));
    host().DestroyArea(area);
    EXPECT_EQ(original, testwindows::CurrentProc(Handle()));
}

TEST_F(AreaDrawing, AreasBeyondTheListsSubscribersStillScrollAndGiveTheWindowBack) {
    void* original = testwindows::CurrentProc(Handle());
    int32_t areas[21];
    for (int32_t i = 0; i < 21; ++i) areas[i] = Place(10 + i, 110 + i);
    host().PaintWindow(window_);
    // The 21st has its scroll bar and its requests reach it.
    ASSERT_TRUE(host().StateOfArea(areas[20]).hasScrollBar);
    EXPECT_TRUE(host().SendScroll(areas[20], 1));
    EXPECT_EQ(1, host().StateOfArea(areas[20]).topLine);
    // Destroying the subscribers first leaves the window to the last one,
    // which gives it back.
    for (int32_t i = 0; i < 20; ++i) host().DestroyArea(areas[i]);
    EXPECT_NE(original, testwindows::CurrentProc(Handle()));
    EXPECT_TRUE(host().SendScroll(areas[20], 1));
    EXPECT_EQ(2, host().StateOfArea(areas[20]).topLine);
    host().DestroyArea(areas[20]);
    EXPECT_EQ(original, testwindows::CurrentProc(Handle()));
    EXPECT_EQ(0, Call("UnloadList", {Arg::Text("items")}).Status());
}

TEST_F(AreaDrawing, AnAreaBeyondTheRecordOfSubclassedWindowsWaitsForARow) {
    void* original = testwindows::CurrentProc(Handle());
    std::vector<int32_t> areas;
    for (int32_t i = 0; i <= kMaxSubclassedAreas; ++i) areas.push_back(Place(10, 110));
    host().PaintWindow(window_);
    const int32_t last = areas.back();
    EXPECT_TRUE(host().StateOfArea(areas[kMaxSubclassedAreas - 1]).hasScrollBar);
    EXPECT_FALSE(host().StateOfArea(last).hasScrollBar);
    // A row comes free: the next paint attaches it, and its requests reach it.
    host().DestroyArea(areas[0]);
    host().PaintWindow(window_);
    ASSERT_TRUE(host().StateOfArea(last).hasScrollBar);
    EXPECT_TRUE(host().SendScroll(last, 1));
    EXPECT_EQ(1, host().StateOfArea(last).topLine);
    for (size_t i = 1; i < areas.size(); ++i) host().DestroyArea(areas[i]);
    EXPECT_EQ(original, testwindows::CurrentProc(Handle()));
    EXPECT_EQ(0, Call("UnloadList", {Arg::Text("items")}).Status());
}

TEST_F(AreaDrawing, DesignPictureShowsCaptionPathAndSize) {
    const int32_t area = Place(10, 210);
    winrec::ClearOps();
    host().DesignDraw(area);
    const vhost::AreaState s = host().StateOfArea(area);
    std::vector<std::string> texts;
    for (const Op& op : winrec::Ops())
        if (op.kind == Op::kText) texts.push_back(op.text);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ("Vandu List: items", texts[0]);
    EXPECT_EQ(PathOf("items"), texts[1]);
    EXPECT_EQ(std::to_string(s.rows) + " lines high, " + std::to_string(s.cols) +
                  " columns wide (40 max)",
              texts[2]);
    EXPECT_EQ("00001 item 1", texts[3].substr(0, 12));
    EXPECT_EQ(3, winrec::CountOps(Op::kFrameBlack) + winrec::CountOps(Op::kFillWhite));

    // Without its list the picture keeps the frame and the caption.
    const int32_t other = host().PlaceArea(window_, 10, 220, 330, 300,
                                           {Arg::Text("none"), Arg::Num(40), Arg::Num(1),
                                            Arg::Num(5), Arg::Text("pick"), Arg::Text("dclk")});
    winrec::ClearOps();
    host().DesignDraw(other);
    ASSERT_EQ(1, winrec::CountOps(Op::kText));
    for (const Op& op : winrec::Ops())
        if (op.kind == Op::kText) {
            EXPECT_EQ("Vandu List: none", op.text);
        }
    EXPECT_EQ(2, winrec::CountOps(Op::kFrameBlack));
}

TEST_F(AreaDrawing, DragBelowOrAboveTheRowsScrollsOneLinePerPoll) {
    const int32_t area = Place(10, 110);
    host().PaintWindow(window_);
    const int32_t rows = host().StateOfArea(area).rows;
    const winrec::WindowState* w = winrec::State(Handle());
    const AreaRect text = ReadAt<const AreaRec*>(host().ObjectRecord(area), hostobj::kAreaSlot)->textRect;
    // The cursor leaves the rows at dragY for three polls, then the release
    // shows in the queue (and the cursor is checked once more).
    auto dragTo = [&](int32_t dragY) {
        const int32_t first = winrec::MouseButtonPolls();
        winrec::OnMouseButtonPoll([=](int32_t poll) {
            if (poll - first < 3) {
                winrec::QueueMouseButton(-1);
                winrec::SetCursorScreen(w->rect.left + text.left + 5, w->rect.top + dragY);
            } else {
                winrec::QueueMouseButton(0);
            }
        });
    };
    dragTo(text.bottom + 20);
    winrec::ClearOps();
    host().PressRow(area, rows - 1);
    EXPECT_EQ(rows - 1 + 4, host().StateOfArea(area).selection);
    EXPECT_EQ(4, host().StateOfArea(area).topLine);
    EXPECT_EQ(4, winrec::CountOps(Op::kScroll));

    dragTo(text.top - 20);
    host().PressRow(area, 0);
    EXPECT_EQ(0, host().StateOfArea(area).topLine);
    EXPECT_EQ(0, host().StateOfArea(area).selection);
    winrec::OnMouseButtonPoll(nullptr);
}

TEST_F(AreaDrawing, DestroyReleasesEveryWindowResource) {
    const int32_t live = winrec::LiveWindows();
    const int32_t fonts = winrec::LiveFonts();
    const int32_t area = Place(10, 210);
    host().PaintWindow(window_);
    host().ClipArea(area);
    EXPECT_EQ(live + 1, winrec::LiveWindows());  // its scroll bar
    EXPECT_EQ(fonts + 1, winrec::LiveFonts());
    host().DestroyArea(area);
    EXPECT_EQ(live, winrec::LiveWindows());
    EXPECT_EQ(fonts, winrec::LiveFonts());
    EXPECT_EQ(0, winrec::LiveDCs());
}

}  // namespace
#endif
