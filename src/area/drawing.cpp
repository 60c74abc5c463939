// Laying a list area out and painting it: the design-time picture, the
// run-time paint with its resize check, the rows with the highlighted
// selection, and single-row redraws for selection moves and scrolling.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "area/area.h"
#include "area/area_internal.h"
#include "entry/globals.h"

namespace {

constexpr char kEmptyText[] = " ** Empty **";
constexpr char kCaption[] = "Vandu List: ";

// Rows that fit a height and columns that fit a width, never negative: an
// area smaller than one row or column shows none. The height loses the frame
// above and below (2). A short list shows at most six empty rows below its
// last line, so a tall area does not frame a large empty box. The width loses
// the frame (2), the text's margins (4 on each side) and the scroll bar (16).
int32_t RowsFor(const AreaRec* a, int32_t height) {
    if (a->lineHeight <= 0) return 0;
    const int64_t rows = std::min<int64_t>((height - 2) / a->lineHeight,
                                           static_cast<int64_t>(a->listCopy.lineCount) + 6);
    return static_cast<int32_t>(std::max<int64_t>(rows, 0));
}

int16_t ColsFor(const AreaRec* a, int32_t width) {
    if (a->charWidth <= 0) return 0;
    const int32_t cols = std::min<int32_t>((width - 26) / a->charWidth, a->maxCol);
    return static_cast<int16_t>(std::max<int32_t>(cols, 0));
}

void ClipTo(const AreaRec* a, win::DC dc, const win::Rect& r) {
    Globals* g = a->globals;
    if (!g || !g->clipRegion) return;
    win::SetRegionRect(g->clipRegion, r);
    win::SelectClip(dc, g->clipRegion);
}

void DrawString(win::DC dc, int32_t x, int32_t y, const char* text) {
    win::TextRun(dc, x, y, reinterpret_cast<const uint8_t*>(text),
                 static_cast<int32_t>(std::strlen(text)));
}

// Selects the area's font and text colour into its DC for the life of the
// object, and puts the previous ones back after.
class TextState {
public:
    TextState(const AreaRec* a, win::DC dc) : dc_(dc), font_(a->font) {
        if (font_) previousFont_ = win::SelectFont(dc_, font_);
        previousColour_ = win::SetTextColour(dc_, a->textColor);
    }
    ~TextState() {
        win::SetTextColour(dc_, previousColour_);
        if (font_) win::SelectFont(dc_, previousFont_);
    }
    TextState(const TextState&) = delete;
    TextState& operator=(const TextState&) = delete;

private:
    win::DC dc_;
    win::Font font_;
    win::Font previousFont_ = nullptr;
    uint32_t previousColour_ = 0;
};

void DrawLineText(const AreaRec* a, const area::LineBuffer& buf, win::DC dc, int32_t line,
                  int32_t x, int32_t y) {
    int32_t n = 0;
    const uint8_t* text = buf.Text(line, 1, a->cols, &n);
    if (n > 0) win::TextRun(dc, x, y, text, n);
}

}  // namespace

win::DC AreaDC(const AreaRec* area) {
    return area->hostObj ? area::DrawDC(area->hostObj) : nullptr;
}

// The object's rectangle. An object whose second rectangle has no height is
// drawn one pixel up and to the left, so that the area's frame covers the
// host's own outline of the field instead of lying inside it.
AreaRect GetAreaRect(const void* obj) {
    AreaRect r;
    r.left = ReadAt<int16_t>(obj, hostobj::kObjRect);
    r.top = ReadAt<int16_t>(obj, hostobj::kObjRect + 2);
    r.right = ReadAt<int16_t>(obj, hostobj::kObjRect + 4);
    r.bottom = ReadAt<int16_t>(obj, hostobj::kObjRect + 6);
    if (ReadAt<int16_t>(obj, hostobj::kObjRect2 + 2) == ReadAt<int16_t>(obj, hostobj::kObjRect2 + 6)) {
        --r.left;
        --r.top;
        --r.right;
        --r.bottom;
    }
    return r;
}

