// Recording body of the window layer (native trees). Handles are ids: a kind
// tag in the top four bits and a serial below, never reused until Reset, so
// a stale or foreign handle is recognised and reported instead of reaching
// another object.
#include "platform/window_record.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <utility>

namespace winrec {
namespace {

[[noreturn]] void Fault(const char* call, const char* what, const void* handle) {
    std::fprintf(stderr, "winrec: %s: %s (%p)\n", call, what, handle);
    std::fflush(stderr);
    std::abort();
}

constexpr unsigned kTagShift = 28;
constexpr uintptr_t kSerialMask = (uintptr_t(1) << kTagShift) - 1;

// One kind of handle: its objects in order of creation, released ones kept
// (marked dead) so that their serials are never given out again.
template <typename T>
class Table {
public:
    Table(uintptr_t tag, const char* kind, const char* gone) : tag_(tag), kind_(kind), gone_(gone) {}

    void* Add(T value) {
        slots_.push_back(Slot{std::move(value), true});
        ++live_;
        return reinterpret_cast<void*>((tag_ << kTagShift) | slots_.size());
    }
    // The live object of a handle; a null, foreign or released one is a fault.
    T& Get(const void* h, const char* call) {
        if (!h) Fault(call, NullMessage(), h);
        Slot* s = Find(h);
        if (!s) Fault(call, ForeignMessage(), h);
        if (!s->live) Fault(call, GoneMessage(), h);
        return s->value;
    }
    // The live object of a handle, or null.
    T* Live(const void* h) {
        Slot* s = Find(h);
        return s && s->live ? &s->value : nullptr;
    }
    void Drop(const void* h, const char* call) {
        Get(h, call);
        Find(h)->live = false;
        --live_;
    }
    int32_t live() const { return live_; }
    // Calls f(handle, object) for every live object.
    template <typename F>
    void ForEachLive(F f) {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].live)
                f(reinterpret_cast<void*>((tag_ << kTagShift) | (i + 1)), slots_[i].value);
    }

private:
    struct Slot {
        T value;
        bool live;
    };
    Slot* Find(const void* h) {
        const uintptr_t v = reinterpret_cast<uintptr_t>(h);
        const uintptr_t serial = v & kSerialMask;
        if ((v >> kTagShift) != tag_ || serial == 0 || serial > slots_.size()) return nullptr;
        return &slots_[serial - 1];
    }
    const char* NullMessage() {
        std::snprintf(message_, sizeof message_, "null %s", kind_);
        return message_;
    }
    const char* ForeignMessage() {
        std::snprintf(message_, sizeof message_, "not a %s this layer gave out", kind_);
        return message_;
    }
    const char* GoneMessage() {
        std::snprintf(message_, sizeof message_, "%s already %s", kind_, gone_);
        return message_;
    }

    uintptr_t tag_;
    const char* kind_;
    const char* gone_;
    std::deque<Slot> slots_;  // a deque keeps State() pointers valid as it grows
    int32_t live_ = 0;
    char message_[64];
};

struct DCState {
    win::Window window = nullptr;  // null: the screen
    uint32_t text = win::kBlack;
    uint32_t back = win::kWhite;
    uint32_t align = 0;            // TA_LEFT | TA_TOP
    win::Font font = nullptr;      // null: the system font
    bool clipped = false;
    win::Rect clip{0, 0, 0, 0};
};

struct Clipboard {
    bool openable = true;
    bool open = false;
    win::Window owner = nullptr;
    bool hasText = false;
    std::string text;
};

intptr_t VANDU_STDCALL DefaultHostProc(win::Window, uint32_t, uintptr_t, intptr_t);
intptr_t VANDU_STDCALL ScrollBarProc(win::Window, uint32_t, uintptr_t, intptr_t) { return 0; }

struct Recorder {
    Table<WindowState> windows{1, "window", "destroyed"};
    Table<DCState> dcs{2, "device context", "released"};
    Table<FontState> fonts{3, "font", "deleted"};
    Table<win::Rect> regions{4, "region", "deleted"};
    std::vector<Op> ops;
    int32_t defaultProcCalls = 0;
    int32_t failScrollBars = 0;
    int32_t failFonts = 0;
    uint32_t messageTime = 0;
    int32_t cursorX = 0, cursorY = 0;
    uint8_t keys[256] = {};
    bool keyboardReadable = true;
    int32_t mouseButtonIn = -1;  // polls until a button message shows; -1: none queued
    int32_t mouseButtonPolls = 0;
    std::function<void(int32_t)> onPoll;
    Clipboard clip;
};

Recorder& Rec() {
    static Recorder rec;
    return rec;
}

