// Speed of the list store and the list area against baselines measured in
// the same run, on generated lists of 100-byte lines (CR LF, an RSN column,
// random keys), driven through the entry point by the substitute host.
//
//   list_bench [--sizes 10000,100000,1000000] [--dir DIR] [--max-load]
//
// Every row prints the operation's time, the baseline's time and their ratio.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "host.h"
#include "lists/fold.h"

using vhost::Arg;

namespace {

constexpr int kLineSize = 100;  // 98 characters + CR LF
constexpr int kKeyCol = 12;     // random key: 20 letters from column 12
constexpr int kKeyLen = 20;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Resident set size now and at its peak, in MiB.
void Memory(double* rss, double* peak) {
    *rss = *peak = 0;
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) *rss = std::atof(line.c_str() + 6) / 1024.0;
        if (line.rfind("VmHWM:", 0) == 0) *peak = std::atof(line.c_str() + 6) / 1024.0;
    }
}

void Row(const char* op, long n, double t, double base, const char* goal) {
    double rss, peak;
    Memory(&rss, &peak);
    std::printf("%-34s %9ld  %9.3f ms  %9.3f ms  x%6.2f  %-8s  rss %7.1f MiB  peak %7.1f MiB\n", op,
                n, t * 1e3, base * 1e3, base > 0 ? t / base : 0.0, goal, rss, peak);
}

enum class Keys { kRandom, kSorted, kReversed, kEqual };

// Lines: RSN (10 digits, ascending, so the file is in order on column 1),
// a space, the key at column 12, filler, CR LF.
std::string MakeList(long n, Keys keys, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(static_cast<size_t>(n) * kLineSize, ' ');
    for (long i = 0; i < n; ++i) {
        char* l = &s[static_cast<size_t>(i) * kLineSize];
        std::snprintf(l, 11, "%010ld", 2 * i + 2);
        l[10] = ' ';
        for (int k = 0; k < kKeyLen; ++k) {
            l[kKeyCol - 1 + k] = keys == Keys::kRandom ? static_cast<char>('A' + rng() % 26) : 'K';
        }
        if (keys == Keys::kSorted || keys == Keys::kReversed) {
            // A monotone key: the line number in fixed-width decimal.
            char num[16];
            std::snprintf(num, sizeof num, "%010ld", keys == Keys::kSorted ? i : n - i);
            std::memcpy(l + kKeyCol - 1, num, 10);
        }
        l[kLineSize - 2] = '\r';
        l[kLineSize - 1] = '\n';
    }
    return s;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

double Time(const std::function<void()>& fn) {
    const double t0 = Now();
    fn();
    return Now() - t0;
}

// The best of a few runs, for short operations.
double Best(int runs, const std::function<void()>& fn) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) best = std::min(best, Time(fn));
    return best;
}

struct Bench {
    std::unique_ptr<vhost::Host> host;
    std::string dir;

    int16_t Cmd(const std::string& fn, const std::vector<Arg>& args) {
        const auto r = host->Call(fn, args);
        if (r.Status() != 0) std::fprintf(stderr, "%s -> status %d %s\n", fn.c_str(), r.Status(), r.errorText.c_str());
        return r.Status();
    }
    int16_t Load(const std::string& path) {
        return Cmd("LoadList", {Arg::Text("b"), Arg::Text(path), Arg::Num(1), Arg::Num(1)});
    }
};

// Baseline of LoadList: open and one read of the whole file into a buffer.
double ReadWhole(const std::string& path) {
    return Time([&] {
        const int fd = ::open(path.c_str(), O_RDONLY);
        struct stat st;
        ::fstat(fd, &st);
        char* buf = static_cast<char*>(std::malloc(static_cast<size_t>(st.st_size) + 2));
        size_t done = 0;
        while (done < static_cast<size_t>(st.st_size)) {
            const ssize_t r = ::read(fd, buf + done, static_cast<size_t>(st.st_size) - done);
            if (r <= 0) break;
            done += static_cast<size_t>(r);
        }
        ::close(fd);
        volatile char sink = buf[done / 2];
        (void)sink;
        std::free(buf);
    });
}

