// Reads the input as a sequence of host calls (any catalogue position, any
// parameters) and runs them through the entry point on a few small lists.
//
// Each call: position byte, parameter count byte (0..21), then per parameter
// a kind byte (0 number, 1 text, 2 host variable) and its data: a number as
// one signed byte scaled by a second, a text as a length byte and characters.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host.h"

using vhost::Arg;

namespace {

// A folder for the lists, made once.
const std::string& Dir() {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/vandu-fuzz-XXXXXX";
        const char* d = mkdtemp(tmpl);
        return std::string(d ? d : "/tmp");
    }();
    return dir;
}

void Write(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A fresh host and fresh lists every run, so that each input replays the
    // same way and the host variables that texts name do not pile up.
    std::unique_ptr<vhost::Host> host = vhost::Host::Create();
    if (!host) return 0;
    vhost::Host* h = host.get();
    const std::string a = Dir() + "/a.txt", b = Dir() + "/b.txt", c = Dir() + "/c.txt";
    Write(a, "12 ADAMS    x\r\n123 BAKER  y\r\n7 MILLER   z\r\n");
    Write(b, "b\nA\nc\n");
    Write(c, "");
    h->Load();
    h->Call("LoadList", {Arg::Text("a"), Arg::Text(a), Arg::Num(4), Arg::Num(1)});
    h->Call("LoadList", {Arg::Text("b"), Arg::Text(b), Arg::Num(1), Arg::Num(1)});
    h->Call("LoadList", {Arg::Text("c"), Arg::Text(c), Arg::Num(1), Arg::Num(1)});

    size_t i = 0;
    auto next = [&]() -> int { return i < size ? data[i++] : -1; };
    for (int calls = 0; calls < 32; ++calls) {
        const int pos = next();
        const int count = next();
        if (pos < 0 || count < 0) break;
        std::vector<Arg> args;
        for (int k = 0; k < count % 22; ++k) {
            const int kind = next();
            if (kind < 0) break;
            if (kind % 3 == 0) {
                const int v = next(), scale = next();
                args.push_back(Arg::Num(static_cast<int8_t>(v < 0 ? 0 : v) * (scale < 0 ? 1.0 : scale / 4.0)));
            } else if (kind % 3 == 1) {
                const int len = next();
                std::string s;
                for (int n = 0; n < (len < 0 ? 0 : len); ++n) {
                    const int ch = next();
                    if (ch < 0) break;
                    s.push_back(static_cast<char>(ch));
                }
                // Texts that name the lists now and then.
                if (len >= 0 && len % 7 == 0) s = std::string(1, static_cast<char>('a' + len % 3));
                args.push_back(Arg::Text(s));
            } else {
                args.push_back(Arg::Var("v" + std::to_string(next() & 3)));
            }
        }
        h->CallPosition(pos % 23, args);
    }
    h->Unload();
    return 0;
}
