// Reads the input as a list file and a sequence of list-area events: areas
// with any columns and rectangles are placed on a window over the list, then
// painted, scrolled, pressed (with drags), typed into, re-initialised,
// destroyed and placed again, while the list is reloaded, edited, sorted and
// searched between the events. The recording window layer stops on any
// handle misuse; ASan and UBSan on any read outside the line buffer.
//
// Input: line width byte, line count byte, terminator byte, sort column
// byte, the lines' characters, then events of an opcode byte and its bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host.h"
#include "platform/window_record.h"

using vhost::Arg;

namespace {

const std::string& ListPath() {
    static const std::string path = [] {
        char tmpl[] = "/tmp/vandu-fuzz-window-XXXXXX";
        const char* d = mkdtemp(tmpl);
        return std::string(d ? d : "/tmp") + "/l.txt";
    }();
    return path;
}

void Write(const std::string& bytes) {
    std::FILE* f = std::fopen(ListPath().c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int16_t Short() { return static_cast<int16_t>(Byte() | (Byte() << 8)); }
    // A column-like number: small, at and past the line size, zero and negative.
    double Column() { return static_cast<int8_t>(Byte()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

std::string Lines(Input& in, int width, int count, const std::string& term) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < width; ++c) bytes += static_cast<char>(' ' + in.Byte() % 95);
        bytes += term;
    }
    return bytes;
}

std::vector<Arg> AreaParams(Input& in) {
    std::vector<Arg> params = {Arg::Text(in.Byte() % 8 ? "l" : ""), Arg::Num(in.Column()),
                               Arg::Num(in.Column()), Arg::Num(in.Column()), Arg::Text("pick"),
                               Arg::Text("dclk")};
    if (in.Byte() & 1) params.push_back(Arg::Text("clk"));
    return params;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    winrec::Reset();
    const int width = in.Byte() % 40;
    const int count = in.Byte() % 70;
    static const char* const kTerms[] = {"\r", "\n", "\r\n"};
    const std::string term = kTerms[in.Byte() % 3];
    const int sortCol = 1 + in.Byte() % (width + 3);
    Write(Lines(in, width, count, term));
    {
        std::unique_ptr<vhost::Host> host = vhost::Host::Create();
        if (!host) return 0;
        vhost::Host& h = *host;
        h.Load();
        h.Call("LoadList", {Arg::Text("l"), Arg::Text(ListPath()), Arg::Num(sortCol), Arg::Num(1)});
        const int32_t window = h.OpenWindow(400, 300);
        std::vector<int32_t> areas;
        auto place = [&] {
            const int16_t l = in.Short() % 400, t = in.Short() % 300;
            const int16_t r = in.Short() % 400, b = in.Short() % 300;
            areas.push_back(h.PlaceArea(window, l, t, r, b, AreaParams(in)));
        };
        place();
        for (int events = 0; events < 48 && in.more(); ++events) {
            const int32_t area = areas[in.Byte() % areas.size()];
            switch (in.Byte() % 16) {
                case 0:
                    h.PaintWindow(window);
                    break;
                case 1:
                    h.SendScroll(area, in.Byte() % 10, in.Short());
                    break;
                case 2: {
                    const uint8_t code = in.Byte();
                    const uint8_t mods = in.Byte();
                    h.SendKey(area, code, mods & 1, (mods & 2) != 0);
                    break;
                }
                case 3: {
                    // A press, dragged over the given points before its
                    // release shows in the queue.
                    std::vector<std::pair<int16_t, int16_t>> drag(in.Byte() % 4);
                    for (auto& p : drag) p = {in.Short(), in.Short()};
                    const int16_t x = in.Short() % 420, y = in.Short() % 320;
                    const int32_t first = winrec::MouseButtonPolls();
                    winrec::OnMouseButtonPoll([&drag, first](int32_t poll) {
                        const size_t step = static_cast<size_t>(poll - first);
                        if (step < drag.size()) {
                            winrec::QueueMouseButton(-1);
                            winrec::SetCursorScreen(drag[step].first, drag[step].second);
                        } else {
                            winrec::QueueMouseButton(0);
                        }
                    });
                    h.Press(area, x, y);
                    winrec::OnMouseButtonPoll(nullptr);
                    break;
                }
                case 4:
                    h.ReinitArea(area);
                    break;
                case 5:
                    h.DesignDraw(area);
                    break;
                case 6:
                    h.ClipArea(area);
                    break;
                case 7:
                    h.DestroyArea(area);
                    place();
                    break;
                case 8:
                    if (areas.size() < 4) place();
                    break;
                case 9:
                    Write(Lines(in, in.Byte() % 40, in.Byte() % 70, kTerms[in.Byte() % 3]));
                    h.Call("LoadList", {Arg::Text("l"), Arg::Text(ListPath()), Arg::Num(in.Column()),
                                        Arg::Num(1)});
                    break;
                case 10:
                    h.Call("AddLine", {Arg::Text("l"), Arg::Text(Lines(in, width, 1, ""))});
                    break;
                case 11:
                    h.Call("RemoveLine", {Arg::Text("l"), Arg::Text(Lines(in, in.Byte() % 3, 1, ""))});
                    break;
                case 12:
                    h.Call("EditLine", {Arg::Text("l"), Arg::Text(Lines(in, width, 1, ""))});
                    break;
                case 13:
                    h.Call("SortList", {Arg::Text("l"), Arg::Num(in.Column())});
                    break;
                case 14:
                    h.Call("SetSelection", {Arg::Text("l"), Arg::Text(Lines(in, in.Byte() % 4, 1, "")),
                                            Arg::Num(in.Column())});
                    break;
                default:
                    h.Call("UnloadList", {Arg::Text("l")});
                    break;
            }
        }
    }
    winrec::Reset();
    return 0;
}