// Baseline of SortList: std::sort of line pointers with the same folded
// signed comparison, then the lines moved into that order.
double PointerSort(const std::string& bytes, int col) {
    int8_t order[256];
    BuildFoldOrder(kFoldTable, order);
    std::string buf = bytes;
    const long n = static_cast<long>(buf.size() / kLineSize);
    return Time([&] {
        std::vector<const char*> p(static_cast<size_t>(n));
        for (long i = 0; i < n; ++i) p[static_cast<size_t>(i)] = &buf[static_cast<size_t>(i) * kLineSize];
        const int off = col - 1, len = kLineSize - off;
        std::sort(p.begin(), p.end(), [&](const char* a, const char* b) {
            for (int k = 0; k < len; ++k) {
                const int d = order[static_cast<uint8_t>(a[off + k])] - order[static_cast<uint8_t>(b[off + k])];
                if (d) return d < 0;
            }
            return false;
        });
        std::string out(buf.size(), '\0');
        for (long i = 0; i < n; ++i)
            std::memcpy(&out[static_cast<size_t>(i) * kLineSize], p[static_cast<size_t>(i)], kLineSize);
        buf.swap(out);
    });
}

// Baseline of a full scan: read the first compared byte of every line.
double FirstByteScan(const std::string& bytes, int col) {
    int8_t order[256];
    BuildFoldOrder(kFoldTable, order);
    const long n = static_cast<long>(bytes.size() / kLineSize);
    return Best(3, [&] {
        long hits = 0;
        const char* p = bytes.data() + col - 1;
        for (long i = 0; i < n; ++i, p += kLineSize) hits += order[static_cast<uint8_t>(*p)] == '#';
        volatile long sink = hits;
        (void)sink;
    });
}

// Baseline of an edit: the whole buffer written to the file from offset 0.
double WriteWhole(const std::string& path, const std::string& bytes) {
    return Best(3, [&] {
        const int fd = ::open(path.c_str(), O_WRONLY);
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t r = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (r <= 0) break;
            done += static_cast<size_t>(r);
        }
        ::close(fd);
    });
}

void RunSize(Bench& b, long n) {
    const std::string path = b.dir + "/bench_" + std::to_string(n) + ".txt";
    const std::string bytes = MakeList(n, Keys::kRandom, 7);
    WriteFile(path, bytes);

    const double load = Time([&] { b.Load(path); });
    Row("LoadList", n, load, ReadWhole(path), "<=1.2");

    const double sort = Time([&] { b.Cmd("SortList", {Arg::Text("b"), Arg::Num(kKeyCol)}); });
    Row("SortList random keys", n, sort, PointerSort(bytes, kKeyCol), "<=1.0");

    // Exact search for a text no line has: a full scan.
    const double scan = Best(3, [&] {
        b.Cmd("SetSelection", {Arg::Text("b"), Arg::Text("#NOTHERE"), Arg::Num(kKeyCol), Arg::Num(1)});
    });
    Row("SetSelection exact, not found", n, scan, FirstByteScan(bytes, kKeyCol), "<=2");

    // Edits on the file-ordered list. The write baseline goes to a copy: a
    // write to the list file itself would make the list stale.
    const std::string copy = path + ".baseline";
    WriteFile(copy, bytes);
    const double write = WriteWhole(copy, bytes);
    std::remove(copy.c_str());
    b.Load(path);
    // Three rounds of add, edit, edit moving the sort text, remove: each
    // round leaves the list as it found it; the best time of each counts.
    double add = 1e30, edit = 1e30, move = 1e30, remove = 1e30;
    for (int round = 0; round < 3; ++round) {
        char text[128];
        std::snprintf(text, sizeof text, "%010ld NEWKEY", n + 1);  // odd RSN: a new line mid-list
        add = std::min(add, Time([&] { b.Cmd("AddLine", {Arg::Text("b"), Arg::Text(text)}); }));
        // A change beyond the 28 bytes compared from the sort column: in place.
        std::snprintf(text, sizeof text, "%010ld NEWKEY%34s", n + 1, "CHANGED");
        edit = std::min(edit, Time([&] { b.Cmd("EditLine", {Arg::Text("b"), Arg::Text(text)}); }));
        // A change of the sort text: the list is sorted again before the write.
        std::snprintf(text, sizeof text, "%010ld MOVED%d", n + 1, round);
        move = std::min(move, Time([&] { b.Cmd("EditLine", {Arg::Text("b"), Arg::Text(text)}); }));
        std::snprintf(text, sizeof text, "%010ld", n + 1);
        remove = std::min(remove, Time([&] { b.Cmd("RemoveLine", {Arg::Text("b"), Arg::Text(text)}); }));
    }
    Row("AddLine", n, add, write, "<=1.5");
    Row("EditLine", n, edit, write, "<=1.5");
    Row("EditLine changing the sort text", n, move, write, "(sort)");
    Row("RemoveLine", n, remove, write, "<=1.5");

    // The same sort as a whole process of the system's sort, for comparison.
    char cmd[512];
    std::snprintf(cmd, sizeof cmd, "LC_ALL=C sort -f -k1.%d,1.%d %s -o %s.sorted", kKeyCol,
                  kKeyCol + kKeyLen - 1, path.c_str(), path.c_str());
    const double ext = Time([&] {
        if (std::system(cmd) != 0) std::fprintf(stderr, "sort failed\n");
    });
    Row("external: LC_ALL=C sort -f", n, ext, sort, "(ref)");
    std::remove((path + ".sorted").c_str());

    b.Cmd("UnloadList", {Arg::Text("b")});
    std::remove(path.c_str());
}

