#include "support/files.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace testfiles {

TempDir::TempDir() {
    static std::mt19937 rng(std::random_device{}());
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        fs::path p = base / ("vandu-test-" + std::to_string(rng()));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return (fs::path(path_) / name).string(); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool Exists(const std::string& path) { return fs::exists(path); }

void Remove(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

void ShiftWriteTime(const std::string& path, int seconds) {
    const auto t = fs::last_write_time(path);
    fs::last_write_time(path, t + std::chrono::seconds(seconds));
}

}  // namespace testfiles
