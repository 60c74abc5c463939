// Function names in the catalogue and in the host's notation.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace vhost {

// Positions 11..18 are value functions ("=" entries); the rest are commands.
constexpr bool IsValueFunction(int32_t position) { return position >= 11 && position <= 18; }

// The function name of a catalogue string: "Vandu.LoadList(...):13005008"
// gives "LoadList", "Vandu lists~=VanduLineCount(...):13005020" gives
// "LineCount"; "" for an entry without a name ("Vandu():13005999").
std::string CatalogueFunctionName(const std::string& entry);

// A name as written in a call: "Vandu.LoadList", "=VanduLineText" or the bare
// "LoadList" all give the bare name. The prefixes are matched without regard
// to case.
std::string BareFunctionName(const std::string& written);

// The position (1..count) whose entry names the function written (in any of
// the forms above); 0 when none does. entryAt gives the catalogue string of a
// position.
int32_t FindInCatalogue(const std::string& written,
                        const std::function<std::string(int32_t)>& entryAt, int32_t count);

bool EqualsIgnoreCase(const std::string& a, const std::string& b);
bool StartsWithIgnoreCase(const std::string& s, const std::string& prefix);

}  // namespace vhost