// The text rectangle sits inside the frame with a 4-pixel margin each side of
// the text; the scroll bar takes the 16 pixels to its right and reaches one
// pixel lower, onto the frame's bottom edge.
void SetRects(void* obj, AreaRec* a) {
    a->areaRect = GetAreaRect(obj);
    a->rows = RowsFor(a, a->areaRect.bottom - a->areaRect.top);
    a->cols = ColsFor(a, a->areaRect.right - a->areaRect.left);
    AreaRect& t = a->textRect;
    t.left = a->areaRect.left + 1;
    t.top = a->areaRect.top + 1;
    t.right = t.left + static_cast<int16_t>(a->cols * a->charWidth) + 8;
    t.bottom = t.top + static_cast<int16_t>(a->rows * a->lineHeight);
    a->baseY = static_cast<int16_t>(t.top + a->ascent);
    a->textX = static_cast<int16_t>(t.left + 4);
    a->rowRect = {t.left, t.top, t.right, t.top + a->lineHeight};
    a->scrollRect = {t.right, t.top, t.right + 16, t.bottom + 1};
}

void DesignDraw(void* obj, HostCallback cb) {
    AreaRect r = GetAreaRect(obj);
    AreaRec* a = AreaOfObject(obj);
    const bool found = ListForObject(obj, cb) != 0;
    Globals* g = a ? a->globals : nullptr;
    if (found) {
        SyncAreaToList(a, g->curList);
        SecureWindow(obj, a);
        ConfigLineFont(obj, cb, true);
        a->maxCol = GetFldInt(kRefParam1 + 1, cb);
        SetRects(obj, a);
        r.right = a->scrollRect.right;
        r.bottom = a->scrollRect.bottom;
    }
    win::DC dc = area::DrawDC(obj);
    if (!dc) return;
    win::Rect w = area::ToWin(r);
    win::FillWhite(dc, w);
    win::FrameBlack(dc, {w.left - 1, w.top - 1, w.right + 1, w.bottom + 1});
    win::FrameBlack(dc, {w.left - 1, w.top - 1, w.right + 1 - win::VScrollWidth(), w.bottom + 1});
    // The design picture's text: the caption 10 pixels below the top, then
    // the path and the size below it, a line of 20 pixels each; the list's
    // first line stands on the last row, lifted by the same 10 pixels.
    w = {w.left, w.top - 10, w.right - win::VScrollWidth(), w.bottom};

    char text[300];
    std::snprintf(text, sizeof text, "%s%s", kCaption,
                  g ? reinterpret_cast<const char*>(g->listName + 1) : "");
    DrawString(dc, w.left + 10, w.top + 20, text);
    if (found) {
        a->textColor = win::TextColour(dc);
        ClipTo(a, dc, w);
        const uint8_t* path = a->listCopy.path;
        win::TextRun(dc, w.left + 10, w.top + 40, path + 1, std::min<int32_t>(path[0], 255));
        std::snprintf(text, sizeof text, "%d lines high, %d columns wide (%d max)",
                      static_cast<int>(a->rows), static_cast<int>(a->cols),
                      static_cast<int>(a->maxCol));
        DrawString(dc, w.left + 10, w.top + 60, text);
        if (a->listCopy.lines) {
            area::LineBuffer buf(a);
            DrawLineText(a, buf, dc, 0, a->textX, a->baseY + a->lineHeight * (a->rows - 1) - 10);
        }
    }
    if (g && g->clipRegion) {
        win::SetRegionRect(g->clipRegion,
                           {ReadAt<int16_t>(obj, hostobj::kObjRect), ReadAt<int16_t>(obj, hostobj::kObjRect + 2),
                            ReadAt<int16_t>(obj, hostobj::kObjRect + 4),
                            ReadAt<int16_t>(obj, hostobj::kObjRect + 6)});
        win::SelectClip(dc, g->clipRegion);
    }
}

void RuntimeDraw(void* obj, HostCallback, bool resized) {
    AreaRec* a = AreaOfObject(obj);
    if (a->shown && !a->scrollWindow) AttachScrollBar(obj, a);
    if (!a->shown) return;
    DrawContents(a);
    if (!resized) {
        if (a->scrollWindow) win::MoveWin(a->scrollWindow, area::ToWin(a->scrollRect), true);
        if (a->hostWindow) win::ValidateArea(a->hostWindow, area::ToWin(a->textRect));
    } else if (a->hostWindow) {
        win::ValidateArea(a->hostWindow, area::ToWin(a->scrollRect));
    }
}

