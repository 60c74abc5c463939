#include "host_windows.h"

#include <algorithm>

#include "area/arearec.h"
#include "callback.h"
#include "entry/entry.h"
#include "host/hostobj.h"
#include "state.h"

namespace vhost {
namespace {

// Room for every field the external touches, the template text at 906
// included.
constexpr size_t kRecordSize = 1024;
constexpr uint32_t kVScroll = 0x0115;  // WM_VSCROLL
constexpr size_t kDataFieldParam = 4;  // parameter 5 names the data field

// The name a parameter holds: a literal's text, or the text of the variable
// passed.
std::string NameIn(HostState& state, const Arg& a) {
    return a.isVariable ? state.Variable(a.variable).ToString() : a.literal.ToString();
}

// While it lives, references 210 onward answer an object's parameters and
// the call's parameters step aside; writes to the object's literal
// parameters stay with the object.
class ObjectParamsScope {
public:
    ObjectParamsScope(HostState& state, std::vector<Arg>& object)
        : state_(state), object_(object), call_(std::move(state.params)) {
        state_.params = object_;
    }
    ~ObjectParamsScope() {
        object_ = std::move(state_.params);
        state_.params = std::move(call_);
    }
    ObjectParamsScope(const ObjectParamsScope&) = delete;
    ObjectParamsScope& operator=(const ObjectParamsScope&) = delete;

private:
    HostState& state_;
    std::vector<Arg>& object_;
    std::vector<Arg> call_;
};

}  // namespace

struct WindowHost::Area {
    int32_t window = 0;
    std::vector<uint8_t> record = std::vector<uint8_t>(kRecordSize, 0);
    std::string face;  // fontName points into it
    std::vector<Arg> params;
    bool live = true;

