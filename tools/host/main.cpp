// vandu-host: runs a script of host calls against the external and prints a
// transcript of each call. Usage: vandu-host [--dll PATH] [--interactive] SCRIPT
#include <cstring>
#include <exception>
#include <iostream>

#include "host.h"
#include "script.h"

namespace {

constexpr const char kUsage[] = "usage: vandu-host [--dll PATH] [--interactive] SCRIPT\n";

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
            std::cout << kUsage;
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
