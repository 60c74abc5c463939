// Running parsed scripts against a Host and writing the transcript.
#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <thread>

#include "keys.h"
#include "png.h"
#include "script.h"
#include "values.h"

namespace vhost {

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open '" + path + "'";
        return false;
    }
    try {
        // The stream buffer throws when the read itself fails (a directory).
        bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        in.setstate(std::ios::badbit);
    }
    if (in.bad()) {
        *error = "cannot read '" + path + "'";
        return false;
    }
    return true;
}

namespace {

class Runner {
public:
    Runner(Host& host, std::ostream& out, std::ostream& err) : host_(host), out_(out), err_(err) {}

    // False when the statement failed.
    bool Run(const Statement& st) {
        switch (st.kind) {
            case Statement::kCall:
                return Call(st);
            case Statement::kCalculate:
                host_.Variable(st.name) = st.literal;
                return true;
            case Statement::kShowVariable:
                out_ << FormatVariable(st.name, host_.Variable(st.name));
                return true;
            case Statement::kShowFile: {
                std::string bytes, error;
                if (!ReadWholeFile(st.name, &bytes, &error)) {
                    err_ << "line " << st.line << ": " << error << "\n";
                    return false;
                }
                out_ << FormatFileLines(st.name, bytes, st.firstLine, st.lastLine);
                return true;
            }
            case Statement::kLoad:
                out_ << st.source << "\n";
                host_.Load(st.args);
                loadedOnce_ = loaded_ = true;
                return true;
            case Statement::kUnload:
                out_ << st.source << "\n";
                host_.Unload();
                loaded_ = false;
                return true;
            case Statement::kEcho:
                out_ << st.name << "\n";
                return true;
            case Statement::kOpenWindow:
                return OpenWindow(st);
            case Statement::kPlaceArea:
                return PlaceArea(st);
            case Statement::kPaint:
            case Statement::kClose:
                return ToWindow(st);
            case Statement::kShowProcedures:
                ShowProcedures();
                return true;
            case Statement::kShowClipboard: {
                std::string text;
                if (host_.ClipboardText(&text))
                    out_ << "clipboard = " << QuoteText(text) << "\n";
                else
                    out_ << "clipboard: no text\n";
                return true;
            }
            case Statement::kPause:
                out_ << st.source << "\n";
                std::this_thread::sleep_for(std::chrono::milliseconds(st.numbers[0]));
                return true;
            case Statement::kSave:
                return SaveWindow(st);
            case Statement::kKey:
            case Statement::kPressRow:
            case Statement::kDoublePress:
            case Statement::kPressAt:
            case Statement::kSaveArea:
            case Statement::kScroll:
            case Statement::kShowArea:
            case Statement::kDesignDraw:
            case Statement::kClip:
            case Statement::kReinit:
            case Statement::kDestroy:
                return ToArea(st);
        }
        return true;
    }

    // A person's turn: the windows left open run until they are closed.
    bool Interact() {
        for (const auto& area : areas_) seen_[area.second] = Take(area.second);
        const bool ran = host_.Interact([this](int32_t area, const PersonInput& input) {
            const std::string name = NameOf(area);
            const Seen before = seen_.count(area) ? seen_[area] : Take(area);
            if (input.kind == PersonInput::kPress)
                out_ << "Press " << name << " at " << input.x << " " << input.y << "\n";
            else if (input.kind == PersonInput::kKey)
                out_ << "Key " << name << " " << KeyNotation(input.code) << "\n";
            else if (Changes(before, area).empty())
                return;  // the bar moved nothing the transcript shows
            else
                out_ << "Scroll " << name << " (scroll bar)\n";
            out_ << Changes(before, area);
            out_.flush();
            seen_[area] = Take(area);
        });
        if (!ran) err_ << "vandu-host: the interactive window needs the Windows build\n";
        return ran;
    }

    // The external stays loaded no longer than the script.
    void Finish() {
        if (loaded_) host_.Unload();
        loaded_ = false;
    }

private:
    // Sends the load message unless the script has loaded the external.
    void EnsureLoaded() {
        if (loadedOnce_) return;
        host_.Load();
        loadedOnce_ = loaded_ = true;
    }

    bool Fail(const Statement& st, const std::string& message) {
        err_ << "line " << st.line << ": " << message << "\n";
        return false;
    }

    // The id the script's name stands for; 0 when it names none.
    static int32_t IdOf(const std::map<std::string, int32_t>& ids, const std::string& name) {
        const auto it = ids.find(name);
        return it == ids.end() ? 0 : it->second;
    }

