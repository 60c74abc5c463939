#include "host.h"

#include <cstring>
#include <utility>

#include "callback.h"
#include "catalogue.h"
#include "catalogue_names.h"
#include "entry/entry.h"
#include "host/hostobj.h"
#include "host_windows.h"
#include "library.h"
#include "state.h"
#include "values.h"

namespace vhost {
namespace {

// The application window handed over with load and call messages: the host
// has none of its own, and a null window gives the external the screen's DC
// when it measures a font without a DC of the object (a made-up handle, or
// one of the host's windows that may close later, would give it none).
constexpr uint32_t kAppWindow = 0;
constexpr int32_t kCatalogueSize = VANDU_CAT_LAST - VANDU_CAT_FIRST + 1;

}  // namespace

struct Host::State : HostState {
    explicit State(Host* host)
        : windows(*this, [host](int32_t message, void* record) { host->Send(message, record); }) {}
    std::unique_ptr<Library> library;
    bool loaded = false;  // a load was sent and no unload since
    WindowHost windows;
};

Host::Host() : s_(std::make_unique<State>(this)) {}

Host::~Host() {
    // As the host does when it closes: its windows close, then an external
    // still loaded is unloaded.
    s_->windows.CloseAll();
    if (s_->loaded) Unload();
}

std::unique_ptr<Host> Host::Create(const std::string& dllPath, const Options& options,
                                   std::string* error) {
    std::string why;
    std::unique_ptr<Library> library = OpenLibrary(dllPath, &why);
    if (!library) {
        if (error) *error = why;
        return nullptr;
    }
    std::unique_ptr<Host> host(new Host());
    host->s_->library = std::move(library);
    host->s_->options = options;
    return host;
}

std::unique_ptr<Host> Host::Create(std::string* error) { return Create("", Options(), error); }

std::unique_ptr<Host> Host::CreateWithEntry(EntryFn entry, const Options& options) {
    std::unique_ptr<Host> host(new Host());
    host->s_->library = LinkedEntryLibrary(entry);
    host->s_->options = options;
    return host;
}

int32_t Host::Send(int32_t message, void* hostObj, uint32_t p1, uint32_t p2) {
    void* object = hostObj;
    CurrentHostScope current(s_.get());
    return s_->library->Entry()(message, &object, p1, p2, 0,
                                reinterpret_cast<void*>(&HostEntryCallback));
}

void Host::Load(const std::vector<Arg>& params) {
    s_->params = params;
    s_->packageId = 0;
    Send(kMsgLoad, nullptr, kAppWindow, 0);
    s_->loaded = true;
}

void Host::Unload() {
    s_->windows.CloseAll();
    s_->params.clear();
    s_->packageId = 0;
    Send(kMsgUnload, nullptr, 0, 0);
    s_->loaded = false;
}

CallResult Host::Call(const std::string& function, const std::vector<Arg>& args) {
    return CallPosition(PositionOf(function), args);
}

CallResult Host::CallPosition(int32_t position, const std::vector<Arg>& args) {
    s_->BeginCall(position, args);
    Send(kMsgCall, nullptr, kAppWindow, 0);
    CallResult r;
    r.valueFunction = IsValueFunction(position);
    r.status = NumberOf(s_->status);
    r.value = s_->value;
    if (s_->options.defineErrorVariable) {
        const auto it = s_->variables.find(HostState::kErrorName);
        if (it != s_->variables.end()) r.errorText = it->second.ToString();
    }
    return r;
}

int32_t Host::PositionOf(const std::string& function) const {
    return FindInCatalogue(
        function, [this](int32_t position) { return CatalogueString(position); }, kCatalogueSize);
}

std::string Host::CatalogueString(int32_t position) const {
    return s_->library->CatalogueString(position);
}

std::string Host::Describe(int32_t position, int16_t what, uint8_t* lengthByte) {
    auto& rec = s_->design;
    rec.fill(0);
    WriteAt<int16_t>(rec.data(), designrec::kWhat, what);
    s_->params.clear();
    s_->packageId = position;
    Send(kMsgDescribe, nullptr, kAppWindow, 0);
    if (lengthByte) *lengthByte = rec[designrec::kAnswerLen];
    const char* text = reinterpret_cast<const char*>(rec.data() + designrec::kAnswer);
    return std::string(text, strnlen(text, rec.size() - designrec::kAnswer));
}

Value& Host::Variable(const std::string& name) { return s_->Variable(name); }

bool Host::HasVariable(const std::string& name) const { return s_->variables.count(name) != 0; }

void Host::RemoveVariable(const std::string& name) { s_->variables.erase(name); }

HostList& Host::List(const std::string& name) { return s_->List(name); }

bool Host::HasAtom(const std::string& name) const { return s_->atoms.count(name) != 0; }

uint32_t Host::Atom(const std::string& name) const {
    const auto it = s_->atoms.find(name);
    return it == s_->atoms.end() ? 0 : it->second;
}

void Host::SetNamedValue(const std::string& notation, double value) {
    s_->namedValues[notation] = value;
}

const std::vector<std::string>& Host::NamedValueRequests() const {
    return s_->namedValueRequests;
}

void Host::PushKey(uint8_t character, uint8_t second) { s_->keys.push_back({character, second}); }

const std::vector<std::string>& Host::ShownMessages() const { return s_->shownMessages; }

const std::vector<std::string>& Host::PushedProcedures() const { return s_->pushedProcedures; }

uint64_t Host::ProcedureCount() const { return s_->proceduresPushed; }

void Host::OnProcedure(std::function<void(const std::string&)> run) {
    s_->runProcedure = std::move(run);
}

const std::vector<int32_t>& Host::RequestLog() const { return s_->requestLog; }

void Host::ClearRequestLog() { s_->requestLog.clear(); }

Options& Host::options() { return s_->options; }

int32_t Host::OpenWindow(int32_t width, int32_t height) {
    return s_->windows.OpenWindow(width, height);
}

int32_t Host::PlaceArea(int32_t window, int32_t left, int32_t top, int32_t right, int32_t bottom,
                        const std::vector<Arg>& params, const AreaFont& font) {
    const int16_t rect[4] = {static_cast<int16_t>(left), static_cast<int16_t>(top),
                             static_cast<int16_t>(right), static_cast<int16_t>(bottom)};
    return s_->windows.PlaceArea(window, rect, params, font);
}

void Host::PaintWindow(int32_t window) { s_->windows.PaintWindow(window); }

void Host::DesignDraw(int32_t area) { s_->windows.DesignDraw(area); }

void Host::ClipArea(int32_t area) { s_->windows.ClipArea(area); }

void Host::ReinitArea(int32_t area) { s_->windows.ReinitArea(area); }

void Host::DestroyArea(int32_t area) { s_->windows.DestroyArea(area); }

void Host::CloseWindow(int32_t window) { s_->windows.CloseWindow(window); }

bool Host::SendScroll(int32_t area, int32_t code, int32_t pos) {
    return s_->windows.SendScroll(area, code, pos);
}

bool Host::SendKey(int32_t area, uint8_t code, bool shift, bool control) {
    return s_->windows.SendKey(area, code, shift, control);
}

bool Host::Press(int32_t area, int32_t x, int32_t y) { return s_->windows.Press(area, x, y); }

bool Host::PressRow(int32_t area, int32_t row) { return s_->windows.PressRow(area, row); }

bool Host::RowPoint(int32_t area, int32_t row, int32_t* x, int32_t* y) {
    return s_->windows.RowPoint(area, row, x, y);
}

int32_t Host::WindowOfArea(int32_t area) { return s_->windows.WindowOfArea(area); }

std::string Host::DataFieldOf(int32_t area) { return s_->windows.DataFieldOf(area); }

bool Host::AreaBounds(int32_t area, int32_t rect[4]) { return s_->windows.AreaBounds(area, rect); }

bool Host::ClipboardText(std::string* text) { return hostwin::ClipboardText(text); }

bool Host::Interact(const InputObserver& observer) { return s_->windows.Interact(observer); }

AreaState Host::StateOfArea(int32_t area) { return s_->windows.StateOfArea(area); }

void* Host::WindowHandle(int32_t window) { return s_->windows.WindowHandle(window); }

void* Host::ObjectRecord(int32_t area) { return s_->windows.ObjectRecord(area); }

bool Host::ReadPixels(int32_t window, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      std::vector<uint32_t>* pixels) {
    const int32_t rect[4] = {left, top, right, bottom};
    return s_->windows.ReadPixels(window, rect, pixels);
}

}  // namespace vhost
