// The recording body of the window layer: the state it keeps as the real
// system would, and the faults it stops on. Native trees only (the Windows
// tree has the real layer instead).
#ifndef _WIN32
#include <gtest/gtest.h>

#include "platform/window_record.h"

namespace {

class WindowRecord : public ::testing::Test {
protected:
    void SetUp() override { winrec::Reset(); }
    void TearDown() override { winrec::Reset(); }
};

intptr_t VANDU_STDCALL Doubling(win::Window, uint32_t message, uintptr_t, intptr_t) {
    return 2 * static_cast<intptr_t>(message);
}

TEST_F(WindowRecord, ScrollBarKeepsRangePageAndPositionAsTheControlDoes) {
    win::Window host = winrec::NewHostWindow(100, 50, 300, 200);
    win::Window bar = win::NewScrollBar(host, {200, 1, 216, 101});
    ASSERT_NE(bar, nullptr);

    win::SetScroll(bar, {1, 32767, 10, 0}, true);
    win::ScrollState s = winrec::State(bar)->scroll;
    EXPECT_EQ(s.min, 1);
    EXPECT_EQ(s.pos, 1);  // 0 reads back as the minimum
    EXPECT_FALSE(winrec::State(bar)->scrollDisabled);
    win::SetScroll(bar, {1, 32767, 10, 32767}, false);
    EXPECT_EQ(win::ScrollPos(bar), 32758);  // the last position a page of 10 reaches
    win::SetScrollPos(bar, 5, true);
    EXPECT_EQ(win::ScrollPos(bar), 5);
    win::SetScrollPos(bar, 40000, true);
    EXPECT_EQ(win::ScrollPos(bar), 32758);
    EXPECT_EQ(winrec::State(bar)->redraws, 3);

    // Minimum 1 above maximum 0: the empty range, page cut to it, disabled.
    win::SetScroll(bar, {1, 0, 10, 0}, true);
    s = winrec::State(bar)->scroll;
    EXPECT_EQ(s.min, 0);
    EXPECT_EQ(s.max, 0);
    EXPECT_EQ(s.page, 1);
    EXPECT_EQ(s.pos, 0);
    EXPECT_TRUE(winrec::State(bar)->scrollDisabled);
    win::SetScrollPos(bar, 7, false);
    EXPECT_EQ(win::ScrollPos(bar), 0);
}

TEST_F(WindowRecord, DrawingRecordsTheDcStateAndEveryResourceComesBack) {
    win::Window host = winrec::NewHostWindow(0, 0, 300, 200);
    win::DC dc = win::GetWindowDC(host);
    win::Font font = win::NewFont(-12, 700, 49, "A face name longer than thirty-one characters");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(winrec::FontInfo(font)->face.size(), 31u);
    EXPECT_EQ(winrec::FontInfo(font)->weight, 700);

    win::Font previous = win::SelectFont(dc, font);
    win::FontMetrics m{};
    ASSERT_TRUE(win::MeasureFont(dc, &m));
    EXPECT_EQ(m.height, 12);
    EXPECT_EQ(m.descent, 3);
    EXPECT_EQ(m.aveCharWidth, 6);

    win::Region rgn = win::NewRegion();
    win::SetRegionRect(rgn, {1, 2, 30, 40});
    win::SelectClip(dc, rgn);
    win::SetRegionRect(rgn, {0, 0, 5, 5});  // the DC keeps its own copy
    EXPECT_EQ(win::SetTextColour(dc, 0x123456), win::kBlack);
    win::SetBackColour(dc, 0x00FF00);
    win::SetTextAlignment(dc, win::kAlignBaseline);
    const uint8_t bytes[] = {'a', 'b', 'c'};
    win::TextRun(dc, 4, 11, bytes, 3);
    win::FillSolid(dc, {1, 1, 9, 9}, 0x0000FF);
    win::SelectClip(dc, nullptr);
    win::FillWhite(dc, {0, 0, 2, 2});

    ASSERT_EQ(winrec::Ops().size(), 3u);
    const winrec::Op& text = winrec::Ops()[0];
    EXPECT_EQ(text.kind, winrec::Op::kText);
    EXPECT_EQ(text.window, host);
    EXPECT_EQ(text.text, "abc");
    EXPECT_EQ(text.colour, 0x123456u);
    EXPECT_EQ(text.backColour, 0x00FF00u);
    EXPECT_EQ(text.align, win::kAlignBaseline);
    EXPECT_EQ(text.font, font);
    EXPECT_TRUE(text.clipped);
    EXPECT_EQ(text.clip.right, 30);
    EXPECT_EQ(winrec::Ops()[1].colour, 0x0000FFu);
    EXPECT_FALSE(winrec::Ops()[2].clipped);
    EXPECT_EQ(winrec::CountOps(winrec::Op::kFillWhite), 1);

    EXPECT_EQ(win::SelectFont(dc, previous), font);
    win::DeleteFont(font);
    win::DeleteRegion(rgn);
    win::ReleaseWindowDC(host, dc);
    win::Window bar = win::NewScrollBar(host, {0, 0, 16, 100});
    winrec::DestroyHostWindow(host);  // takes its scroll bar along
    EXPECT_FALSE(winrec::IsLive(bar));
    EXPECT_EQ(winrec::LiveWindows(), 0);
    EXPECT_EQ(winrec::LiveDCs(), 0);
    EXPECT_EQ(winrec::LiveFonts(), 0);
    EXPECT_EQ(winrec::LiveRegions(), 0);

    winrec::FailFonts(1);
    EXPECT_EQ(win::NewFont(-12, 400, 0, "x"), nullptr);
    winrec::FailScrollBars(1);
    win::Window other = winrec::NewHostWindow(0, 0, 10, 10);
    EXPECT_EQ(win::NewScrollBar(other, {0, 0, 16, 10}), nullptr);
    EXPECT_NE(win::NewScrollBar(other, {0, 0, 16, 10}), nullptr);
}

TEST_F(WindowRecord, ScrollAreaUncoversTheStripTheRowsLeft) {
    win::Window host = winrec::NewHostWindow(0, 0, 300, 200);
    const win::Rect r{1, 10, 101, 130};
    win::Rect u{};
    win::ScrollArea(host, 12, r, &u);
    EXPECT_EQ(u.top, 10);
    EXPECT_EQ(u.bottom, 22);
    win::ScrollArea(host, -12, r, &u);
    EXPECT_EQ(u.top, 118);
    EXPECT_EQ(u.bottom, 130);
    win::ScrollArea(host, 500, r, &u);
    EXPECT_EQ(u.top, 10);
    EXPECT_EQ(u.bottom, 130);
    EXPECT_EQ(u.left, 1);
    EXPECT_EQ(u.right, 101);
    ASSERT_EQ(winrec::CountOps(winrec::Op::kScroll), 3);
    EXPECT_EQ(winrec::Ops()[1].y, -12);
}

TEST_F(WindowRecord, GeometryProceduresAndInput) {
    win::Window host = winrec::NewHostWindow(100, 50, 300, 200);
    win::Window bar = win::NewScrollBar(host, {200, 1, 216, 101});
    win::Rect wr = winrec::WindowRect(host);
    EXPECT_EQ(wr.left, 96);
    EXPECT_EQ(wr.top, 27);
    EXPECT_EQ(wr.bottom, 254);
    wr = winrec::WindowRect(bar);
    EXPECT_EQ(wr.left, 300);
    EXPECT_EQ(wr.top, 51);
    int32_t x = 310, y = 60;
    ASSERT_TRUE(win::ToClient(bar, &x, &y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 9);

    // Subclassing: the new procedure is called, the old one is handed back.
    win::Proc old = win::SetWindowProc(host, reinterpret_cast<win::Proc>(&Doubling));
    EXPECT_EQ(winrec::Send(host, 21, 0, 0), 42);
    EXPECT_EQ(winrec::DefaultProcCalls(), 0);
    EXPECT_EQ(win::CallProc(old, host, 21, 0, 0), 0);
    EXPECT_EQ(winrec::DefaultProcCalls(), 1);

    uint8_t keys[256];
    winrec::SetKey(win::kVkShift, true);
    ASSERT_TRUE(win::KeyboardState(keys));
    EXPECT_EQ(keys[win::kVkShift], 0x80);
    EXPECT_EQ(keys[win::kVkControl], 0);
    winrec::SetKeyboardReadable(false);
    EXPECT_FALSE(win::KeyboardState(keys));

    // A release that shows after two polls and stays queued; the hook sees
    // every poll before it is answered.
    std::vector<int32_t> seen;
    winrec::OnMouseButtonPoll([&seen](int32_t poll) {
        seen.push_back(poll);
        winrec::SetCursorScreen(poll, 0);
    });
    winrec::QueueMouseButton(2);
    EXPECT_FALSE(win::MouseButtonWaiting());
    EXPECT_FALSE(win::MouseButtonWaiting());
    EXPECT_TRUE(win::MouseButtonWaiting());
    EXPECT_TRUE(win::MouseButtonWaiting());
    winrec::QueueMouseButton(-1);
    EXPECT_FALSE(win::MouseButtonWaiting());
    EXPECT_EQ(winrec::MouseButtonPolls(), 5);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    ASSERT_TRUE(win::CursorPos(&x, &y));
    EXPECT_EQ(x, 4);
}

TEST_F(WindowRecord, ClipboardTakesTextOnlyWhenOpenWithAnOwner) {
    win::Window host = winrec::NewHostWindow(0, 0, 10, 10);
    const uint8_t text[] = {'j', 'o', 'e', 0, 'x'};
    ASSERT_TRUE(win::OpenClip(host));
    win::EmptyClip();
    EXPECT_TRUE(win::PutClipText(text, 5));
    win::CloseClip();
    EXPECT_TRUE(winrec::ClipboardHasText());
    EXPECT_EQ(winrec::ClipboardText(), "joe");  // as a CF_TEXT reader sees it

    ASSERT_TRUE(win::OpenClip(nullptr));
    EXPECT_FALSE(win::PutClipText(text, 3));  // no owner: SetClipboardData fails
    win::CloseClip();
    EXPECT_EQ(winrec::ClipboardText(), "joe");

    winrec::SetClipboardOpenable(false);
    EXPECT_FALSE(win::OpenClip(host));
}

using WindowRecordDeathTest = WindowRecord;

TEST_F(WindowRecordDeathTest, StaleForeignAndNullHandlesAbort) {
    win::Window host = winrec::NewHostWindow(0, 0, 10, 10);
    win::DC dc = win::GetWindowDC(host);
    win::ReleaseWindowDC(host, dc);
    EXPECT_DEATH(win::FillWhite(dc, {0, 0, 1, 1}), "device context already released");
    EXPECT_DEATH(win::SetWindowData(nullptr, nullptr), "null window");
    EXPECT_DEATH(win::SetScroll(host, {0, 0, 0, 0}, false), "not a scroll bar");
    EXPECT_DEATH(win::SetWindowProc(host, nullptr), "null window procedure");
    EXPECT_DEATH(win::DeleteRegion(dc), "not a region");
    win::DC live = win::GetWindowDC(host);
    win::Font font = win::NewFont(-10, 400, 0, "f");
    win::SelectFont(live, font);
    EXPECT_DEATH(win::DeleteFont(font), "still selected");
    win::Window other = winrec::NewHostWindow(0, 0, 10, 10);
    EXPECT_DEATH(win::ReleaseWindowDC(other, live), "another window");
    EXPECT_DEATH(win::CloseClip(), "not open");
}

}  // namespace
#endif  // _WIN32
