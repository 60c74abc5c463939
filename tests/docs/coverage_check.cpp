// Fails when the manual leaves out a function of the catalogue the DLL is
// built from, or a status that a command can give.
//
//   docs_coverage RESULT_CODES_HEADER PAGE.md...
//
// Every catalogue function needs a heading that is its name as written in a
// call: LoadList for Vandu.LoadList, VanduLineText for =VanduLineText. Every
// result code of the header's enum ResultCode, turned into the status that a
// command reports, needs a row of the table under the heading
// "Status codes and error texts" whose first cell is that status and, where
// the status comes with an error text of its own, a cell holding that text.
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "catalogue.h"
#include "catalogue_names.h"
#include "entry/globals.h"
#include "entry/report.h"
#include "markdown.h"

namespace {

constexpr const char kStatusHeading[] = "Status codes and error texts";

struct ResultCode {
    std::string name;
    int value;
};

// The constants of "enum ResultCode { kName = N, ... };".
std::vector<ResultCode> ReadResultCodes(const std::string& path) {
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<ResultCode> codes;
    const size_t begin = text.find("enum ResultCode");
    if (begin == std::string::npos) return codes;
    const std::string body = text.substr(begin, text.find("};", begin) - begin);
    const std::regex constant(R"((k\w+)\s*=\s*(-?\d+))");
    for (std::sregex_iterator it(body.begin(), body.end(), constant), end; it != end; ++it)
        codes.push_back({(*it)[1], std::stoi((*it)[2])});
    return codes;
}

bool HasHeading(const std::vector<docs::Page>& pages, const std::string& heading) {
    for (const docs::Page& page : pages)
        for (const std::string& h : docs::Headings(page))
            if (h == heading) return true;
    return false;
}

bool HasRow(const std::vector<std::vector<std::string>>& rows, int status, const char* text) {
    for (const auto& row : rows) {
        if (row.empty() || row[0] != std::to_string(status)) continue;
        if (!text) return true;
        for (const std::string& cell : row)
            if (cell.find(text) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: docs_coverage RESULT_CODES_HEADER PAGE.md...\n";
        return 2;
    }
    std::vector<docs::Page> pages;
    if (!docs::ReadPages(argc, argv, 2, &pages)) return 1;
    int faults = 0;

    static const char* const entries[] = {VANDU_CATALOGUE_ENTRIES};
    int32_t position = 0;
    for (const char* entry : entries) {
        ++position;
        const std::string name = vhost::CatalogueFunctionName(entry);
        if (name.empty()) continue;  // the external's own entry
        const std::string heading = (vhost::IsValueFunction(position) ? "Vandu" : "") + name;
        if (!HasHeading(pages, heading)) {
            std::cerr << "no section headed " << heading << " for the catalogue entry \"" << entry
                      << "\"\n";
            ++faults;
        }
    }

    std::vector<std::vector<std::string>> rows;
    for (const docs::Page& page : pages)
        if (rows.empty()) rows = docs::TableAfter(page, kStatusHeading);
    const std::vector<ResultCode> codes = ReadResultCodes(argv[1]);
    if (codes.empty()) {
        std::cerr << "no result codes in " << argv[1] << "\n";
        ++faults;
    }
    for (const ResultCode& code : codes) {
        Globals g{};
        const int status = StatusOfResult(&g, static_cast<int16_t>(code.value));
        if (!HasRow(rows, status, g.errorText)) {
            std::cerr << "no row for status " << status
                      << (g.errorText ? std::string(" with the error text \"") + g.errorText + "\"" : "")
                      << " (result " << code.name << " = " << code.value << ") in the table under \""
                      << kStatusHeading << "\"\n";
            ++faults;
        }
    }
    std::cout << faults << " faults\n";
    return faults == 0 ? 0 : 1;
}
