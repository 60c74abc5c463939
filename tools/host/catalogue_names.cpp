#include "catalogue_names.h"

#include <algorithm>
#include <cctype>

namespace vhost {
namespace {

const std::string kCommandPrefix = "Vandu.";
const std::string kValuePrefix = "=Vandu";
const size_t kPrefixLength = kCommandPrefix.size();

}  // namespace

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithIgnoreCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && EqualsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

std::string CatalogueFunctionName(const std::string& entry) {
    // The text ends at the colon before the function number; a group prefix
    // ends with '~'.
    std::string text = entry.substr(0, entry.rfind(':'));
    const size_t tilde = text.find('~');
    if (tilde != std::string::npos) text.erase(0, tilde + 1);
    if (!StartsWithIgnoreCase(text, kCommandPrefix) &&
        !StartsWithIgnoreCase(text, kValuePrefix))
        return std::string();
    const size_t paren = text.find('(');
    const size_t end = paren == std::string::npos ? text.size() : paren;
    return end > kPrefixLength ? text.substr(kPrefixLength, end - kPrefixLength) : std::string();
}

std::string BareFunctionName(const std::string& written) {
    if (StartsWithIgnoreCase(written, kCommandPrefix) ||
        StartsWithIgnoreCase(written, kValuePrefix))
        return written.substr(kPrefixLength);
    return written;
}

int32_t FindInCatalogue(const std::string& written,
                        const std::function<std::string(int32_t)>& entryAt, int32_t count) {
    const std::string bare = BareFunctionName(written);
    if (bare.empty()) return 0;
    for (int32_t position = 1; position <= count; ++position) {
        if (EqualsIgnoreCase(CatalogueFunctionName(entryAt(position)), bare)) return position;
    }
    return 0;
}

}  // namespace vhost
