// text_encoding.h - conversions between the program's wide characters (one
// wchar_t per code point), UTF-8 (files, paths, the console) and UTF-16 (the
// registry's string values).
#pragma once

#include <string>
#include <string_view>

// Malformed input never fails: every byte or unit that does not form a code
// point becomes U+FFFD, so a conversion always yields text.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf16ToWide(std::u16string_view text);
std::u16string WideToUtf16(std::wstring_view text);

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Number of UTF-16 units `text` takes.
size_t Utf16Length(std::wstring_view text);
