// The parts of the manual's Markdown that its checks read: fenced blocks,
// headings and tables.
#pragma once
#include <string>
#include <vector>

namespace docs {

struct Page {
    std::string path;
    std::vector<std::string> lines;  // without their line ends
};

// False, with *error set, when the file cannot be read.
bool ReadPage(const std::string& path, Page* page, std::string* error);

// The pages named by argv[first] onward; false, with the pages that cannot be
// read reported on stderr, when one cannot.
bool ReadPages(int argc, char** argv, int first, std::vector<Page>* pages);

// A fenced block: ```info, its lines, ```.
struct Block {
    int line = 0;        // 1-based line of the opening fence
    std::string info;    // the text after the opening fence, trimmed
    std::string text;    // the lines between the fences, each ended by "\n"
};

std::vector<Block> FencedBlocks(const Page& page);

// Heading texts (after the #s) with backticks removed and blanks trimmed;
// lines inside fenced blocks are no headings.
std::vector<std::string> Headings(const Page& page);

// The rows of the first table after the heading whose text is heading, the
// header row and its separator left out; each row's cells trimmed, with
// backticks removed. Empty when there is no such heading or table.
std::vector<std::vector<std::string>> TableAfter(const Page& page, const std::string& heading);

// The words of a block's info string.
std::vector<std::string> Words(const std::string& text);

}  // namespace docs
