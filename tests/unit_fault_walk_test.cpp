// Walks a failure over every file operation and every allocation of each
// command and holds the command to its result: a failure leaves the file's
// old bytes and the list's old lines, selection and sort column; 0 leaves the
// new bytes and the new lines, as a run without faults does. Nothing crashes
// or leaks, and after a failure the same command works.
#include <gtest/gtest.h>

#include <functional>

#include "entry/entry.h"
#include "host.h"
#include "host/memory.h"
#include "platform/fault.h"
#include "support/files.h"

using vhost::Arg;

namespace {

// The last line has no line end: it is not a line, and every restore must
// keep it.
const char kOld[] =
    "11 ADAMS   \r\n"
    "12 BAKER   \r\n"
    "13 MILLER  \r\n"
    "14 PART";

struct Scenario {
    const char* name;
    bool loadFirst;   // the list is loaded before the walked command
    bool sortFirst;   // and sorted on another column
    std::function<vhost::CallResult(vhost::Host*, const std::string& path)> run;
};

std::vector<Scenario> Scenarios() {
    auto call = [](const char* fn, std::vector<Arg> args) {
        return [fn, args](vhost::Host* h, const std::string&) { return h->Call(fn, args); };
    };
    const Arg p = Arg::Text("p");
    return {
        {"LoadList", false, false,
         [](vhost::Host* h, const std::string& path) {
             return h->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(4), Arg::Num(1)});
         }},
        {"SortList", true, false, call("SortList", {p, Arg::Num(7)})},
        {"AddLine", true, false, call("AddLine", {p, Arg::Text("14 JONES")})},
        {"AddLine after a sort", true, true, call("AddLine", {p, Arg::Text("14 JONES")})},
        {"EditLine", true, false, call("EditLine", {p, Arg::Text("12 BAKER  X")})},
        {"EditLine moving the line", true, false, call("EditLine", {p, Arg::Text("11 ZORN")})},
        {"RemoveLine", true, false, call("RemoveLine", {p, Arg::Text("12")})},
        {"RemoveLine after a sort", true, true, call("RemoveLine", {p, Arg::Text("13")})},
        {"PutListInList", true, false,
         call("PutListInList", {p, Arg::Var("hl"), Arg::Text("c"), Arg::Num(1), Arg::Num(5)})},
    };
}

// The core's entry point, linked into this program, seen as the host sees it.
int32_t VANDU_STDCALL LinkedEntry(int32_t message, void* objRef, uint32_t p1, uint32_t p2,
                                  uint32_t reserved, void* callback) {
    return Vandu(message, static_cast<void**>(objRef), p1, p2, reserved,
                 reinterpret_cast<HostCallback>(callback));
}

// What the host sees of the list "p" (line count, selection, sort column,
// every line) and of the host list "hl".
std::string State(vhost::Host* h) {
    const Arg p = Arg::Text("p");
    auto num = [&](const char* fn) {
        return std::to_string(static_cast<int>(h->Call(fn, {p}).value.number));
    };
    std::string s = "lines " + num("LineCount") + ", selected " + num("SelectedLine") +
                    ", sorted on " + num("SortCol");
    const int count = static_cast<int>(h->Call("LineCount", {p}).value.number);
    for (int i = 1; i <= count; ++i)
        s += "\n" + h->Call("LineText", {p, Arg::Num(i), Arg::Num(1), Arg::Num(100)}).value.text;
    if (h->HasVariable("hl")) {
        const vhost::HostList& hl = h->List("hl");
        for (int i = 1; i <= hl.LineCount(); ++i) s += "\nhl " + hl.Cell(i, "c");
    }
    return s;
}

class FaultWalk : public ::testing::TestWithParam<fault::Kind> {
protected:
    std::unique_ptr<vhost::Host> NewHost() {
        return vhost::Host::CreateWithEntry(&LinkedEntry, vhost::Options());
    }
    // Runs the scenario once without faults: the new file content and state.
    void Expected(const Scenario& s, std::string* disk, std::string* state) {
        testfiles::WriteBytes(path, kOld);
        auto h = NewHost();
        h->Load();
        Prepare(h.get(), s);
        EXPECT_EQ(0, Result(s.run(h.get(), path)));
        *state = State(h.get());
        h->Unload();
        *disk = testfiles::ReadBytes(path);
    }
    void Prepare(vhost::Host* h, const Scenario& s) {
        if (!s.loadFirst) return;
        ASSERT_EQ(0, h->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(4), Arg::Num(1)})
                         .Status());
        if (s.sortFirst) {
            ASSERT_EQ(0, h->Call("SortList", {Arg::Text("p"), Arg::Num(7)}).Status());
        }
    }
    static int Result(const vhost::CallResult& r) { return r.Status(); }

    testfiles::TempDir dir;
    const std::string path = dir.File("p.txt");
};

TEST_P(FaultWalk, EveryFailurePoint) {
    const fault::Kind kind = GetParam();
    for (const Scenario& s : Scenarios()) {
        SCOPED_TRACE(s.name);
        std::string fresh, freshState;
        Expected(s, &fresh, &freshState);
        for (uint32_t n = 1; n < 64; ++n) {
            SCOPED_TRACE("failing call " + std::to_string(n));
            testfiles::WriteBytes(path, kOld);
            const int32_t live = LiveXPBlocks();
            auto h = NewHost();
            h->Load();
            Prepare(h.get(), s);
            const std::string before = State(h.get());
            fault::Arm(kind, n);
            const int result = Result(s.run(h.get(), path));
            const uint32_t calls = fault::Count(kind);
            fault::DisarmAll();

            if (result == 0) {
                // Done: the new bytes on disk and the new lines in memory,
                // whatever failure the command absorbed on the way.
                EXPECT_EQ(fresh, testfiles::ReadBytes(path));
                EXPECT_EQ(freshState, State(h.get()));
            } else {
                // Failed: the old bytes, and the list as it was; a load that
                // fails leaves no lines.
                EXPECT_EQ(kOld, testfiles::ReadBytes(path));
                if (s.loadFirst)
                    EXPECT_EQ(before, State(h.get()));
                else
                    EXPECT_GE(0, h->Call("LineCount", {Arg::Text("p")}).value.number);
                // The same command then works and gives the new content.
                EXPECT_EQ(0, Result(s.run(h.get(), path)));
                EXPECT_EQ(fresh, testfiles::ReadBytes(path));
                EXPECT_EQ(freshState, State(h.get()));
            }
            h->Unload();
            EXPECT_EQ(live, LiveXPBlocks()) << "blocks leaked";
            if (n > calls) break;  // the walk has passed the command's last call
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FilesAndMemory, FaultWalk, ::testing::Values(fault::kFile, fault::kAlloc),
                         [](const ::testing::TestParamInfo<fault::Kind>& i) {
                             return i.param == fault::kFile ? "FileOperations" : "Allocations";
                         });

}  // namespace