intptr_t VANDU_STDCALL DefaultHostProc(win::Window, uint32_t, uintptr_t, intptr_t) {
    ++Rec().defaultProcCalls;
    return 0;
}

WindowState& LiveWindow(win::Window w, const char* call) { return Rec().windows.Get(w, call); }

WindowState& LiveScrollBar(win::Window w, const char* call) {
    WindowState& s = LiveWindow(w, call);
    if (!s.scrollBar) Fault(call, "window is not a scroll bar", w);
    return s;
}

// A DC that can be drawn on: live, and its window (if any) not destroyed.
DCState& DrawingDC(win::DC dc, const char* call) {
    DCState& d = Rec().dcs.Get(dc, call);
    if (d.window && !Rec().windows.Live(d.window))
        Fault(call, "the device context's window was destroyed", dc);
    return d;
}

Op OpOn(Op::Kind kind, const DCState& d) {
    Op op{};
    op.kind = kind;
    op.window = d.window;
    op.clipped = d.clipped;
    op.clip = d.clip;
    return op;
}

Op OpOnWindow(Op::Kind kind, win::Window w, const win::Rect& r) {
    Op op{};
    op.kind = kind;
    op.window = w;
    op.rect = r;
    return op;
}

// Screen position of the window's client area.
void ClientOrigin(win::Window w, const char* call, int32_t* x, int32_t* y) {
    const WindowState& s = LiveWindow(w, call);
    int32_t px = 0, py = 0;
    if (s.parent) ClientOrigin(s.parent, call, &px, &py);
    *x = px + s.rect.left;
    *y = py + s.rect.top;
}

// The scroll-bar control's rules: a minimum above the maximum gives the
// empty range 0..0; the page is at most the range's size; the position
// stays within minimum..maximum - page + 1.
void ClampScroll(WindowState& s, win::ScrollState v) {
    if (v.min > v.max) v.min = v.max = 0;
    const int64_t span = static_cast<int64_t>(v.max) - v.min + 1;
    // nPage is unsigned: a negative page is a huge one.
    if (v.page < 0 || v.page > span) v.page = static_cast<int32_t>(span < INT32_MAX ? span : INT32_MAX);
    s.scroll = v;
    s.scrollDisabled = v.min >= v.max || v.page > static_cast<int64_t>(v.max) - v.min;
}

int32_t ClampPos(const win::ScrollState& v, int32_t pos) {
    const int64_t page = v.page > 1 ? v.page : 1;
    const int64_t last = static_cast<int64_t>(v.max) - page + 1;
    const int64_t hi = last > v.min ? last : v.min;
    if (pos < v.min) return v.min;
    if (pos > hi) return static_cast<int32_t>(hi);
    return pos;
}

Clipboard& OpenClipboard(const char* call) {
    Clipboard& c = Rec().clip;
    if (!c.open) Fault(call, "the clipboard is not open", nullptr);
    return c;
}

}  // namespace

// ---- The recorder's own interface ----------------------------------------

void Reset() { Rec() = Recorder(); }

win::Window NewHostWindow(int32_t left, int32_t top, int32_t width, int32_t height, win::Proc proc) {
    WindowState s;
    s.rect = {left, top, left + width, top + height};
    s.proc = proc ? proc : reinterpret_cast<win::Proc>(&DefaultHostProc);
    return Rec().windows.Add(s);
}

void DestroyHostWindow(win::Window w) {
    if (LiveWindow(w, "DestroyHostWindow").parent) Fault("DestroyHostWindow", "not a host window", w);
    win::DestroyWin(w);
}

WindowState* State(win::Window w) { return Rec().windows.Live(w); }
bool IsLive(win::Window w) { return Rec().windows.Live(w) != nullptr; }
const FontState* FontInfo(win::Font f) { return Rec().fonts.Live(f); }

intptr_t Send(win::Window w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return win::CallProc(LiveWindow(w, "Send").proc, w, message, wParam, lParam);
}

int32_t DefaultProcCalls() { return Rec().defaultProcCalls; }

const std::vector<Op>& Ops() { return Rec().ops; }
void ClearOps() { Rec().ops.clear(); }
int32_t CountOps(Op::Kind kind) {
    int32_t n = 0;
    for (const Op& op : Rec().ops) n += op.kind == kind;
    return n;
}

int32_t LiveWindows() { return Rec().windows.live(); }
int32_t LiveDCs() { return Rec().dcs.live(); }
int32_t LiveFonts() { return Rec().fonts.live(); }
int32_t LiveRegions() { return Rec().regions.live(); }
void FailScrollBars(int32_t n) { Rec().failScrollBars = n; }
void FailFonts(int32_t n) { Rec().failFonts = n; }

