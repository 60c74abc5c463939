// Temporary list files for tests: each test gets a fresh directory, and file
// contents are written and read back byte for byte.
#pragma once
#include <string>

namespace testfiles {

// A fresh empty directory under the system's temporary directory, removed
// with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Path of a file name inside the directory.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
void Remove(const std::string& path);
// Moves the file's last-write time by the given seconds (another program's
// change that keeps the size).
void ShiftWriteTime(const std::string& path, int seconds);

}  // namespace testfiles
