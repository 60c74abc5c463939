// The substitute host: a stand-in for the real host program that loads the
// external (Windows build: Vandu.dll by path; native build: the linked core),
// answers every callback request, and keeps host variables, reserved
// references, call parameters, host lists, atoms, pushed procedures, shown
// messages, named values and pending keys, and windows carrying list areas.
// Every test drives the external through it, and the script runner
// (vandu-host) is built on it.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vhost {

// A host list: named columns, lines of cells (text).
struct HostList {
    std::vector<std::string> columns;               // in order of first use
    std::vector<std::map<std::string, std::string>> lines;  // line -> column -> text
    int32_t LineCount() const { return static_cast<int32_t>(lines.size()); }
    std::string Cell(int32_t line1, const std::string& column) const;  // "" when absent
};

// A host value.
struct Value {
    enum Kind { kEmpty, kNumber, kText, kDate, kTime, kList } kind = kEmpty;
    double number = 0;
    std::string text;                 // kText (bytes as they are)
    uint16_t parts[3] = {0, 0, 0};    // kDate: y, m, d; kTime: h, m, s
    std::shared_ptr<HostList> list;   // kList

    static Value Num(double d);
    static Value Text(const std::string& s);
    static Value Date(uint16_t y, uint16_t m, uint16_t d);
    static Value Time(uint16_t h, uint16_t m, uint16_t s);
    static Value NewList();
    std::string ToString() const;  // for transcripts: numbers without trailing zeros
};

// A call argument: a literal, or a host variable passed by reference (the
// external may write into it, as LoadList writes its line count).
struct Arg {
    bool isVariable = false;
    std::string variable;
    Value literal;
    static Arg Num(double d);
    static Arg Text(const std::string& s);
    static Arg Var(const std::string& name);
};

// What a function call left behind.
struct CallResult {
    bool valueFunction = false;  // catalogue positions 11..18
    double status = 0;           // reference 200 after a command
    Value value;                 // reference 202 after a value function
    std::string errorText;       // "EX_EXT_ERROR" after the call ("" when not defined)
    int16_t Status() const { return static_cast<int16_t>(status); }
};

struct Options {
    bool defineErrorVariable = true;    // the application defines "EX_EXT_ERROR"
    bool defineLineNumber = true;       // the application defines "#LN"
    int32_t maxListLines = 100000000;   // a host list holds at most this many lines
};

// The font a list area's host record names.
struct AreaFont {
    std::string face = "DejaVu Sans Mono";  // the one fixed-pitch face under Wine here
    int16_t size = 13;                      // pixels (the font is made with height -size)
    uint8_t pitch = 0x31;                   // FIXED_PITCH | FF_MODERN
    int16_t weight = 400;
};

// A list area as the host sees it: its display state from the area record the
// external keeps in the object (all 0 when it keeps none), the scroll values
// from the scroll-bar window itself.
// Something a person did in a host window (Host::Interact).
struct PersonInput {
    enum Kind { kPress, kKey, kScrollBar } kind = kPress;
    int32_t x = 0, y = 0;  // kPress: the client point
    uint8_t code = 0;      // kKey: the host's key code
};
using InputObserver = std::function<void(int32_t area, const PersonInput& input)>;

struct AreaState {
    bool live = false;       // placed and not destroyed, its window open
    bool hasRecord = false;  // the external keeps an area record for it
    bool shown = false;
    int32_t topLine = 0;     // 0-based, as the area record holds them
    int32_t selection = 0;   // -1: none
    int32_t rows = 0, cols = 0;
    bool hasScrollBar = false;
    int32_t scrollMin = 0, scrollMax = 0, scrollPage = 0, scrollPos = 0;
};

// The entry point: stdcall, six 32-bit arguments.
#if defined(__i386__) || defined(_M_IX86)
typedef int32_t(__attribute__((stdcall)) * EntryFn)(int32_t, void*, uint32_t, uint32_t, uint32_t, void*);
#else
typedef int32_t (*EntryFn)(int32_t, void*, uint32_t, uint32_t, uint32_t, void*);
#endif

class Host {
public:
    // Windows: loads the DLL at dllPath (empty: Vandu.dll beside the program
    // or in VANDU_DLL). Native: the linked core; dllPath is ignored.
    // Returns null and sets *error when the library cannot be loaded.
    static std::unique_ptr<Host> Create(const std::string& dllPath, const Options& options,
                                        std::string* error);
    static std::unique_ptr<Host> Create(std::string* error = nullptr);
    // Drives an entry point linked into the program (tests that reach the
    // core's internals, such as its failure switch, in either build).
    static std::unique_ptr<Host> CreateWithEntry(EntryFn entry, const Options& options);
    // Closes the windows still open (149 to their live areas), then unloads
    // the external if it is loaded.
    ~Host();

    // Message 0 with the given parameters (the first receives the status).
    void Load(const std::vector<Arg>& params = {});
    // Message 2. Open windows are closed first, as the host closes its
    // windows before it lets an external go.
    void Unload();
    // Any message with an object record (may be null) and parameter words.
    int32_t Send(int32_t message, void* hostObj = nullptr, uint32_t p1 = 0, uint32_t p2 = 0);

    // Function call (message 1) by catalogue name: "LoadList", "LineText",
    // also written "Vandu.LoadList" or "=VanduLineText".
    CallResult Call(const std::string& function, const std::vector<Arg>& args);
    // Function call by catalogue position (1..20, or any number for tests).
    CallResult CallPosition(int32_t position, const std::vector<Arg>& args);
    // Catalogue position of a function name; 0 when unknown.
    int32_t PositionOf(const std::string& function) const;
    // The catalogue string of a position as the library's string table holds it.
    std::string CatalogueString(int32_t position) const;