    bool OpenWindow(const Statement& st) {
        if (host_.WindowHandle(IdOf(windows_, st.name)))
            return Fail(st, "window '" + st.name + "' is open already");
        const int32_t id = host_.OpenWindow(st.numbers[0], st.numbers[1]);
        if (id == 0) return Fail(st, "cannot open window '" + st.name + "'");
        windows_[st.name] = id;
        windowSizes_[id] = {st.numbers[0], st.numbers[1]};
        out_ << st.source << "\n";
        return true;
    }

    bool PlaceArea(const Statement& st) {
        const int32_t window = host_.WindowHandle(IdOf(windows_, st.window)) ? windows_[st.window] : 0;
        if (window == 0) return Fail(st, "no open window '" + st.window + "'");
        if (host_.StateOfArea(IdOf(areas_, st.name)).live)
            return Fail(st, "area '" + st.name + "' is placed already");
        EnsureLoaded();
        out_ << st.source << "\n";
        areas_[st.name] = host_.PlaceArea(window, st.numbers[0], st.numbers[1], st.numbers[2],
                                          st.numbers[3], st.args, st.font);
        return true;
    }

    // What input can change, to report what it did change.
    struct Seen {
        int32_t topLine = 0, selection = -1;
        std::string field;  // the data field's value as the transcript shows it
        uint64_t procedures = 0;
    };

    Seen Take(int32_t area) {
        Seen s;
        const AreaState state = host_.StateOfArea(area);
        s.topLine = state.topLine;
        s.selection = state.selection;
        const std::string field = host_.DataFieldOf(area);
        if (!field.empty()) s.field = FormatValue(host_.Variable(field));
        s.procedures = host_.ProcedureCount();
        return s;
    }

    // "-> top N", "-> selection N", "-> data field F = V", "-> procedure P"
    // for what differs from before; lines count from 1 as in Show area.
    std::string Changes(const Seen& before, int32_t area) {
        const Seen now = Take(area);
        std::string out;
        if (now.topLine != before.topLine) out += "-> top " + std::to_string(now.topLine + 1) + "\n";
        if (now.selection != before.selection)
            out += "-> selection " +
                   (now.selection < 0 ? std::string("none") : std::to_string(now.selection + 1)) +
                   "\n";
        if (now.field != before.field)
            out += "-> data field " + host_.DataFieldOf(area) + " = " + now.field + "\n";
        const std::vector<std::string>& pushed = host_.PushedProcedures();
        const uint64_t count = std::min<uint64_t>(now.procedures - before.procedures, pushed.size());
        for (size_t i = pushed.size() - static_cast<size_t>(count); i < pushed.size(); ++i)
            out += "-> procedure " + pushed[i] + "\n";
        return out;
    }

    std::string NameOf(int32_t area) const {
        for (const auto& a : areas_)
            if (a.second == area) return a.first;
        return "?";
    }

    // The procedures pushed since the last Show procedures.
    void ShowProcedures() {
        const std::vector<std::string>& pushed = host_.PushedProcedures();
        const uint64_t count =
            std::min<uint64_t>(host_.ProcedureCount() - shownProcedures_, pushed.size());
        shownProcedures_ = host_.ProcedureCount();
        out_ << "procedures:";
        if (count == 0) out_ << " none";
        for (size_t i = pushed.size() - static_cast<size_t>(count); i < pushed.size(); ++i)
            out_ << " " << pushed[i];
        out_ << "\n";
    }

    // The window's or area's pixels as a PNG; the native window layer draws
    // nothing, so there the statement fails.
    bool Save(const Statement& st, int32_t window, const int32_t rect[4]) {
        std::vector<uint32_t> pixels;
        if (!host_.ReadPixels(window, rect[0], rect[1], rect[2], rect[3], &pixels))
            return Fail(st, "cannot read the window's pixels (screenshots need the Windows build)");
        std::string error;
        if (!WritePng(st.path, rect[2] - rect[0], rect[3] - rect[1], pixels, &error))
            return Fail(st, error);
        out_ << "-> saved " << rect[2] - rect[0] << " x " << rect[3] - rect[1] << " pixels\n";
        return true;
    }