// Sorted, reversed and all-equal keys: time per line at n against n / 10.
void RunShapes(Bench& b, long n) {
    const char* names[] = {"sorted", "reversed", "all-equal"};
    const Keys shapes[] = {Keys::kSorted, Keys::kReversed, Keys::kEqual};
    for (int s = 0; s < 3; ++s) {
        double t[2];
        const long sizes[2] = {n / 10, n};
        for (int k = 0; k < 2; ++k) {
            const std::string path = b.dir + "/shape.txt";
            WriteFile(path, MakeList(sizes[k], shapes[s], 3));
            // Best of three: each run sorts a freshly loaded list.
            t[k] = 1e30;
            for (int run = 0; run < 3; ++run) {
                b.Load(path);
                t[k] = std::min(t[k], Time([&] { b.Cmd("SortList", {Arg::Text("b"), Arg::Num(kKeyCol)}); }));
                b.Cmd("UnloadList", {Arg::Text("b")});
            }
            std::remove(path.c_str());
        }
        const double perLine = (t[1] / static_cast<double>(n)) / (t[0] / static_cast<double>(n / 10));
        const double nlogn = std::log(static_cast<double>(n)) / std::log(static_cast<double>(n / 10));
        char op[64];
        std::snprintf(op, sizeof op, "SortList %s keys", names[s]);
        Row(op, n, t[1], t[0], "(n/10)");
        std::printf("%-34s %9ld  per-line growth x%.2f, n log n allows x%.2f: %s\n", "", n, perLine,
                    nlogn, perLine <= nlogn * 1.25 ? "ok" : "TOO SLOW");
    }
}

// A list area on a list of n lines, sorted on column 1: a type-ahead key
// that searches every line (a text after all of them), a paint of the area
// and a one-line scroll. Times of the paint and the scroll at two sizes.
struct AreaTimes {
    double typeAhead, scan, paint, scroll;
};

