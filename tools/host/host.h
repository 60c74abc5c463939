// The substitute host: a stand-in for the real host program that loads the
// external (Windows build: Vandu.dll by path; native build: the linked core),
// answers every callback request, and keeps host variables, reserved
// references, call parameters, host lists, atoms, pushed procedures, shown
// messages, named values and pending keys. Every test drives the external
// through it, and the script runner (vandu-host) is built on it.
#pragma once
#include <cstdint>
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
    ~Host();

    // Message 0 with the given parameters (the first receives the status).
    void Load(const std::vector<Arg>& params = {});
    // Message 2.
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

    const std::vector<std::string>& ShownMessages() const;
    const std::vector<std::string>& PushedProcedures() const;
    // Every request code received, in order (for tests of the protocol).
    const std::vector<int32_t>& RequestLog() const;
    void ClearRequestLog();

    Options& options();

private:
    Host();
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace vhost
