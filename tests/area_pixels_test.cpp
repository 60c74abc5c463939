// The pixels of a painted list area in a real window: Windows only (under
// Wine inside Xvfb here).
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "area/arearec.h"
#include "host.h"
#include "host/hostobj.h"
#include "support/list_host.h"

using vhost::Arg;

namespace {

constexpr int32_t kWidth = 420;
constexpr int32_t kHeight = 320;
constexpr uint32_t kWhite = 0x00FFFFFF;

class AreaPixels : public listhost::ListHostTest {
protected:
    uint32_t At(int32_t x, int32_t y) const {
        return pixels_[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)];
    }
    // Pixels of the rectangle that differ from the colour.
    int32_t Others(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) const {
        int32_t n = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) n += At(x, y) != colour;
        return n;
    }
    std::vector<uint32_t> pixels_;
};

TEST_F(AreaPixels, RowsFrameHighlightAndTextAreWhereTheyBelong) {
    ASSERT_EQ(0, LoadBytes("five", "ADAMS  Anne\r\nBAKER  Bob \r\nCLARK  Cid \r\nDAVIS  Dan \r\nEVANS  Eve \r\n"));
    ASSERT_EQ(0, Call("SetSelection", {Arg::Text("five"), Arg::Text("BAKER")}).Status());
    const int32_t window = host().OpenWindow(kWidth, kHeight);
    const int32_t area = host().PlaceArea(window, 10, 10, 330, 250,
                                          {Arg::Text("five"), Arg::Num(40), Arg::Num(1), Arg::Num(5),
                                           Arg::Text("pick"), Arg::Text("dclk")});
    host().PaintWindow(window);
    ASSERT_TRUE(host().ReadPixels(window, 0, 0, kWidth, kHeight, &pixels_));
    ASSERT_EQ(static_cast<size_t>(kWidth * kHeight), pixels_.size());

    const AreaRec* a = ReadAt<const AreaRec*>(host().ObjectRecord(area), hostobj::kAreaSlot);
    ASSERT_NE(a, nullptr);
    const AreaRect t = a->textRect;
    const int32_t lh = a->lineHeight;
    ASSERT_EQ(5 + 6, a->rows);  // at most six rows below the last line
    ASSERT_GT(lh, 0);

    // The frame around text and scroll bar.
    EXPECT_EQ(0u, At(t.left - 1, t.top + lh));
    EXPECT_EQ(0u, At(a->scrollRect.right, t.top + lh));
    EXPECT_EQ(0u, At(t.left + 5, t.bottom));
    EXPECT_EQ(0u, At(t.left + 5, t.top - 1));

    const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int32_t row = 0; row < a->rows; ++row) {
        const int32_t top = t.top + row * lh;
        const uint32_t background = row == 1 ? highlight : kWhite;
        EXPECT_EQ(background, At(t.left + 1, top + 1)) << "row " << row;
        const int32_t marks = Others(t.left, top, t.right, top + lh, background);
        if (row < 5)
            EXPECT_GT(marks, 10) << "no text in row " << row;
        else
            EXPECT_EQ(0, marks) << "row " << row << " below the last line";
    }

    // The scroll bar is there, disabled: the list fits.
    const vhost::AreaState s = host().StateOfArea(area);
    EXPECT_TRUE(s.hasScrollBar);
    EXPECT_EQ(0, s.scrollMax);
}

}  // namespace
#endif
