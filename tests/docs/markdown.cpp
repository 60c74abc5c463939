#include "markdown.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace docs {
namespace {

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") + 1 - b);
}

std::string WithoutBackticks(std::string s) {
    std::string out;
    for (const char c : s)
        if (c != '`') out += c;
    return Trim(out);
}

bool IsFence(const std::string& line) { return line.compare(0, 3, "```") == 0; }

// Whether each line lies inside a fenced block (its fences included).
std::vector<bool> FencedLines(const Page& page) {
    std::vector<bool> fenced(page.lines.size(), false);
    bool inside = false;
    for (size_t i = 0; i < page.lines.size(); ++i) {
        const bool fence = IsFence(page.lines[i]);
        fenced[i] = inside || fence;
        if (fence) inside = !inside;
    }
    return fenced;
}

// The heading text of a line, or "" when it is no heading.
std::string HeadingText(const std::string& line) {
    size_t n = 0;
    while (n < line.size() && line[n] == '#') ++n;
    if (n == 0 || n > 6 || n >= line.size() || line[n] != ' ') return "";
    return WithoutBackticks(line.substr(n + 1));
}

}  // namespace

bool ReadPage(const std::string& path, Page* page, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read '" + path + "'";
        return false;
    }
    page->path = path;
    page->lines.clear();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        page->lines.push_back(line);
    }
    return true;
}

bool ReadPages(int argc, char** argv, int first, std::vector<Page>* pages) {
    bool ok = true;
    for (int i = first; i < argc; ++i) {
        Page page;
        std::string error;
        if (ReadPage(argv[i], &page, &error)) {
            pages->push_back(page);
        } else {
            std::cerr << error << "\n";
            ok = false;
        }
    }
    return ok;
}

std::vector<Block> FencedBlocks(const Page& page) {
    std::vector<Block> blocks;
    Block* open = nullptr;
    for (size_t i = 0; i < page.lines.size(); ++i) {
        const std::string& line = page.lines[i];
        if (!IsFence(line)) {
            if (open) open->text += line + "\n";
            continue;
        }
        if (open) {
            open = nullptr;
            continue;
        }
        blocks.push_back(Block());
        open = &blocks.back();
        open->line = static_cast<int>(i + 1);
        open->info = Trim(line.substr(3));
    }
    return blocks;
}

std::vector<std::string> Headings(const Page& page) {
    const std::vector<bool> fenced = FencedLines(page);
    std::vector<std::string> headings;
    for (size_t i = 0; i < page.lines.size(); ++i) {
        if (fenced[i]) continue;
        const std::string text = HeadingText(page.lines[i]);
        if (!text.empty()) headings.push_back(text);
    }
    return headings;
}

std::vector<std::vector<std::string>> TableAfter(const Page& page, const std::string& heading) {
    const std::vector<bool> fenced = FencedLines(page);
    std::vector<std::vector<std::string>> rows;
    size_t i = 0;
    while (i < page.lines.size() && (fenced[i] || HeadingText(page.lines[i]) != heading)) ++i;
    // The first line that begins a table: the header, then the separator.
    while (i < page.lines.size() && (fenced[i] || Trim(page.lines[i]).compare(0, 1, "|") != 0)) ++i;
    for (i += 2; i < page.lines.size(); ++i) {
        const std::string line = Trim(page.lines[i]);
        if (line.empty() || line[0] != '|') break;
        std::vector<std::string> cells;
        std::string cell;
        // Cells split at "|" outside backticks: a code span may hold one.
        bool code = false;
        for (size_t k = 1; k < line.size(); ++k) {
            if (line[k] == '`') code = !code;
            if (line[k] == '|' && !code && line[k - 1] != '\\') {
                cells.push_back(WithoutBackticks(cell));
                cell.clear();
            } else {
                cell += line[k];
            }
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

}  // namespace docs
