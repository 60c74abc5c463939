// Every command and value function with each parameter missing, zero,
// negative, fractional, at the 16-bit extremes and as texts around the
// length limits: a documented code comes back, nothing crashes, and the
// list file keeps whole lines.
#include <gtest/gtest.h>

#include <set>

#include "host.h"
#include "support/files.h"

using vhost::Arg;
using vhost::Host;

namespace {

const char kLines[] = "12 ADAMS    1\r\n123 BAKER   2\r\n7 MILLER    3\r\n";
constexpr size_t kLineSize = 15;

std::vector<Arg> Variants() {
    std::vector<Arg> v = {Arg::Num(0), Arg::Num(-1), Arg::Num(2.7), Arg::Num(-0.5), Arg::Num(32767),
                          Arg::Num(-32768), Arg::Num(1e12), Arg::Num(-1e12)};
    for (size_t n : {0u, 15u, 16u, 254u, 255u, 256u}) v.push_back(Arg::Text(std::string(n, 'q')));
    v.push_back(Arg::Text(std::string("12 X\r\n\0z", 8)));
    return v;
}

// Valid arguments of each catalogue position, in order.
std::vector<Arg> ValidArgs(int32_t position, const std::string& path) {
    const Arg list = Arg::Text("p");
    switch (position) {
        case 3: return {list, Arg::Var("hl"), Arg::Text("c1"), Arg::Num(1), Arg::Num(5), Arg::Text("c2"),
                        Arg::Num(3), Arg::Num(9)};
        case 4: case 5: case 6: return {list, Arg::Text("12 ZED")};
        case 7: return {list, Arg::Num(4)};
        case 8: return {list, Arg::Text("BA"), Arg::Num(5), Arg::Num(0)};
        case 9: return {list};
        case 10: return {list, Arg::Text(path), Arg::Num(4), Arg::Num(1), Arg::Var("n"), Arg::Var("s")};
        case 17: return {list, Arg::Num(-1), Arg::Num(1), Arg::Num(9), Arg::Text("123")};
        case 19: case 20: return {list, Arg::Var("x")};
        default: return {list};
    }
}

TEST(ParameterMatrixTest, EveryPositionEveryParameter) {
    testfiles::TempDir dir;
    const std::string path = dir.File("p.txt");
    std::string error;
    auto h = Host::Create(&error);
    ASSERT_TRUE(h) << error;
    h->Load();
    const std::set<int> statuses = {0, 3, 8, 9, 10, 11, 12};
    const std::set<int> negated = {-3, -5, -10};
    const std::vector<Arg> variants = Variants();

    for (int32_t pos = 1; pos <= 21; ++pos) {
        const std::vector<Arg> valid = ValidArgs(pos, path);
        // Each parameter replaced by each variant, and the list cut short
        // before each parameter.
        for (size_t k = 0; k <= valid.size(); ++k) {
            for (size_t v = 0; v <= variants.size(); ++v) {
                testfiles::WriteBytes(path, kLines);
                ASSERT_EQ(0, h->Call("LoadList", {Arg::Text("p"), Arg::Text(path), Arg::Num(4), Arg::Num(1)})
                                 .Status());
                std::vector<Arg> args = valid;
                if (v == variants.size()) {
                    args.resize(k);
                } else if (k < valid.size()) {
                    args[k] = variants[v];
                } else {
                    args.push_back(variants[v]);
                }
                const auto r = h->CallPosition(pos, args);
                SCOPED_TRACE("position " + std::to_string(pos) + " parameter " + std::to_string(k + 1) +
                             " variant " + std::to_string(v));
                if (r.valueFunction) {
                    if (r.value.kind == vhost::Value::kNumber && r.value.number < 0) {
                        EXPECT_TRUE(negated.count(static_cast<int>(r.value.number))) << r.value.number;
                    }
                } else {
                    EXPECT_TRUE(statuses.count(r.Status())) << r.Status();
                }
                // Whatever happened, the file holds whole lines of its width.
                if (testfiles::Exists(path)) {
                    const std::string disk = testfiles::ReadBytes(path);
                    EXPECT_EQ(0u, disk.size() % kLineSize) << disk.size();
                    for (size_t i = kLineSize; i <= disk.size(); i += kLineSize)
                        EXPECT_EQ('\n', disk[i - 1]);
                }
                h->Call("UnloadList", {Arg::Text("p")});
            }
        }
    }
    h->Unload();
}

}  // namespace
