// The list window's view arithmetic on a bare area record: framing the
// selection, the thumb scale, and line and page moves of the selection. No
// device context and no scroll bar, so nothing is drawn.
#include <gtest/gtest.h>

#include <cstring>

#include "area/area.h"
#include "support/instance.h"

namespace {

class AreaScroll : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&area_, 0, sizeof area_);
        area_.globals = inst_.g();
        inst_.g()->curArea = &area_;
        Shape(100, 10);
    }
    void Shape(int32_t lines, int32_t rows) {
        area_.listCopy.lineCount = lines;
        area_.rows = rows;
    }
    void At(int32_t top, int32_t selection) {
        area_.topLine = top;
        area_.selection = selection;
    }

    testinstance::Instance inst_;
    AreaRec area_;
};

TEST_F(AreaScroll, FrameSelPutsTheSelectionOnTheMiddleRowWithinTheList) {
    const struct {
        int32_t selection, top;
    } cases[] = {{3, 0}, {50, 45}, {97, 90}, {4, 0}, {5, 0}, {6, 1}, {99, 90}};
    for (const auto& c : cases) {
        At(77, c.selection);
        FrameSel(&area_);
        EXPECT_EQ(c.top, area_.topLine) << "selection " << c.selection;
    }
    Shape(8, 14);  // rows beyond the list: always the top
    At(5, 7);
    FrameSel(&area_);
    EXPECT_EQ(0, area_.topLine);
    // Only a selection out of view moves the view.
    Shape(100, 10);
    At(20, 25);
    MakeSelVisible(&area_);
    EXPECT_EQ(20, area_.topLine);
    At(20, 30);
    MakeSelVisible(&area_);
    EXPECT_EQ(25, area_.topLine);
}

TEST_F(AreaScroll, ThumbScaleAndItsLargeListForm) {
    EXPECT_EQ(16383, ThumbOfTop(45, 90));
    EXPECT_EQ(32767, ThumbOfTop(90, 90));
    EXPECT_EQ(0, ThumbOfTop(0, 90));
    EXPECT_EQ(0, ThumbOfTop(5, 0));   // nothing to scroll
    EXPECT_EQ(0, ThumbOfTop(5, -3));
    // Above 65535 the product halves first; no overflow at the 32-bit end.
    EXPECT_EQ(static_cast<int32_t>((65536LL * 32767 / 2) / (999990 / 2)), ThumbOfTop(65536, 999990));
    EXPECT_EQ(32767, ThumbOfTop(2000000000, 2000000000));

    // MySetCtlValue bounds the top line by the last page and by 0.
    Shape(1000000, 10);
    MySetCtlValue(&area_, 2000000);
    EXPECT_EQ(999990, area_.topLine);
    MySetCtlValue(&area_, -4);
    EXPECT_EQ(0, area_.topLine);
    Shape(5, 10);
    MySetCtlValue(&area_, 3);
    EXPECT_EQ(3, area_.topLine);  // no last page to keep it from
}

TEST_F(AreaScroll, PageMovesShowWholePagesAndSelectTheirMiddle) {
    At(85, 86);
    DoDown(inst_.g(), false);  // near the end: exactly the last page
    EXPECT_EQ(90, area_.topLine);
    EXPECT_EQ(95, area_.selection);
    DoDown(inst_.g(), false);  // a second one does nothing
    EXPECT_EQ(90, area_.topLine);
    EXPECT_EQ(95, area_.selection);

    At(3, 4);
    DoUp(inst_.g(), false);
    EXPECT_EQ(0, area_.topLine);
    EXPECT_EQ(5, area_.selection);
    At(0, 5);
    DoUp(inst_.g(), false);  // at the top: nothing
    EXPECT_EQ(5, area_.selection);

    // A list shorter than its rows: the middle row may lie past the last
    // line; the selection stays on a line.
    Shape(3, 9);
    At(0, 0);
    DoDown(inst_.g(), false);
    EXPECT_EQ(0, area_.topLine);
    EXPECT_EQ(0, area_.selection);
}

TEST_F(AreaScroll, LineMovesFollowTheSelectionAndCatchItWhenOutOfView) {
    At(10, 15);
    DoDown(inst_.g(), true);
    EXPECT_EQ(16, area_.selection);
    EXPECT_EQ(10, area_.topLine);
    At(10, 19);  // on the last row: the view follows
    DoDown(inst_.g(), true);
    EXPECT_EQ(20, area_.selection);
    EXPECT_EQ(11, area_.topLine);
    At(90, 99);  // the last line: nothing
    DoDown(inst_.g(), true);
    EXPECT_EQ(99, area_.selection);

    At(10, 10);  // on the first row: the view follows up
    DoUp(inst_.g(), true);
    EXPECT_EQ(9, area_.selection);
    EXPECT_EQ(9, area_.topLine);

    // Out of view: up takes the last visible row, down the first.
    At(40, 3);
    DoUp(inst_.g(), true);
    EXPECT_EQ(49, area_.selection);
    At(40, 80);
    DoDown(inst_.g(), true);
    EXPECT_EQ(40, area_.selection);
    // No selection in a short list: up lands on the last line, not a row
    // past it.
    Shape(4, 10);
    At(0, -1);
    DoUp(inst_.g(), true);
    EXPECT_EQ(3, area_.selection);

    // An empty list moves nothing.
    Shape(0, 10);
    At(0, -1);
    DoDown(inst_.g(), true);
    DoDown(inst_.g(), false);
    EXPECT_EQ(-1, area_.selection);
    EXPECT_EQ(0, area_.topLine);
}

}  // namespace