win::FontMetrics MetricsOf(int32_t height) {
    int64_t h = height < 0 ? -static_cast<int64_t>(height) : height;
    if (h == 0) h = 16;
    if (h > INT32_MAX) h = INT32_MAX;
    const int32_t tm = static_cast<int32_t>(h);
    return win::FontMetrics{tm, tm / 4, 1, tm / 2 > 1 ? tm / 2 : 1};
}

void SetMessageTime(uint32_t t) { Rec().messageTime = t; }

void SetCursorScreen(int32_t x, int32_t y) {
    Rec().cursorX = x;
    Rec().cursorY = y;
}

void SetKey(int32_t vk, bool down) {
    if (vk < 0 || vk > 255) Fault("SetKey", "virtual key outside 0..255", nullptr);
    Rec().keys[vk] = down ? 0x80 : 0;
}

void SetKeyboardReadable(bool readable) { Rec().keyboardReadable = readable; }
void QueueMouseButton(int32_t afterPolls) { Rec().mouseButtonIn = afterPolls < 0 ? -1 : afterPolls; }
int32_t MouseButtonPolls() { return Rec().mouseButtonPolls; }
void OnMouseButtonPoll(std::function<void(int32_t)> hook) { Rec().onPoll = std::move(hook); }

bool ClipboardHasText() { return Rec().clip.hasText; }
std::string ClipboardText() { return Rec().clip.text; }

void SetClipboardText(const std::string& text) {
    Rec().clip.hasText = true;
    Rec().clip.text = text;
}

void SetClipboardOpenable(bool openable) { Rec().clip.openable = openable; }

win::Rect WindowRect(win::Window w) {
    const WindowState& st = LiveWindow(w, "WindowRect");
    int32_t ox, oy;
    ClientOrigin(w, "WindowRect", &ox, &oy);
    win::Rect r{ox, oy, ox + (st.rect.right - st.rect.left), oy + (st.rect.bottom - st.rect.top)};
    if (!st.parent) {
        r.left -= kFrame;
        r.top -= kCaption + kFrame;
        r.right += kFrame;
        r.bottom += kFrame;
    }
    return r;
}

}  // namespace winrec

// ---- The window layer ----------------------------------------------------

