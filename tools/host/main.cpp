// vandu-host: runs a script of host calls against the external and prints a
// transcript of each call. Usage: vandu-host [--dll PATH] [--interactive] SCRIPT;
// --help describes it.
#include <cstring>
#include <exception>
#include <iostream>

#include "host.h"
#include "script.h"

namespace {

constexpr const char kUsage[] = "usage: vandu-host [--dll PATH] [--interactive] SCRIPT\n";

constexpr const char kHelp[] =
    "vandu-host: the substitute host of the Vandu external. It loads the external,\n"
    "runs SCRIPT, a file of host calls written the way the host's programmers write\n"
    "them (Vandu.LoadList(...), =VanduLineText(...)), and prints a transcript: each\n"
    "call with its status or value and error text, and what list areas did.\n"
    "\n"
    "usage: vandu-host [--dll PATH] [--interactive] SCRIPT\n"
    "\n"
    "  SCRIPT         text in UTF-8 (a byte-order mark is allowed), one statement\n"
    "                 a line; its texts reach the external in Windows-1252, and a\n"
    "                 character that code page lacks is an error of its line\n"
    "  --dll PATH     Windows build: the library to load (default: the file named\n"
    "                 by VANDU_DLL, else Vandu.dll beside the program); the native\n"
    "                 build links the external and ignores it\n"
    "  --interactive  Windows build: keep the script's windows open for a person\n"
    "                 to use, reporting each input, until the last one is closed\n"
    "  -h, --help     print this text\n"
    "\n"
    "Exit status: 0 when every line ran, 1 when a line failed (reported on stderr\n"
    "as \"line N: message\") or the script cannot be read, 2 for a bad command line\n"
    "or a library that cannot be loaded.\n"
    "\n"
    "The statements and the transcript are described in tools/host/README.md; the\n"
    "external's functions and list areas, with examples, in docs/manual.md.\n";

int Run(int argc, char** argv) {
    std::string dll;
    std::string scriptPath;
    bool interactive = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dll") == 0 && i + 1 < argc) {
            dll = argv[++i];
        } else if (std::strcmp(argv[i], "--interactive") == 0) {
            interactive = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kHelp;
            return 0;
        } else if (argv[i][0] == '-' || !scriptPath.empty()) {
            std::cerr << kUsage;
            return 2;
        } else {
            scriptPath = argv[i];
        }
    }
    if (scriptPath.empty()) {
        std::cerr << kUsage;
        return 2;
    }

    std::string text, error;
    if (!vhost::ReadWholeFile(scriptPath, &text, &error)) {
        std::cerr << "vandu-host: " << error << "\n";
        return 1;
    }
    std::unique_ptr<vhost::Host> host = vhost::Host::Create(dll, vhost::Options(), &error);
    if (!host) {
        std::cerr << "vandu-host: " << error << "\n";
        return 2;
    }
    const vhost::Script script = vhost::ParseScript(
        text, [&host](const std::string& name) { return host->PositionOf(name); });
    return vhost::RunScript(*host, script, std::cout, std::cerr, interactive);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "vandu-host: " << e.what() << "\n";
        return 2;
    }
}
