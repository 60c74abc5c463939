// Running parsed scripts against a Host and writing the transcript.
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>

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
        switch (st.kind) {
            case Statement::kScroll:
                if (!host_.SendScroll(area, st.numbers[0], st.numbers[1]))
                    out_ << "-> no scroll bar\n";
                break;
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
                break;
        }
        return true;
    }

    bool Call(const Statement& st) {
        EnsureLoaded();
        out_ << st.source << "\n";
        const CallResult r = host_.CallPosition(st.position, st.args);
        if (r.valueFunction) {
            out_ << "-> value " << FormatValue(r.value) << "\n";
        } else {
            out_ << "-> status " << FormatNumber(r.status);
            if (!r.errorText.empty()) out_ << "  EX_EXT_ERROR " << QuoteText(r.errorText);
            out_ << "\n";
        }
        return true;
    }

    Host& host_;
    std::ostream& out_;
    std::ostream& err_;
    bool loadedOnce_ = false;  // a load was sent, by the script or before its first call
    bool loaded_ = false;
    std::map<std::string, int32_t> windows_;  // script names -> host ids
    std::map<std::string, int32_t> areas_;
};

}  // namespace

int RunScript(Host& host, const Script& script, std::ostream& out, std::ostream& err) {
    for (const Diagnostic& d : script.errors) err << "line " << d.line << ": " << d.message << "\n";
    bool failed = !script.errors.empty();
    Runner runner(host, out, err);
    for (const Statement& st : script.statements)
        if (!runner.Run(st)) failed = true;
    runner.Finish();
    out.flush();
    return failed ? 1 : 0;
}

}  // namespace vhost
