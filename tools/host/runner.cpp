// Running parsed scripts against a Host and writing the transcript.
#include <exception>
#include <fstream>
#include <iterator>
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
        }
        return true;
    }

    // The external stays loaded no longer than the script.
    void Finish() {
        if (loaded_) host_.Unload();
        loaded_ = false;
    }

private:
    bool Call(const Statement& st) {
        if (!loadedOnce_) {
            host_.Load();
            loadedOnce_ = loaded_ = true;
        }
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
