// Windows-1252, the code page of list files and of every text the host hands
// the external, against UTF-8, the code of scripts and transcripts.
#pragma once
#include <cstdint>
#include <string>

namespace vhost {

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
uint32_t Cp1252CodePoint(unsigned char c);

// Appends the UTF-8 form of a code point below 0x10000.
void AppendUtf8(uint32_t codePoint, std::string* out);

// Windows-1252 text as UTF-8; an undefined byte is written as U+FFFD.
std::string Cp1252ToUtf8(const std::string& text);

// UTF-8 text as Windows-1252. False, with *error saying which character,
// when the text is not UTF-8 or holds a character the code page lacks.
bool Utf8ToCp1252(const std::string& utf8, std::string* out, std::string* error);

}  // namespace vhost
