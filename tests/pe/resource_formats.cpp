#include "pe/resource_formats.h"

namespace pe {
namespace {

uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

void AppendUtf8(std::string* out, uint16_t u) {
    if (u < 0x80) {
        *out += static_cast<char>(u);
    } else if (u < 0x800) {
        *out += static_cast<char>(0xC0 | (u >> 6));
        *out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (u >> 12));
        *out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

size_t Align4(size_t at) { return (at + 3) & ~static_cast<size_t>(3); }

// One node of a version block: wLength, wValueLength, wType, a NUL-ended
// UTF-16 key, the value and the children, each aligned to 4 bytes.
struct Node {
    std::string key;
    uint16_t type = 0;            // 0 binary, 1 text
    size_t valueAt = 0;
    size_t valueBytes = 0;
    std::vector<Node> children;
};

bool ParseNode(const std::vector<uint8_t>& d, size_t at, size_t end, int depth, Node* node) {
    if (depth > 4 || at + 6 > end) return false;
    size_t length = U16(d, at);
    uint16_t valueLength = U16(d, at + 2);
    node->type = U16(d, at + 4);
    if (length < 6 || length > end - at) return false;
    size_t nodeEnd = at + length;
    size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > nodeEnd) return false;
        uint16_t u = U16(d, p);
        if (u == 0) break;
        AppendUtf8(&node->key, u);
    }
    p = Align4(p + 2);
    node->valueAt = p;
    node->valueBytes = node->type == 1 ? valueLength * 2u : valueLength;
    if (p > nodeEnd || node->valueBytes > nodeEnd - p) return false;
    p = Align4(p + node->valueBytes);
    while (p + 6 <= nodeEnd) {
        Node child;
        if (!ParseNode(d, p, nodeEnd, depth + 1, &child)) return false;
        p = Align4(p + U16(d, p));
        node->children.push_back(std::move(child));
    }
    return true;
}

std::string Text(const std::vector<uint8_t>& d, const Node& n) {
    std::string s;
    for (size_t i = 0; i + 1 < n.valueBytes; i += 2) {
        uint16_t u = U16(d, n.valueAt + i);
        if (u == 0) break;
        AppendUtf8(&s, u);
    }
    return s;
}

}  // namespace

bool DecodeStringBlock(const std::vector<uint8_t>& data, std::vector<std::string>* strings) {
    strings->assign(16, std::string());
    size_t p = 0;
    for (int i = 0; i < 16; ++i) {
        if (p + 2 > data.size()) return false;
        size_t length = U16(data, p);
        p += 2;
        if (length > (data.size() - p) / 2) return false;
        for (size_t k = 0; k < length; ++k, p += 2) AppendUtf8(&(*strings)[i], U16(data, p));
    }
    return true;
}

bool DecodeVersionInfo(const std::vector<uint8_t>& data, VersionInfo* info) {
    Node root;
    if (!ParseNode(data, 0, data.size(), 0, &root)) return false;
    if (root.key != "VS_VERSION_INFO" || root.valueBytes < 52) return false;
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(U16(data, root.valueAt + at)) |
               static_cast<uint32_t>(U16(data, root.valueAt + at + 2)) << 16;
    };
    if (u32(0) != 0xFEEF04BDu) return false;
    uint32_t fileMs = u32(8), fileLs = u32(12), productMs = u32(16), productLs = u32(20);
    uint16_t file[4] = {uint16_t(fileMs >> 16), uint16_t(fileMs), uint16_t(fileLs >> 16), uint16_t(fileLs)};
    uint16_t product[4] = {uint16_t(productMs >> 16), uint16_t(productMs), uint16_t(productLs >> 16),
                           uint16_t(productLs)};
    for (int i = 0; i < 4; ++i) {
        info->fileVersion[i] = file[i];
        info->productVersion[i] = product[i];
    }
    info->fileType = u32(36);

    for (const Node& section : root.children) {
        if (section.key == "StringFileInfo") {
            for (const Node& table : section.children) {
                for (const Node& value : table.children) {
                    info->strings[table.key][value.key] = Text(data, value);
                }
            }
        } else if (section.key == "VarFileInfo") {
            for (const Node& var : section.children) {
                if (var.key != "Translation") continue;
                for (size_t i = 0; i + 4 <= var.valueBytes; i += 4) {
                    info->translations.emplace_back(U16(data, var.valueAt + i),
                                                    U16(data, var.valueAt + i + 2));
                }
            }
        }
    }
    return true;
}

}  // namespace pe