namespace win {
using winrec::DCState;
using winrec::Fault;
using winrec::Op;
using winrec::Rec;

DC GetWindowDC(Window w) {
    // As GetDC does, a handle that names no window gets no DC: the host's
    // application window is a value the list window only passes on.
    if (w && !winrec::IsLive(w)) return nullptr;
    DCState d;
    d.window = w;
    return Rec().dcs.Add(d);
}

void ReleaseWindowDC(Window w, DC dc) {
    if (Rec().dcs.Get(dc, "ReleaseWindowDC").window != w)
        Fault("ReleaseWindowDC", "device context belongs to another window", dc);
    Rec().dcs.Drop(dc, "ReleaseWindowDC");
}

Font NewFont(int32_t height, int32_t weight, uint8_t pitchAndFamily, const char* face) {
    if (Rec().failFonts > 0) {
        --Rec().failFonts;
        return nullptr;
    }
    winrec::FontState f;
    f.height = height;
    f.weight = weight;
    f.pitchAndFamily = pitchAndFamily;
    if (face) f.face.assign(face, strnlen(face, 31));
    return Rec().fonts.Add(std::move(f));
}

void DeleteFont(Font f) {
    if (!f) return;
    Rec().fonts.Get(f, "DeleteFont");
    Rec().dcs.ForEachLive([f](void* dc, const DCState& d) {
        if (d.font == f) Fault("DeleteFont", "font still selected into a device context", dc);
    });
    Rec().fonts.Drop(f, "DeleteFont");
}

Font SelectFont(DC dc, Font f) {
    DCState& d = winrec::DrawingDC(dc, "SelectFont");
    if (f) Rec().fonts.Get(f, "SelectFont");
    return std::exchange(d.font, f);
}

bool MeasureFont(DC dc, FontMetrics* out) {
    const DCState& d = winrec::DrawingDC(dc, "MeasureFont");
    *out = winrec::MetricsOf(d.font ? Rec().fonts.Get(d.font, "MeasureFont").height : 0);
    return true;
}

uint32_t TextColour(DC dc) { return winrec::DrawingDC(dc, "TextColour").text; }
uint32_t SetTextColour(DC dc, uint32_t colour) {
    return std::exchange(winrec::DrawingDC(dc, "SetTextColour").text, colour);
}
uint32_t SetBackColour(DC dc, uint32_t colour) {
    return std::exchange(winrec::DrawingDC(dc, "SetBackColour").back, colour);
}
uint32_t SetTextAlignment(DC dc, uint32_t align) {
    return std::exchange(winrec::DrawingDC(dc, "SetTextAlignment").align, align);
}

// The default scheme's highlight, window and text colours; GetSysColor
// answers 0 for the other indexes here, which the list window never asks for.
uint32_t SystemColour(int32_t index) {
    switch (index) {
        case kColorHighlight: return 0x00800000;      // navy
        case kColorHighlightText: return kWhite;
        case 5: return kWhite;                        // COLOR_WINDOW
        case 8: return kBlack;                        // COLOR_WINDOWTEXT
        default: return 0;
    }
}

void FillWhite(DC dc, const Rect& r) {
    Op op = winrec::OpOn(Op::kFillWhite, winrec::DrawingDC(dc, "FillWhite"));
    op.rect = r;
    op.colour = kWhite;
    Rec().ops.push_back(std::move(op));
}

void FrameBlack(DC dc, const Rect& r) {
    Op op = winrec::OpOn(Op::kFrameBlack, winrec::DrawingDC(dc, "FrameBlack"));
    op.rect = r;
    op.colour = kBlack;
    Rec().ops.push_back(std::move(op));
}

void FillSolid(DC dc, const Rect& r, uint32_t colour) {
    Op op = winrec::OpOn(Op::kFillSolid, winrec::DrawingDC(dc, "FillSolid"));
    op.rect = r;
    op.colour = colour;
    Rec().ops.push_back(std::move(op));
}

void TextRun(DC dc, int32_t x, int32_t y, const uint8_t* bytes, int32_t n) {
    const DCState& d = winrec::DrawingDC(dc, "TextRun");
    if (n < 0) Fault("TextRun", "negative byte count", dc);
    if (n > 0 && !bytes) Fault("TextRun", "null text", dc);
    Op op = winrec::OpOn(Op::kText, d);
    op.colour = d.text;
    op.backColour = d.back;
    op.x = x;
    op.y = y;
    // Every byte is read, so a run that reaches outside its buffer shows
    // under the sanitizers and valgrind.
    if (n > 0) op.text.assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
    op.font = d.font;
    op.align = d.align;
    Rec().ops.push_back(std::move(op));
}

Region NewRegion() { return Rec().regions.Add(Rect{0, 0, 0, 0}); }

void DeleteRegion(Region rgn) {
    if (rgn) Rec().regions.Drop(rgn, "DeleteRegion");
}

void SetRegionRect(Region rgn, const Rect& r) { Rec().regions.Get(rgn, "SetRegionRect") = r; }

// The DC keeps a copy, as SelectClipRgn does; a null region removes the clip.
void SelectClip(DC dc, Region rgn) {
    DCState& d = winrec::DrawingDC(dc, "SelectClip");
    d.clipped = rgn != nullptr;
    d.clip = rgn ? Rec().regions.Get(rgn, "SelectClip") : Rect{0, 0, 0, 0};
}

int32_t VScrollWidth() { return 16; }

Window NewScrollBar(Window parent, const Rect& r) {
    winrec::LiveWindow(parent, "NewScrollBar");
    if (Rec().failScrollBars > 0) {
        --Rec().failScrollBars;
        return nullptr;
    }
    winrec::WindowState s;
    s.parent = parent;
    s.scrollBar = true;
    s.rect = r;
    s.proc = reinterpret_cast<Proc>(&winrec::ScrollBarProc);
    return Rec().windows.Add(s);
}

// Children go with their parent, as DestroyWindow takes them.
void DestroyWin(Window w) {
    Rec().windows.Drop(w, "DestroyWin");
    std::vector<Window> children;
    Rec().windows.ForEachLive([w, &children](void* h, const winrec::WindowState& s) {
        if (s.parent == w) children.push_back(h);
    });
    for (Window child : children) DestroyWin(child);
    if (Rec().clip.open && Rec().clip.owner == w) Rec().clip.owner = nullptr;
}

void SetWindowData(Window w, void* data) { winrec::LiveWindow(w, "SetWindowData").data = data; }

void SetScroll(Window bar, const ScrollState& s, bool redraw) {
    winrec::WindowState& st = winrec::LiveScrollBar(bar, "SetScroll");
    winrec::ClampScroll(st, s);
    st.scroll.pos = winrec::ClampPos(st.scroll, s.pos);
    st.redraws += redraw;
}

int32_t ScrollPos(Window bar) { return winrec::LiveScrollBar(bar, "ScrollPos").scroll.pos; }

void SetScrollPos(Window bar, int32_t pos, bool redraw) {
    winrec::WindowState& st = winrec::LiveScrollBar(bar, "SetScrollPos");
    st.scroll.pos = winrec::ClampPos(st.scroll, pos);
    st.redraws += redraw;
}

void MoveWin(Window w, const Rect& r, bool repaint) {
    winrec::WindowState& st = winrec::LiveWindow(w, "MoveWin");
    st.rect = r;
    ++st.moves;
    st.redraws += repaint;
}

void InvalidateArea(Window w, const Rect& r, bool erase) {
    winrec::LiveWindow(w, "InvalidateArea");
    Op op = winrec::OpOnWindow(Op::kInvalidate, w, r);
    op.x = erase;
    Rec().ops.push_back(std::move(op));
}

void ValidateArea(Window w, const Rect& r) {
    winrec::LiveWindow(w, "ValidateArea");
    Rec().ops.push_back(winrec::OpOnWindow(Op::kValidate, w, r));
}

// The rows moved out of r leave a strip of |dy| rows at the top (dy > 0)
// or the bottom (dy < 0), at most all of r.
void ScrollArea(Window w, int32_t dy, const Rect& r, Rect* uncovered) {
    winrec::LiveWindow(w, "ScrollArea");
    Op op = winrec::OpOnWindow(Op::kScroll, w, r);
    op.y = dy;
    Rec().ops.push_back(std::move(op));
    if (!uncovered) return;
    Rect u = r;
    if (dy > 0 && static_cast<int64_t>(r.top) + dy < r.bottom)
        u.bottom = r.top + dy;
    else if (dy < 0 && static_cast<int64_t>(r.bottom) + dy > r.top)
        u.top = r.bottom + dy;
    else if (dy == 0)
        u = Rect{0, 0, 0, 0};
    *uncovered = u;
}

Proc SetWindowProc(Window w, Proc p) {
    winrec::WindowState& st = winrec::LiveWindow(w, "SetWindowProc");
    if (!p) Fault("SetWindowProc", "null window procedure", w);
    return std::exchange(st.proc, p);
}

intptr_t CallProc(Proc p, Window w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!p) Fault("CallProc", "null window procedure", w);
    return reinterpret_cast<ProcFn>(p)(w, message, wParam, lParam);
}