    bool SaveWindow(const Statement& st) {
        const int32_t window = IdOf(windows_, st.name);
        if (!host_.WindowHandle(window)) return Fail(st, "no open window '" + st.name + "'");
        out_ << st.source << "\n";
        const int32_t rect[4] = {0, 0, windowSizes_[window].first, windowSizes_[window].second};
        return Save(st, window, rect);
    }

    bool ToWindow(const Statement& st) {
        const int32_t window = IdOf(windows_, st.name);
        if (window == 0) return Fail(st, "no window '" + st.name + "'");
        EnsureLoaded();
        out_ << st.source << "\n";
        if (st.kind == Statement::kPaint)
            host_.PaintWindow(window);
        else
            host_.CloseWindow(window);
        return true;
    }

    bool ToArea(const Statement& st) {
        const int32_t area = IdOf(areas_, st.name);
        if (area == 0) return Fail(st, "no area '" + st.name + "'");
        if (st.kind == Statement::kShowArea) {
            out_ << FormatAreaState(st.name, host_.StateOfArea(area));
            return true;
        }
        EnsureLoaded();
        out_ << st.source << "\n";
        const Seen before = Take(area);
        switch (st.kind) {
            case Statement::kScroll:
                if (!host_.SendScroll(area, st.numbers[0], st.numbers[1]))
                    out_ << "-> no scroll bar\n";
                break;
            case Statement::kKey:
                host_.SendKey(area, static_cast<uint8_t>(st.numbers[0]), st.numbers[1] != 0,
                              st.numbers[2] != 0);
                break;
            case Statement::kPressRow:
            case Statement::kDoublePress:
                for (int i = st.kind == Statement::kDoublePress ? 2 : 1; i > 0; --i)
                    if (!host_.PressRow(area, st.numbers[0] - 1))
                        return Fail(st, "area '" + st.name + "' has no rows to press");
                break;
            case Statement::kPressAt:
                host_.Press(area, st.numbers[0], st.numbers[1]);
                break;
            case Statement::kSaveArea: {
                int32_t rect[4];
                if (!host_.AreaBounds(area, rect))
                    return Fail(st, "area '" + st.name + "' is not laid out");
                return Save(st, host_.WindowOfArea(area), rect);
            }
            case Statement::kDesignDraw:
                host_.DesignDraw(area);
                break;
            case Statement::kClip:
                host_.ClipArea(area);
                break;
            case Statement::kReinit:
                host_.ReinitArea(area);
                break;
            default:
                host_.DestroyArea(area);
                return true;
        }
        out_ << Changes(before, area);
        return true;
    }

    bool Call(const Statement& st) {
        EnsureLoaded();
        out_ << st.source << "\n";
        const size_t messagesBefore = host_.ShownMessages().size();
        const CallResult r = host_.CallPosition(st.position, st.args);
        if (r.valueFunction) {
            out_ << "-> value " << FormatValue(r.value) << "\n";
        } else {
            out_ << "-> status " << FormatNumber(r.status);
            if (!r.errorText.empty()) out_ << "  EX_EXT_ERROR " << QuoteText(r.errorText);
            out_ << "\n";
        }
        // The messages the call showed (About); the record only grows here
        // unless it has just dropped its older half.
        const std::vector<std::string>& shown = host_.ShownMessages();
        for (size_t i = messagesBefore; i < shown.size(); ++i)
            out_ << "-> message " << QuoteText(shown[i]) << "\n";
        return true;
    }

    Host& host_;
    std::ostream& out_;
    std::ostream& err_;
    bool loadedOnce_ = false;  // a load was sent, by the script or before its first call
    bool loaded_ = false;
    std::map<std::string, int32_t> windows_;  // script names -> host ids
    std::map<std::string, int32_t> areas_;
    std::map<int32_t, std::pair<int32_t, int32_t>> windowSizes_;  // id -> client width, height
    std::map<int32_t, Seen> seen_;  // Interact: each area as last reported
    uint64_t shownProcedures_ = 0;  // ProcedureCount at the last Show procedures
};

}  // namespace

int RunScript(Host& host, const Script& script, std::ostream& out, std::ostream& err,
              bool interactive) {
    for (const Diagnostic& d : script.errors) err << "line " << d.line << ": " << d.message << "\n";
    bool failed = !script.errors.empty();
    Runner runner(host, out, err);
    for (const Statement& st : script.statements)
        if (!runner.Run(st)) failed = true;
    out.flush();
    if (interactive && !runner.Interact()) failed = true;
    runner.Finish();
    out.flush();
    return failed ? 1 : 0;
}

}  // namespace vhost
