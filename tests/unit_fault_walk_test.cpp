// Walks a failure over every file operation and every allocation of each
// command: an error comes back, nothing crashes or leaks, the list file holds
// either its old or its new content, and the same command then works.
#include <gtest/gtest.h>

#include <functional>

#include "entry/entry.h"
#include "host.h"
#include "host/memory.h"
#include "platform/fault.h"
#include "support/files.h"

using vhost::Arg;

namespace {

const char kOld[] =
    "11 ADAMS   \r\n"
    "12 BAKER   \r\n"
    "13 MILLER  \r\n";

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
        {"SortList", true, false, call("SortList", {p, Arg::Num(1)})},
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

class FaultWalk : public ::testing::TestWithParam<fault::Kind> {
protected:
    std::unique_ptr<vhost::Host> NewHost() {
        return vhost::Host::CreateWithEntry(&LinkedEntry, vhost::Options());
    }
    // Runs the scenario once without faults: its result and file content.
    std::string Expected(const Scenario& s) {
        testfiles::WriteBytes(path, kOld);
        auto h = NewHost();
        h->Load();
        Prepare(h.get(), s);
        EXPECT_EQ(0, Result(s.run(h.get(), path)));
        h->Unload();
        return testfiles::ReadBytes(path);
    }
    void Prepare(vhost::Host* h, const Scenario& s) {
        if (!s.loadFirst) return;
        ASSERT_EQ(0, h->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(4), Arg::Num(1)})
                         .Status());
        if (s.sortFirst) ASSERT_EQ(0, h->Call("SortList", {Arg::Text("p"), Arg::Num(7)}).Status());
    }
    static int Result(const vhost::CallResult& r) { return r.Status(); }

    testfiles::TempDir dir;
    const std::string path = dir.File("p.txt");
};

TEST_P(FaultWalk, EveryFailurePoint) {
    const fault::Kind kind = GetParam();
    for (const Scenario& s : Scenarios()) {
        SCOPED_TRACE(s.name);
        const std::string fresh = Expected(s);
        for (uint32_t n = 1; n < 64; ++n) {
            SCOPED_TRACE("failing call " + std::to_string(n));
            testfiles::WriteBytes(path, kOld);
            const int32_t live = LiveXPBlocks();
            auto h = NewHost();
            h->Load();
            Prepare(h.get(), s);
            fault::Arm(kind, n);
            const vhost::CallResult r = s.run(h.get(), path);
            const uint32_t calls = fault::Count(kind);
            fault::DisarmAll();

            const std::string disk = testfiles::ReadBytes(path);
            if (Result(r) == 0) {
                // A failure the command may absorb (a buffer that cannot
                // shrink, a sort that cannot start) never changes the file
                // into anything but its old or new content.
                EXPECT_TRUE(disk == fresh || disk == kOld) << disk;
            } else {
                EXPECT_TRUE(disk == kOld || disk == fresh) << disk;
            }
            // The same command now works and gives the new content.
            if (s.loadFirst && h->Call("LineCount", {Arg::Text("p")}).value.number < 0)
                ASSERT_EQ(0, h->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(4),
                                                  Arg::Num(1)}).Status());
            const int again = Result(s.run(h.get(), path));
            if (disk == kOld) {
                EXPECT_EQ(0, again);
                EXPECT_EQ(fresh, testfiles::ReadBytes(path));
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