uint32_t MessageTime() { return Rec().messageTime; }

bool CursorPos(int32_t* x, int32_t* y) {
    *x = Rec().cursorX;
    *y = Rec().cursorY;
    return true;
}

bool ToClient(Window w, int32_t* x, int32_t* y) {
    int32_t ox, oy;
    winrec::ClientOrigin(w, "ToClient", &ox, &oy);
    *x -= ox;
    *y -= oy;
    return true;
}

bool KeyboardState(uint8_t keys[256]) {
    if (!Rec().keyboardReadable) return false;
    std::memcpy(keys, Rec().keys, 256);
    return true;
}

bool MouseButtonWaiting() {
    winrec::Recorder& rec = Rec();
    const int32_t poll = rec.mouseButtonPolls++;
    if (rec.onPoll) {
        // A copy: the hook may replace itself.
        const std::function<void(int32_t)> hook = rec.onPoll;
        hook(poll);
    }
    if (rec.mouseButtonIn < 0) return false;
    if (rec.mouseButtonIn == 0) return true;
    --rec.mouseButtonIn;
    return false;
}

bool OpenClip(Window owner) {
    if (owner) winrec::LiveWindow(owner, "OpenClip");
    winrec::Clipboard& c = Rec().clip;
    if (c.open) Fault("OpenClip", "the clipboard is already open", owner);
    if (!c.openable) return false;
    c.open = true;
    c.owner = owner;
    return true;
}

void EmptyClip() {
    winrec::Clipboard& c = winrec::OpenClipboard("EmptyClip");
    c.hasText = false;
    c.text.clear();
}

// Opened without an owner window, the clipboard takes no data.
bool PutClipText(const uint8_t* bytes, int32_t n) {
    winrec::Clipboard& c = winrec::OpenClipboard("PutClipText");
    if (n < 0 || !c.owner) return false;
    if (n > 0 && !bytes) Fault("PutClipText", "null text", nullptr);
    // A CF_TEXT reader sees the text up to its first NUL.
    const char* p = reinterpret_cast<const char*>(bytes);
    c.text.assign(p, n > 0 ? strnlen(p, static_cast<size_t>(n)) : 0);
    c.hasText = true;
    return true;
}

void CloseClip() { winrec::OpenClipboard("CloseClip").open = false; }

}  // namespace win
