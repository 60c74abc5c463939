// Helpers shared by the list window's files: the object's host record, the
// area's locked line buffer and the scroll bar's fixed scale.
#pragma once
#include <cstdint>

#include "area/arearec.h"
#include "host/hostobj.h"
#include "host/memory.h"
#include "platform/window.h"

namespace area {

// The scroll bar's scale: positions 1..32767 when the list is longer than
// the rows, a disabled 0..0 bar otherwise.
constexpr int32_t kThumbMax = 32767;

inline win::Window ObjWindow(const void* obj) { return ReadAt<win::Window>(obj, hostobj::kObjWindow); }
inline win::Window DrawWindow(const void* obj) { return ReadAt<win::Window>(obj, hostobj::kDrawWindow); }
inline win::DC DrawDC(const void* obj) { return ReadAt<win::DC>(obj, hostobj::kDrawDC); }
inline void SetDrawDC(void* obj, win::DC dc) { WriteAt<win::DC>(obj, hostobj::kDrawDC, dc); }

inline win::Rect ToWin(const AreaRect& r) { return {r.left, r.top, r.right, r.bottom}; }

inline bool SelectionInView(const AreaRec* a) {
    return a->selection >= a->topLine && a->selection < static_cast<int64_t>(a->topLine) + a->rows;
}

// A device context for the work when the host gave the object none: taken
// from the object's drawing window for the life of this object, then
// released and the object's field cleared again.
class WorkDC {
public:
    explicit WorkDC(void* obj) : obj_(obj) {
        window_ = obj ? DrawWindow(obj) : nullptr;
        if (window_ && !DrawDC(obj)) {
            SetDrawDC(obj, win::GetWindowDC(window_));
            own_ = true;
        }
    }
    ~WorkDC() {
        if (!own_) return;
        if (win::DC dc = DrawDC(obj_)) win::ReleaseWindowDC(window_, dc);
        SetDrawDC(obj_, nullptr);
    }
    WorkDC(const WorkDC&) = delete;
    WorkDC& operator=(const WorkDC&) = delete;

private:
    void* obj_;
    win::Window window_ = nullptr;
    bool own_ = false;
};

// Range, page and position of the area's scroll bar for a thumb position.
win::ScrollState ScrollStateFor(const AreaRec* a, int32_t pos);

// The area's line buffer, locked for the life of the object or until
// Release. Every read of it goes through Text, which cuts at the line's text
// and at the buffer.
class LineBuffer {
public:
    explicit LineBuffer(const AreaRec* a);
    // Unlocks the buffer before a host request that may re-enter the
    // external and replace it; the object reads nothing after.
    void Release();
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

    // Columns first..first + count - 1 (1-based) of a line, cut at the end
    // of the line's text (its terminator is never part of it) and of the
    // buffer; *n receives the number of bytes, 0 when none.
    const uint8_t* Text(int32_t line, int32_t first, int32_t count, int32_t* n) const;
    bool empty() const { return base_ == nullptr; }
    // For scans that read many lines at one column: the buffer's start and
    // the number of lines that lie wholly inside it (at most lineCount).
    const uint8_t* Base() const { return base_; }
    int32_t WholeLines() const;
    // Bytes of a line's text (its terminator left out).
    int32_t TextWidth() const;

private:
    const AreaRec* area_;
    LockedHandle locked_;
    const uint8_t* base_ = nullptr;
    uint32_t size_ = 0;
};

}  // namespace area
