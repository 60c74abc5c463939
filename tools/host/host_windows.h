// The host's windows and the list-area objects placed on them: their host
// records and parameters, and the order in which object messages go to the
// external. Portable; the window system's part is in windows_win32.cpp
// (real windows) and windows_posix.cpp (the recorder), behind hostwin.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host.h"

namespace vhost {

struct HostState;

class WindowHost {
public:
    // Sends an object message to the external with the object's record,
    // the host's state current (Host::Send).
    using Sender = std::function<void(int32_t message, void* record)>;

    WindowHost(HostState& state, Sender send);
    // Destroys windows still open without sending anything: the owner closes
    // them (CloseAll) while the external is still there.
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    int32_t OpenWindow(int32_t width, int32_t height);
    int32_t PlaceArea(int32_t window, const int16_t rect[4], const std::vector<Arg>& params,
                      const AreaFont& font);
    void PaintWindow(int32_t window);
    void DesignDraw(int32_t area);
    void ClipArea(int32_t area);
    void ReinitArea(int32_t area);
    void DestroyArea(int32_t area);
    void CloseWindow(int32_t window);
    void CloseAll();
    bool SendScroll(int32_t area, int32_t code, int32_t pos);
    bool SendKey(int32_t area, uint8_t code, bool shift, bool control);
    bool Press(int32_t area, int32_t x, int32_t y);
    bool PressRow(int32_t area, int32_t row);
    bool RowPoint(int32_t area, int32_t row, int32_t* x, int32_t* y);
    int32_t WindowOfArea(int32_t area);
    std::string DataFieldOf(int32_t area);
    bool AreaBounds(int32_t area, int32_t rect[4]);
    bool Interact(const InputObserver& observer);
    AreaState StateOfArea(int32_t area);
    void* WindowHandle(int32_t window);
    void* ObjectRecord(int32_t area);
    bool ReadPixels(int32_t window, const int32_t rect[4], std::vector<uint32_t>* pixels);

    // The window procedures' answer to WM_PAINT: every live area of the
    // window gets the run-time paint message with dc as its drawDC.
    void PaintAreas(void* handle, void* dc);
    // The window procedures' answers to a person's input (Interact): a press
    // at the client point, a key with the host's key code, and the close
    // message, which closes the window once the message is handled.
    void PressFromWindow(void* handle, int32_t x, int32_t y);
    void KeyFromWindow(void* handle, uint8_t code);
    void CloseFromWindow(void* handle);

private:
    struct Area;
    struct Window;
    Area* LiveArea(int32_t id);
    Window* OpenOne(int32_t id);
    // Sends the message with the area's parameters answering 210 onward.
    void SendTo(Area& area, int32_t message);
    // The key message, its code answered to the external's key request.
    void DeliverKey(Area& area, uint8_t code);
    Window* WindowOf(void* handle);
    int32_t OpenCount() const;
    // The live area whose scroll bar the handle is; 0 when none.
    int32_t AreaOfScrollBar(void* handle);
    void Tell(int32_t area, const PersonInput& input);

    HostState& state_;
    Sender send_;
    std::vector<std::unique_ptr<Area>> areas_;  // id = index + 1
    std::vector<std::unique_ptr<Window>> windows_;
    const InputObserver* observer_ = nullptr;  // while Interact runs
    std::vector<void*> closing_;               // closed once their message is handled
};

// The window system's part, one body per build.
namespace hostwin {

// A shown top-level window whose client area is width x height; its
// procedure answers WM_PAINT through owner->PaintAreas. index (0, 1, ...)
// staggers the windows' places. Null when it cannot be made.
void* Open(WindowHost* owner, int32_t index, int32_t width, int32_t height);
void Close(void* window);
// The window receives WM_PAINT for its whole client area, now.
void Paint(void* window);
// A DC of the window's client area outside painting, and its release.
void* BorrowDC(void* window);
void ReturnDC(void* window, void* dc);
// A message through the window's current procedure (SendMessage).
intptr_t Deliver(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// The scroll-bar window's range, page and position; false when unreadable.
bool ScrollValues(void* bar, int32_t* min, int32_t* max, int32_t* page, int32_t* pos);
// Shift and Ctrl as the window system's keyboard state shows them.
void HoldModifiers(bool shift, bool control);
// The cursor at the client point of the window.
void PlaceCursor(void* window, int32_t x, int32_t y);
// A left-button release queued for the thread, as a person's click leaves
// it behind the press; FlushMouse takes queued mouse messages out again.
void QueueRelease();
void FlushMouse();
// See Host::ReadPixels.
bool Pixels(void* window, const int32_t rect[4], std::vector<uint32_t>* pixels);
// The CF_TEXT text on the clipboard; false when it holds none.
bool ClipboardText(std::string* text);
// The window comes to the front and takes the keyboard (Interact).
void Activate(void* window);
// Waits for the thread's next message and has it dispatched by calling
// around(its window, dispatch); false when there is none to wait for (the
// recorder) or the queue is told to quit.
using Dispatch = std::function<void()>;
bool PumpOne(const std::function<void(void* window, const Dispatch& dispatch)>& around);

}  // namespace hostwin
}  // namespace vhost