    // Message 3: the answer written into the design record for a position and
    // request kind (5 parameters, 6 return value); also its length byte.
    std::string Describe(int32_t position, int16_t what, uint8_t* lengthByte = nullptr);

    // Host variables (created when first named).
    Value& Variable(const std::string& name);
    bool HasVariable(const std::string& name) const;
    void RemoveVariable(const std::string& name);
    // Host lists are variables whose value is a list.
    HostList& List(const std::string& name);

    // Atoms kept for the external.
    bool HasAtom(const std::string& name) const;
    uint32_t Atom(const std::string& name) const;

    // Named numeric values answered to request 58, by notation text.
    void SetNamedValue(const std::string& notation, double value);
    const std::vector<std::string>& NamedValueRequests() const;

    // Keys delivered by request 64 (character, then a second byte).
    void PushKey(uint8_t character, uint8_t second = 0);

    // What the external asked for, oldest first. Each record is bounded so
    // that long runs cannot grow it without end: the request log holds at
    // most 65536 codes and the texts at most 4096 entries each; when one is
    // full its older half is dropped.
    const std::vector<std::string>& ShownMessages() const;
    const std::vector<std::string>& PushedProcedures() const;
    // How many procedures were pushed since the host was made: a run of
    // them ends the record, as far as the record still holds them.
    uint64_t ProcedureCount() const;
    // Runs each procedure the external pushes, by name, while the request is
    // answered, as the host runs it: it may call the external again. Null:
    // procedures are only recorded.
    void OnProcedure(std::function<void(const std::string& name)> run);
    // Every request code received, in order (for tests of the protocol).
    const std::vector<int32_t>& RequestLog() const;
    void ClearRequestLog();

    // Windows with list areas. Ids count from 1 in the order of opening and
    // placing; 0 is none. A call with an unknown or closed window, or an
    // area no longer live, does nothing (false, 0, null).
    //
    // While an object message is sent (and while a scroll request goes to
    // the window), references 210 onward answer the object's parameters;
    // the status, value and parameters of the last function call stay.
    //
    // A top-level window whose client area is width x height (Windows: a
    // real window, shown without activating it; native: a recorder window).
    int32_t OpenWindow(int32_t width, int32_t height);
    // Places a list-area object on the window at the rectangle (both of its
    // rectangles), with its parameters (list name, maxCol, fromCol, toCol,
    // data field, double-click procedure, click procedure) and font.
    // Creates the host variable named by parameter 5 when it is missing, then
    // sends the parameter-template message (159) and the initialisation
    // message (156).
    int32_t PlaceArea(int32_t window, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      const std::vector<Arg>& params, const AreaFont& font = AreaFont());
    // The window gets WM_PAINT now; the host answers it by sending the
    // run-time paint message (151) to each live area with the paint DC.
    void PaintWindow(int32_t window);
    // Design-time drawing (147) into a DC of the area's window.
    void DesignDraw(int32_t area);
    // Clip (152), re-initialisation (148), destroy (149). A destroyed area's
    // record stays with the host; no more messages go to it.
    void ClipArea(int32_t area);
    void ReinitArea(int32_t area);
    void DestroyArea(int32_t area);
    // Destroys each live area of the window (149), then the window.
    void CloseWindow(int32_t window);
    // WM_VSCROLL to the area's window through its current procedure, from
    // the area's scroll bar: wParam = code | pos << 16. False when the area
    // has no scroll bar.
    bool SendScroll(int32_t area, int32_t code, int32_t pos = 0);
    // A key (101) as the host sends it: the code is answered to the
    // external's key request, with Shift or Ctrl held in the keyboard state
    // meanwhile. Codes 16 to 29 are the host's key codes (17 line up, 18
    // line down, 21 page up, 22 page down, 25 first line, 26 last line, 27
    // to 29 choose), 32 to 127 characters.
    bool SendKey(int32_t area, uint8_t code, bool shift = false, bool control = false);
    // A press (103) at the client point of the area's window: the cursor is
    // put there and the button's release queued, as a click reaches the
    // window; queued mouse messages are taken out after. PressRow presses
    // the middle of a row, counted from the area's first visible row.
    bool Press(int32_t area, int32_t x, int32_t y);
    bool PressRow(int32_t area, int32_t row);
    // The client point PressRow presses; false when the area keeps no record.
    bool RowPoint(int32_t area, int32_t row, int32_t* x, int32_t* y);
    // The window an area was placed on (0: no such area).
    int32_t WindowOfArea(int32_t area);
    // The name of the area's data field (parameter 5); "" when none.
    std::string DataFieldOf(int32_t area);
    // The client rectangle the area covers, its frame and scroll bar
    // included; false when it keeps no record.
    bool AreaBounds(int32_t area, int32_t rect[4]);
    AreaState StateOfArea(int32_t area);
    void* WindowHandle(int32_t window);
    void* ObjectRecord(int32_t area);
    // The window's client pixels in the rectangle, row by row, as COLORREF
    // values (0x00BBGGRR). Windows build only: false natively.
    bool ReadPixels(int32_t window, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    std::vector<uint32_t>* pixels);

    // The CF_TEXT text on the clipboard; false when it holds none.
    bool ClipboardText(std::string* text);

    // Runs the windows' messages until every window is closed (a window is
    // closed by its close message: its areas are destroyed, then the
    // window). A press in a window goes to the area under it as the press
    // message; keys and characters go to the area last pressed (at first the
    // window's first area) as the key message with the host's key codes;
    // the scroll bars' requests reach the areas with their parameters
    // answered. The observer hears of each after the external handled it.
    // Windows build only: false natively, where no person can reach the
    // recorder's windows.
    bool Interact(const InputObserver& observer);

    Options& options();

private:
    Host();
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace vhost