void PaintRequest(void* obj, HostCallback cb) {
    AreaRec* a = AreaOfObject(obj);
    const AreaRect old = a->areaRect;
    const AreaRect now = GetAreaRect(obj);
    bool resized = false;
    if (a->scrollWindow && a->lineHeight && a->charWidth) {
        const int32_t rows = RowsFor(a, now.bottom - now.top);
        const int16_t cols = ColsFor(a, now.right - now.left);
        if (rows != a->rows || cols != a->cols) {
            resized = true;
            const int32_t count = a->listCopy.lineCount;
            if (a->topLine > count - rows) a->topLine = std::max(0, count - rows);
            SetRects(obj, a);
            if (a->hostWindow) win::InvalidateArea(a->hostWindow, area::ToWin(old), true);
        }
    }
    RuntimeDraw(obj, cb, resized);
    if (resized && a->scrollWindow) {
        win::MoveWin(a->scrollWindow, area::ToWin(a->scrollRect), true);
        MySetCtlValue(a, a->topLine);
    }
}

void ClipRequest(void* obj) {
    AreaRec* a = AreaOfObject(obj);
    if (win::DC dc = area::DrawDC(obj)) ClipTo(a, dc, area::ToWin(a->textRect));
}

void DrawContents(AreaRec* a) {
    win::DC dc = AreaDC(a);
    if (!dc) return;
    const win::Rect text = area::ToWin(a->textRect);
    win::SetTextAlignment(dc, win::kAlignBaseline);
    win::FrameBlack(dc, {text.left - 1, text.top - 1, a->scrollRect.right + 1, text.bottom + 1});
    win::FillWhite(dc, text);
    ClipTo(a, dc, text);
    {
        TextState state(a, dc);
        const int32_t count = a->listCopy.lineCount;
        if (count == 0) {
            DrawString(dc, a->textX, a->baseY, kEmptyText);
        } else {
            area::LineBuffer buf(a);
            for (int32_t i = 0; i < a->rows && a->topLine + i < count; ++i)
                DrawLineText(a, buf, dc, a->topLine + i, a->textX, a->baseY + i * a->lineHeight);
        }
        const int32_t row = a->selection - a->topLine;
        if (count > 0 && row >= 0 && row < a->rows && a->selection < count) GoFlip(a, row, true);
    }
    UnClip(a);
}

void DrawOne(AreaRec* a, int32_t line, int32_t x, int32_t y) {
    win::DC dc = AreaDC(a);
    if (!dc) return;
    win::SetTextAlignment(dc, win::kAlignBaseline);
    ClipTo(a, dc, area::ToWin(a->textRect));
    {
        TextState state(a, dc);
        area::LineBuffer buf(a);
        DrawLineText(a, buf, dc, line, x, y);
    }
    UnClip(a);
}

void GoFlip(AreaRec* a, int32_t row, bool on) {
    win::DC dc = AreaDC(a);
    // A row outside the view would paint outside the area.
    if (!dc || row < 0 || row >= a->rows) return;
    win::Rect r = area::ToWin(a->rowRect);
    if (row > 0) {
        r.top += row * a->lineHeight;
        r.bottom += row * a->lineHeight;
    }
    uint32_t previousBack = 0;
    const uint32_t previousText = a->textColor;
    if (on) {
        const uint32_t highlight = win::SystemColour(win::kColorHighlight);
        previousBack = win::SetBackColour(dc, highlight);
        a->textColor = win::SystemColour(win::kColorHighlightText);
        win::FillSolid(dc, r, highlight);
    } else {
        win::FillWhite(dc, r);
    }
    DrawOne(a, a->topLine + row, a->textX, a->baseY + row * a->lineHeight);
    if (on) {
        win::SetBackColour(dc, previousBack);
        a->textColor = previousText;
    }
}

void UnClip(AreaRec* a) {
    win::DC dc = AreaDC(a);
    if (!dc) return;
    const AreaRect& t = a->textRect;
    ClipTo(a, dc, {t.left - 100, t.top - 100, t.right + 100, t.bottom + 100});
}

void FrameSel(AreaRec* a) {
    const int32_t count = a->listCopy.lineCount;
    if (a->rows >= count) {
        a->topLine = 0;
        return;
    }
    const int32_t half = a->rows / 2;
    if (a->selection < half)
        a->topLine = 0;
    else if (static_cast<int64_t>(a->selection) + a->rows - half > count)
        a->topLine = std::max(0, count - a->rows);
    else
        a->topLine = a->selection - half;
}

void MakeSelVisible(AreaRec* a) {
    if (a->selection < a->topLine || a->selection >= static_cast<int64_t>(a->topLine) + a->rows)
        FrameSel(a);
}