AreaTimes TimeArea(Bench& b, long n) {
    const std::string path = b.dir + "/area_" + std::to_string(n) + ".txt";
    const std::string bytes = MakeList(n, Keys::kRandom, 5);
    WriteFile(path, bytes);
    b.Load(path);
    vhost::Host& h = *b.host;
    const int32_t window = h.OpenWindow(640, 480);
    const int32_t area = h.PlaceArea(window, 10, 10, 600, 460,
                                     {Arg::Text("b"), Arg::Num(80), Arg::Num(1), Arg::Num(10),
                                      Arg::Text("pick"), Arg::Text("dclk")});
    h.PaintWindow(window);
    AreaTimes t;
    // Each key starts a new search: the choice action before it ends the
    // previous one.
    t.typeAhead = 1e30;
    for (int run = 0; run < 3; ++run) {
        h.SendKey(area, 27);
        t.typeAhead = std::min(t.typeAhead, Time([&] { h.SendKey(area, 'Z'); }));
    }
    t.scan = FirstByteScan(bytes, 1);
    h.SendScroll(area, 6);  // back to the top
    // Short operations: the mean over many, in the best of three rounds.
    constexpr int kPaints = 50, kScrolls = 200;
    t.paint = Best(3, [&] {
        for (int i = 0; i < kPaints; ++i) h.PaintWindow(window);
    }) / kPaints;
    t.scroll = Best(3, [&] {
        h.SendScroll(area, 6);
        for (int i = 0; i < kScrolls; ++i) h.SendScroll(area, 1);
    }) / kScrolls;
    h.CloseWindow(window);
    b.Cmd("UnloadList", {Arg::Text("b")});
    std::remove(path.c_str());
    return t;
}

void RunArea(Bench& b, long small, long large) {
    const AreaTimes s = TimeArea(b, small);
    const AreaTimes l = TimeArea(b, large);
    Row("Area type-ahead, whole list", large, l.typeAhead, l.scan, "<=2");
    Row("Area paint (baseline: small list)", large, l.paint, s.paint, "~1");
    Row("Area one-line scroll (same)", large, l.scroll, s.scroll, "~1");
}

// The largest list file that loads in this process, doubling from 128 MiB.
void RunMaxLoad(Bench& b) {
    const std::string path = b.dir + "/max.txt";
    const std::string line = MakeList(1, Keys::kRandom, 1);
    long best = 0;
    for (long mib = 128; mib <= 1792; mib += (mib < 1024 ? mib : 256)) {
        const long lines = mib * 1024 * 1024 / kLineSize;
        {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            std::string chunk;
            for (int i = 0; i < 10000; ++i) chunk += line;
            for (long i = 0; i < lines; i += 10000)
                std::fwrite(chunk.data(), 1, static_cast<size_t>(std::min(10000L, lines - i)) * kLineSize, f);
            std::fclose(f);
        }
        const double t0 = Now();
        const int16_t st = b.Load(path);
        const double dt = Now() - t0;
        double rss, peak;
        Memory(&rss, &peak);
        std::printf("%-34s %6ld MiB  status %d  %8.1f ms  rss %7.1f MiB\n", "LoadList largest file", mib, st,
                    dt * 1e3, rss);
        b.Cmd("UnloadList", {Arg::Text("b")});
        if (st != 0) break;
        best = mib;
    }
    std::remove(path.c_str());
    std::printf("%-34s %6ld MiB loads\n", "largest list file", best);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<long> sizes = {10000, 100000, 1000000};
    std::string dir = "/tmp";
    bool maxLoad = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--sizes" && i + 1 < argc) {
            sizes.clear();
            for (char* p = std::strtok(argv[++i], ","); p; p = std::strtok(nullptr, ","))
                sizes.push_back(std::atol(p));
        } else if (a == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (a == "--max-load") {
            maxLoad = true;
        } else {
            std::fprintf(stderr, "usage: list_bench [--sizes N,N,...] [--dir DIR] [--max-load]\n");
            return 2;
        }
    }
    Bench b;
    std::string error;
    b.host = vhost::Host::Create(&error);
    if (!b.host) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    b.dir = dir;
    b.host->Load();
    std::printf("%-34s %9s  %12s  %12s  %7s  %-8s\n", "operation", "lines", "time", "baseline", "ratio",
                "goal");
    for (long n : sizes) RunSize(b, n);
    if (!sizes.empty()) {
        RunShapes(b, sizes.back());
        RunArea(b, std::min(10000L, sizes.front()), sizes.back());
    }
    if (maxLoad) RunMaxLoad(b);
    b.host->Unload();
    return 0;
}