    const AreaRec* Rec() const { return ReadAt<const AreaRec*>(record.data(), hostobj::kAreaSlot); }
};

struct WindowHost::Window {
    void* handle = nullptr;  // null once closed
    std::vector<int32_t> areas;
    int32_t focus = 0;  // the area last pressed: it takes the keys
};

WindowHost::WindowHost(HostState& state, Sender send) : state_(state), send_(std::move(send)) {}

WindowHost::~WindowHost() {
    for (const auto& w : windows_)
        if (w->handle) hostwin::Close(w->handle);
}

WindowHost::Area* WindowHost::LiveArea(int32_t id) {
    if (id < 1 || id > static_cast<int32_t>(areas_.size())) return nullptr;
    Area* a = areas_[static_cast<size_t>(id - 1)].get();
    return a->live ? a : nullptr;
}

WindowHost::Window* WindowHost::OpenOne(int32_t id) {
    if (id < 1 || id > static_cast<int32_t>(windows_.size())) return nullptr;
    Window* w = windows_[static_cast<size_t>(id - 1)].get();
    return w->handle ? w : nullptr;
}

void WindowHost::SendTo(Area& area, int32_t message) {
    ObjectParamsScope params(state_, area.params);
    send_(message, area.record.data());
}

int32_t WindowHost::OpenWindow(int32_t width, int32_t height) {
    auto w = std::make_unique<Window>();
    w->handle = hostwin::Open(this, static_cast<int32_t>(windows_.size()), width, height);
    if (!w->handle) return 0;
    windows_.push_back(std::move(w));
    return static_cast<int32_t>(windows_.size());
}

int32_t WindowHost::PlaceArea(int32_t window, const int16_t rect[4], const std::vector<Arg>& params,
                              const AreaFont& font) {
    Window* w = OpenOne(window);
    if (!w) return 0;
    auto a = std::make_unique<Area>();
    a->window = window;
    a->face = font.face;
    a->params = params;
    uint8_t* rec = a->record.data();
    WriteAt<int16_t>(rec, hostobj::kObjNumber, static_cast<int16_t>(w->areas.size() + 1));
    WriteAt<void*>(rec, hostobj::kObjWindow, w->handle);
    for (uint32_t i = 0; i < 4; ++i) {
        WriteAt<int16_t>(rec, hostobj::kObjRect + 2 * i, rect[i]);
        WriteAt<int16_t>(rec, hostobj::kObjRect2 + 2 * i, rect[i]);
    }
    WriteAt<void*>(rec, hostobj::kDrawWindow, w->handle);
    WriteAt<void*>(rec, hostobj::kDrawDC, nullptr);
    WriteAt<const char*>(rec, hostobj::kFontName, a->face.c_str());
    WriteAt<int16_t>(rec, hostobj::kFontSize, font.size);
    WriteAt<uint8_t>(rec, hostobj::kFontPitch, font.pitch);
    WriteAt<int16_t>(rec, hostobj::kFontWeight, font.weight);

    // The application defines the field the area writes its choice into.
    if (params.size() > kDataFieldParam) {
        const std::string field = NameIn(state_, params[kDataFieldParam]);
        if (!field.empty()) state_.Variable(field);
    }

    areas_.push_back(std::move(a));
    const int32_t id = static_cast<int32_t>(areas_.size());
    w->areas.push_back(id);
    Area& placed = *areas_.back();
    SendTo(placed, kMsgTemplate);
    SendTo(placed, kMsgInit);
    return id;
}

void WindowHost::PaintWindow(int32_t window) {
    if (Window* w = OpenOne(window)) hostwin::Paint(w->handle);
}

void WindowHost::PaintAreas(void* handle, void* dc) {
    for (const auto& w : windows_) {
        if (w->handle != handle) continue;
        for (int32_t id : w->areas) {
            Area* a = LiveArea(id);
            if (!a) continue;
            WriteAt<void*>(a->record.data(), hostobj::kDrawDC, dc);
            SendTo(*a, kMsgPaint);
            WriteAt<void*>(a->record.data(), hostobj::kDrawDC, nullptr);
        }
        return;
    }
}

void WindowHost::DesignDraw(int32_t area) {
    Area* a = LiveArea(area);
    if (!a) return;
    void* handle = windows_[static_cast<size_t>(a->window - 1)]->handle;
    void* dc = hostwin::BorrowDC(handle);
    WriteAt<void*>(a->record.data(), hostobj::kDrawDC, dc);
    SendTo(*a, kMsgDesignDraw);
    WriteAt<void*>(a->record.data(), hostobj::kDrawDC, nullptr);
    hostwin::ReturnDC(handle, dc);
}

void WindowHost::ClipArea(int32_t area) {
    if (Area* a = LiveArea(area)) SendTo(*a, kMsgClip);
}

void WindowHost::ReinitArea(int32_t area) {
    if (Area* a = LiveArea(area)) SendTo(*a, kMsgReinit);
}

void WindowHost::DestroyArea(int32_t area) {
    Area* a = LiveArea(area);
    if (!a) return;
    SendTo(*a, kMsgDestroy);
    a->live = false;
}

void WindowHost::CloseWindow(int32_t window) {
    Window* w = OpenOne(window);
    if (!w) return;
    for (int32_t id : w->areas) DestroyArea(id);
    hostwin::Close(w->handle);
    w->handle = nullptr;
}

void WindowHost::CloseAll() {
    for (size_t i = 0; i < windows_.size(); ++i) CloseWindow(static_cast<int32_t>(i + 1));
}

bool WindowHost::SendScroll(int32_t area, int32_t code, int32_t pos) {
    Area* a = LiveArea(area);
    const AreaRec* rec = a ? a->Rec() : nullptr;
    if (!rec || !rec->scrollWindow) return false;
    void* handle = windows_[static_cast<size_t>(a->window - 1)]->handle;
    const uintptr_t wParam = (static_cast<uint32_t>(code) & 0xFFFF) |
                             ((static_cast<uint32_t>(pos) & 0xFFFF) << 16);
    const intptr_t lParam = reinterpret_cast<intptr_t>(rec->scrollWindow);
    ObjectParamsScope params(state_, a->params);
    CurrentHostScope current(&state_);
    hostwin::Deliver(handle, kVScroll, wParam, lParam);
    return true;
}

bool WindowHost::SendKey(int32_t area, uint8_t code, bool shift, bool control) {
    Area* a = LiveArea(area);
    if (!a) return false;
    hostwin::HoldModifiers(shift, control);
    DeliverKey(*a, code);
    hostwin::HoldModifiers(false, false);
    return true;
}

void WindowHost::DeliverKey(Area& area, uint8_t code) {
    state_.keys.push_back({code, 0});
    SendTo(area, kMsgKey);
    // A key the external did not ask for does not wait for the next one.
    state_.keys.clear();
}

bool WindowHost::Press(int32_t area, int32_t x, int32_t y) {
    Area* a = LiveArea(area);
    if (!a) return false;
    hostwin::PlaceCursor(windows_[static_cast<size_t>(a->window - 1)]->handle, x, y);
    hostwin::QueueRelease();
    SendTo(*a, kMsgMouseDown);
    hostwin::FlushMouse();
    return true;
}

bool WindowHost::PressRow(int32_t area, int32_t row) {
    int32_t x = 0, y = 0;
    return RowPoint(area, row, &x, &y) && Press(area, x, y);
}

bool WindowHost::RowPoint(int32_t area, int32_t row, int32_t* x, int32_t* y) {
    Area* a = LiveArea(area);
    const AreaRec* rec = a ? a->Rec() : nullptr;
    if (!rec) return false;
    *x = rec->textX + 2;
    *y = rec->rowRect.top + row * rec->lineHeight + rec->lineHeight / 2;
    return true;
}

int32_t WindowHost::WindowOfArea(int32_t area) {
    if (area < 1 || area > static_cast<int32_t>(areas_.size())) return 0;
    return areas_[static_cast<size_t>(area - 1)]->window;
}

std::string WindowHost::DataFieldOf(int32_t area) {
    if (area < 1 || area > static_cast<int32_t>(areas_.size())) return std::string();
    const Area& a = *areas_[static_cast<size_t>(area - 1)];
    return a.params.size() > kDataFieldParam ? NameIn(state_, a.params[kDataFieldParam])
                                             : std::string();
}

bool WindowHost::AreaBounds(int32_t area, int32_t rect[4]) {
    Area* a = LiveArea(area);
    const AreaRec* rec = a ? a->Rec() : nullptr;
    if (!rec) return false;
    const AreaRect& r = rec->areaRect;
    const AreaRect& bar = rec->scrollRect;
    const bool hasBar = bar.right > bar.left && bar.bottom > bar.top;
    rect[0] = std::max(0, hasBar ? std::min(r.left, bar.left) : r.left);
    rect[1] = std::max(0, hasBar ? std::min(r.top, bar.top) : r.top);
    rect[2] = hasBar ? std::max(r.right, bar.right) : r.right;
    rect[3] = hasBar ? std::max(r.bottom, bar.bottom) : r.bottom;
    return rect[2] > rect[0] && rect[3] > rect[1];
}

AreaState WindowHost::StateOfArea(int32_t area) {
    AreaState s;
    Area* a = LiveArea(area);
    if (!a) return s;
    s.live = true;
    const AreaRec* rec = a->Rec();
    if (!rec) return s;
    s.hasRecord = true;
    s.shown = rec->shown != 0;
    s.topLine = rec->topLine;
    s.selection = rec->selection;
    s.rows = rec->rows;
    s.cols = rec->cols;
    s.hasScrollBar = rec->scrollWindow != nullptr &&
                     hostwin::ScrollValues(rec->scrollWindow, &s.scrollMin, &s.scrollMax,
                                           &s.scrollPage, &s.scrollPos);
    return s;
}

void* WindowHost::WindowHandle(int32_t window) {
    Window* w = OpenOne(window);
    return w ? w->handle : nullptr;
}

void* WindowHost::ObjectRecord(int32_t area) {
    if (area < 1 || area > static_cast<int32_t>(areas_.size())) return nullptr;
    return areas_[static_cast<size_t>(area - 1)]->record.data();
}

WindowHost::Window* WindowHost::WindowOf(void* handle) {
    for (const auto& w : windows_)
        if (handle && w->handle == handle) return w.get();
    return nullptr;
}

int32_t WindowHost::OpenCount() const {
    int32_t n = 0;
    for (const auto& w : windows_) n += w->handle != nullptr;
    return n;
}

int32_t WindowHost::AreaOfScrollBar(void* handle) {
    for (size_t i = 0; handle && i < areas_.size(); ++i) {
        const Area& a = *areas_[i];
        if (a.live && a.Rec() && a.Rec()->scrollWindow == handle) return static_cast<int32_t>(i + 1);
    }
    return 0;
}

void WindowHost::Tell(int32_t area, const PersonInput& input) {
    if (observer_ && *observer_) (*observer_)(area, input);
}

bool WindowHost::Interact(const InputObserver& observer) {
    if (OpenCount() == 0) return true;
    observer_ = &observer;
    for (const auto& w : windows_)
        if (w->handle) hostwin::Activate(w->handle);
    // Messages dispatched here reach the external outside any call of the
    // host's: its requests are answered for this host throughout.
    CurrentHostScope current(&state_);
    bool pumped = true;
    while (pumped && OpenCount() > 0) {
        pumped = hostwin::PumpOne([this](void* window, const hostwin::Dispatch& dispatch) {
            // A scroll bar sends its requests to the area's window from
            // within its own messages: they answer the area's parameters.
            if (const int32_t area = AreaOfScrollBar(window)) {
                {
                    ObjectParamsScope params(state_, LiveArea(area)->params);
                    dispatch();
                }
                PersonInput input;
                input.kind = PersonInput::kScrollBar;
                Tell(area, input);
            } else {
                dispatch();
            }
            std::vector<void*> closing;
            closing.swap(closing_);
            for (void* handle : closing)
                for (size_t i = 0; i < windows_.size(); ++i)
                    if (windows_[i]->handle == handle) CloseWindow(static_cast<int32_t>(i + 1));
        });
    }
    observer_ = nullptr;
    return pumped;
}

void WindowHost::PressFromWindow(void* handle, int32_t x, int32_t y) {
    Window* w = WindowOf(handle);
    if (!w) return;
    for (int32_t id : w->areas) {
        Area* a = LiveArea(id);
        const AreaRec* rec = a ? a->Rec() : nullptr;
        if (!rec) continue;
        const AreaRect& r = rec->areaRect;
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        w->focus = id;
        // The cursor is where the person pressed and the release comes
        // when they let go: the press message as it is.
        SendTo(*a, kMsgMouseDown);
        PersonInput input;
        input.x = x;
        input.y = y;
        Tell(id, input);
        return;
    }
}

void WindowHost::KeyFromWindow(void* handle, uint8_t code) {
    Window* w = WindowOf(handle);
    if (!w) return;
    int32_t target = LiveArea(w->focus) ? w->focus : 0;
    for (size_t i = 0; target == 0 && i < w->areas.size(); ++i)
        if (LiveArea(w->areas[i])) target = w->areas[i];
    Area* a = LiveArea(target);
    if (!a) return;
    // The keyboard state is the person's own: Shift and Ctrl as they hold them.
    DeliverKey(*a, code);
    PersonInput input;
    input.kind = PersonInput::kKey;
    input.code = code;
    Tell(target, input);
}

void WindowHost::CloseFromWindow(void* handle) {
    if (WindowOf(handle)) closing_.push_back(handle);
}

bool WindowHost::ReadPixels(int32_t window, const int32_t rect[4], std::vector<uint32_t>* pixels) {
    Window* w = OpenOne(window);
    return w && pixels && hostwin::Pixels(w->handle, rect, pixels);
}

}  // namespace vhost
