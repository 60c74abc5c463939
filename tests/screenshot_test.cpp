// Pictures of a painted list area: the pixels read from the real window,
// written as PNG and decoded again. Windows only (under Wine inside Xvfb
// here); natively the window layer draws nothing.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <memory>
#include <string>
#include <vector>

#include "area/arearec.h"
#include "host.h"
#include "host/hostobj.h"
#include "png.h"
#include "support/list_host.h"

using vhost::Arg;

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // COLORREF values, as ReadPixels gives them
    uint32_t At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

Picture Decode(const std::string& path) {
    Picture p;
    int channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> rgb(stbi_load(path.c_str(), &p.width, &p.height,
                                                            &channels, 3),
                                                  stbi_image_free);
    if (!rgb) return p;
    p.pixels.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
    for (size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = RGB(rgb.get()[3 * i], rgb.get()[3 * i + 1], rgb.get()[3 * i + 2]);
    return p;
}

class Screenshot : public listhost::ListHostTest {};

TEST_F(Screenshot, AreaPictureShowsFrameRowsSelectionAndText) {
    ASSERT_EQ(0, LoadBytes("five", "ADAMS  Anne\r\nBAKER  Bob \r\nCLARK  Cid \r\nDAVIS  Dan \r\n"
                                   "EVANS  Eve \r\nFRANK  Fay \r\nGREEN  Gus \r\n"));
    const int32_t window = host().OpenWindow(360, 200);
    const int32_t area = host().PlaceArea(window, 20, 15, 300, 95,
                                          {Arg::Text("five"), Arg::Num(40), Arg::Num(1),
                                           Arg::Num(5), Arg::Text("pick"), Arg::Text("dclk")});
    host().PaintWindow(window);
    ASSERT_TRUE(host().PressRow(area, 2));

    int32_t bounds[4];
    ASSERT_TRUE(host().AreaBounds(area, bounds));
    std::vector<uint32_t> read;
    ASSERT_TRUE(host().ReadPixels(window, bounds[0], bounds[1], bounds[2], bounds[3], &read));
    const std::string path = dir_.File("area.png");
    std::string error;
    ASSERT_TRUE(vhost::WritePng(path, bounds[2] - bounds[0], bounds[3] - bounds[1], read, &error))
        << error;
    const Picture p = Decode(path);
    ASSERT_EQ(bounds[2] - bounds[0], p.width);
    ASSERT_EQ(bounds[3] - bounds[1], p.height);
    EXPECT_EQ(read, p.pixels);  // exactly what the window shows

    const AreaRec* a = ReadAt<const AreaRec*>(host().ObjectRecord(area), hostobj::kAreaSlot);
    ASSERT_NE(a, nullptr);
    const int32_t dx = bounds[0], dy = bounds[1];
    const AreaRect t = a->textRect;
    const int32_t lh = a->lineHeight;
    ASSERT_GT(lh, 0);
    ASSERT_LT(a->rows, 7);  // the list is longer than the view: the bar is live
    // The frame, and the scroll bar inside the picture.
    EXPECT_EQ(0u, p.At(t.left - 1 - dx, t.top + lh - dy));
    EXPECT_EQ(0u, p.At(t.left + 5 - dx, t.top - 1 - dy));
    EXPECT_LT(a->scrollRect.right - dx, p.width);
    EXPECT_EQ(0u, p.At(a->scrollRect.right - dx, t.top + lh - dy));
    EXPECT_NE(kWhite, p.At((a->scrollRect.left + a->scrollRect.right) / 2 - dx,
                           (a->scrollRect.top + a->scrollRect.bottom) / 2 - dy));

    const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int32_t row = 0; row < a->rows; ++row) {
        const int32_t top = t.top + row * lh - dy;
        if (top + lh > t.bottom - dy) break;  // a row cut by the frame
        const uint32_t background = row == 2 ? highlight : kWhite;
        EXPECT_EQ(background, p.At(t.left + 1 - dx, top + 1)) << "row " << row;
        int32_t marks = 0;
        for (int32_t y = top; y < top + lh && y < p.height; ++y)
            for (int32_t x = t.left - dx; x < t.right - dx; ++x) marks += p.At(x, y) != background;
        EXPECT_GT(marks, 10) << "no text in row " << row;
    }
}

}  // namespace
#endif
