#pragma once
// Text conversions that stand in for the Windows code-page functions. The locale's
// character set plays the ANSI code page; every conversion goes through iconv.

#include <optional>
#include <string>
#include <string_view>

// The character set of the locale the user started the program in (nl_langinfo(CODESET)
// after setlocale(LC_ALL, "")). Read once, on the first call: call it before Qt is set up,
// because Qt switches the process to a UTF-8 locale behind our back.
const std::string& AnsiCharset();

// UTF-8 to UTF-16. Stops at the first zero byte; each byte of an invalid sequence becomes
// U+FFFD. A leading U+FEFF is kept.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Whether the bytes are UTF-8 throughout (no overlong forms, surrogates or code points past
// U+10FFFF; zero bytes are fine).
bool IsValidUtf8(std::string_view bytes);

// The bytes read in the given character set, as UTF-8; nullopt when any of them is not
// valid in it (or iconv does not know the set).
std::optional<std::string> ToUtf8Exactly(std::string_view bytes, const std::string& charset);

// UTF-16 to the given character set. A character the set lacks becomes its iconv
// transliteration when there is one, otherwise a blank. nullopt when the character set
// is unknown to iconv.
// Character = one code unit or one surrogate pair; an unpaired surrogate becomes a blank.
// glibc's transliteration partly depends on the LC_CTYPE locale in force at the call:
// "é" -> "e" comes from the locale's table (C.UTF-8 has it, plain "C" does not, so there
// é becomes a blank), while e.g. "ß" -> "ss", "€" -> "EUR", "½" -> " 1/2 " are built in.
// Some transliterations are empty (U+200B, combining accents under C.UTF-8): the character
// then simply disappears.
std::optional<std::string> Utf16ToCharset(std::u16string_view text, const std::string& charset);

// The given character set to UTF-16; bytes that are not valid in it become U+FFFD.
// Each refused byte (invalid, or an incomplete sequence at the end) gives one U+FFFD and
// the conversion goes on with the next byte. Zero bytes are converted like any other.
// nullopt when the character set is unknown to iconv.
std::optional<std::u16string> CharsetToUtf16(std::string_view bytes, const std::string& charset);
