#include "host.h"

#include <cstring>

#include "callback.h"
#include "catalogue.h"
#include "catalogue_names.h"
#include "entry/entry.h"
#include "entry/hostobj.h"
#include "library.h"
#include "state.h"
#include "values.h"

namespace vhost {
namespace {

// Stands in for the host window handle of load and call messages; the
// external only records it.
constexpr uint32_t kFakeWindow = 0x00010010;
constexpr int32_t kCatalogueSize = VANDU_CAT_LAST - VANDU_CAT_FIRST + 1;

}  // namespace

struct Host::State : HostState {
    std::unique_ptr<Library> library;
    bool loaded = false;  // a load was sent and no unload since
};

Host::Host() : s_(std::make_unique<State>()) {}

Host::~Host() {
    // As the host does when it closes: an external still loaded is unloaded.
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
    Send(kMsgLoad, nullptr, kFakeWindow, 0);
    s_->loaded = true;
}

void Host::Unload() {
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
    Send(kMsgCall, nullptr, kFakeWindow, 0);
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
    Send(kMsgDescribe, nullptr, kFakeWindow, 0);
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

const std::vector<int32_t>& Host::RequestLog() const { return s_->requestLog; }

void Host::ClearRequestLog() { s_->requestLog.clear(); }

Options& Host::options() { return s_->options; }

}  // namespace vhost
