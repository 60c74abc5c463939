// Runs every example of the manual through the substitute host and fails when
// what the host prints differs from the transcript printed in the manual.
//
//   docs_examples HOST SAMPLE PAGE.md...
//
// An example is a ```vandu-script block followed by a ```transcript block.
// ```vandu-list NAME [crlf|cr] blocks before the script are list files it
// uses: their lines (UTF-8 in the page) are written in Windows-1252, each
// ended by LF, or CR LF, or CR. Every example runs in a fresh directory that
// holds a copy of SAMPLE as people.txt and its list files, all dated
// kFileTime, with TZ=UTC; the host's stderr is part of the transcript.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "codepage.h"
#include "markdown.h"

namespace {

namespace fs = std::filesystem;

// 2024-03-15 09:30:00 UTC: the date and time the examples' files carry.
constexpr time_t kFileTime = 1710495000;

struct ListFile {
    std::string name;
    std::string bytes;
};

struct Example {
    const docs::Page* page;
    int line;                      // of the script block
    std::vector<ListFile> files;
    std::string script;
    std::string transcript;
};

bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    if (!out) return false;
    const utimbuf times{kFileTime, kFileTime};
    return ::utime(path.c_str(), &times) == 0;
}

// A vandu-list block as the bytes of its file; false with *error set.
bool ListFileOf(const docs::Block& block, ListFile* file, std::string* error) {
    const std::vector<std::string> words = docs::Words(block.info);
    std::string eol = "\n";
    if (words.size() < 2 || words.size() > 3 ||
        (words.size() == 3 && words[2] != "crlf" && words[2] != "cr")) {
        *error = "expected ```vandu-list NAME [crlf|cr]";
        return false;
    }
    if (words.size() == 3) eol = words[2] == "crlf" ? "\r\n" : "\r";
    std::string text = block.text, converted;
    std::string lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines += text.substr(start, end - start) + eol;
        start = end + 1;
    }
    if (!vhost::Utf8ToCp1252(lines, &converted, error)) return false;
    file->name = words[1];
    file->bytes = converted;
    return true;
}

// The examples of a page in order; false with the page's faults reported.
bool Examples(const docs::Page& page, std::vector<Example>* out) {
    bool ok = true;
    auto fault = [&](int line, const std::string& message) {
        std::cerr << page.path << ":" << line << ": " << message << "\n";
        ok = false;
    };
    const std::vector<docs::Block> blocks = docs::FencedBlocks(page);
    std::vector<ListFile> files;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const docs::Block& b = blocks[i];
        const std::string kind = docs::Words(b.info).empty() ? "" : docs::Words(b.info)[0];
        if (kind == "vandu-list") {
            ListFile file;
            std::string error;
            if (ListFileOf(b, &file, &error))
                files.push_back(file);
            else
                fault(b.line, error);
        } else if (kind == "vandu-script") {
            if (i + 1 >= blocks.size() || blocks[i + 1].info != "transcript") {
                fault(b.line, "a vandu-script block needs a transcript block right after it");
                continue;
            }
            out->push_back(Example{&page, b.line, files, b.text, blocks[i + 1].text});
            files.clear();
            ++i;
        } else if (kind == "transcript") {
            fault(b.line, "a transcript block without a vandu-script block before it");
        }
    }
    if (!files.empty()) fault(static_cast<int>(page.lines.size()), "a vandu-list block that no script follows");
    return ok;
}

// Runs the host on example.vsc in dir; its stdout and stderr, in order.
bool RunHost(const std::string& host, const fs::path& dir, std::string* output) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::close(fds[1]);
        if (::chdir(dir.c_str()) != 0) _exit(126);
        ::setenv("TZ", "UTC", 1);
        ::execl(host.c_str(), host.c_str(), "example.vsc", static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(fds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) output->append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    // Exit 1 is a script line that failed, which an example may show.
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}

// The first line at which two texts differ, 1-based.
int FirstDifference(const std::string& a, const std::string& b) {
    int line = 1;
    for (size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i)
        if (a[i] == '\n') ++line;
    return line;
}

bool Run(const Example& ex, const std::string& host, const std::string& sample) {
    char pattern[] = "/tmp/vandu-docs-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::cerr << "cannot make a directory for the examples\n";
        return false;
    }
    const fs::path dir(pattern);
    std::string sampleBytes, output;
    {
        std::ifstream in(sample, std::ios::binary);
        sampleBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool ok = WriteFile(dir / "people.txt", sampleBytes) && WriteFile(dir / "example.vsc", ex.script);
    for (const ListFile& f : ex.files) ok = ok && WriteFile(dir / f.name, f.bytes);
    const bool ran = ok && RunHost(host, dir, &output);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    const std::string where = ex.page->path + ":" + std::to_string(ex.line) + ": ";
    if (!ran) {
        std::cerr << where << "the example did not run\n" << output;
        return false;
    }
    if (output == ex.transcript) return true;
    std::cerr << where << "the transcript differs from line "
              << FirstDifference(output, ex.transcript) << " on; the host printed:\n"
              << output << "--- the manual shows:\n"
              << ex.transcript;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: docs_examples HOST SAMPLE PAGE.md...\n";
        return 2;
    }
    std::vector<docs::Page> pages;
    bool ok = docs::ReadPages(argc, argv, 3, &pages);
    std::vector<Example> examples;
    for (const docs::Page& page : pages) ok = Examples(page, &examples) && ok;
    int failed = 0;
    for (const Example& ex : examples)
        if (!Run(ex, argv[1], argv[2])) ++failed;
    std::cout << examples.size() << " examples, " << failed << " failed\n";
    return ok && failed == 0 && !examples.empty() ? 0 : 1;
}
