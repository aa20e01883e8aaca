#pragma once
// Decoded bytes, read as UTF-8, brought into the locale's character set: what the user
// sees is only what that character set can show.

#include <memory>
#include <string>

// Converts the zero-terminated UTF-8 text to the given character set (by default the one
// of the user's locale). Invalid UTF-8 becomes U+FFFD first; a character the set lacks
// becomes its transliteration, or a blank. The result is zero-terminated and the caller's;
// null for null input or when the conversion fails.
std::unique_ptr<char[]> Utf8ToAnsi(const char* utf8);
std::unique_ptr<char[]> Utf8ToAnsi(const char* utf8, const std::string& charset);
