// Loads arbitrary bytes as a list file with arbitrary columns, then runs every
// query and command on it. Input: 16 bytes of column and line values, then the
// file's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host.h"

using vhost::Arg;

namespace {

vhost::Host* TheHost() {
    static std::unique_ptr<vhost::Host> host = [] {
        std::string error;
        auto h = vhost::Host::Create(&error);
        h->Load();
        return h;
    }();
    return host.get();
}

const std::string& FilePath() {
    static const std::string path = [] {
        char tmpl[] = "/tmp/vandu-fuzz-XXXXXX";
        const char* dir = mkdtemp(tmpl);
        return std::string(dir ? dir : "/tmp") + "/list.txt";
    }();
    return path;
}

// Column values worth trying: small, around the line, and the extremes.
double Column(uint8_t b) {
    static const double special[] = {0, -1, 1, 2, 32767, -32768, 255, 256, 3.7, -0.5};
    if (b >= 246) return special[b - 246];
    return b % 130;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 16) return 0;
    vhost::Host* h = TheHost();
    const std::string path = FilePath();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 0;
        std::fwrite(data + 16, 1, size - 16, f);
        std::fclose(f);
    }
    const Arg list = Arg::Text("f");
    h->Call("LoadList", {list, Arg::Text(path), Arg::Num(Column(data[0])), Arg::Num(Column(data[1])),
                         Arg::Var("n"), Arg::Var("sz")});
    for (const char* q : {"LineCount", "LineSize", "SortCol", "ModDate", "ModTime", "SelectedLine",
                          "IsCurrent"})
        h->Call(q, {list});
    const std::string text(reinterpret_cast<const char*>(data + 16),
                           std::min<size_t>(size - 16, data[2]));
    h->Call("LineText", {list, Arg::Num(Column(data[3]) - 2), Arg::Num(Column(data[4])),
                         Arg::Num(Column(data[5])), Arg::Text(text)});
    h->Call("SetSelection", {list, Arg::Text(text)});
    h->Call("SetSelection", {list, Arg::Text(text), Arg::Num(Column(data[6]))});
    h->Call("SetSelection", {list, Arg::Text(text), Arg::Num(Column(data[6])), Arg::Num(data[7] & 1)});
    h->Call("SortList", {list, Arg::Num(Column(data[8]))});
    h->Call("LineText", {list, Arg::Num(0), Arg::Num(Column(data[4])), Arg::Num(Column(data[5]))});
    h->Call("PutListInList", {list, Arg::Var("hl"), Arg::Text("c1"), Arg::Num(Column(data[9])),
                              Arg::Num(Column(data[10])), Arg::Text("c2"), Arg::Num(Column(data[11])),
                              Arg::Num(Column(data[12]))});
    const char* edits[] = {"AddLine", "EditLine", "RemoveLine"};
    h->Call(edits[data[13] % 3], {list, Arg::Text(text)});
    h->Call(edits[data[14] % 3], {list, Arg::Text(text.substr(0, data[15] % 40))});
    h->Call("LineText", {list, Arg::Num(1), Arg::Num(1), Arg::Num(32767)});
    h->Call("UnloadList", {list});
    return 0;
}
