// cstring.h - CString, the program's text type: wide characters (one wchar_t
// per code point), with the operations the engine, the plug-ins and the front
// end use, and conversion to and from UTF-8 and UTF-16.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Positions and counts are ints, as the callers compute them; out-of-range
// arguments are clamped (Left(-1) is empty, Mid(99) of a short text is empty)
// and searches that find nothing return -1.
class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : text_(text ? text : L"") {}
    CString(std::wstring text) : text_(std::move(text)) {}
    // Narrow text is UTF-8.
    CString(const char* utf8);

    static CString FromUtf8(std::string_view text);
    static CString FromUtf16(std::u16string_view text);
    std::string ToUtf8() const;
    std::u16string ToUtf16() const;

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    // Index must lie inside the text.
    wchar_t GetAt(int index) const { return text_.at(static_cast<size_t>(index)); }
    wchar_t operator[](int index) const { return GetAt(index); }
    const wchar_t* GetString() const { return text_.c_str(); }
    const std::wstring& Text() const { return text_; }

    int Find(wchar_t c, int start = 0) const;
    int Find(const CString& part, int start = 0) const;
    int ReverseFind(wchar_t c) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Lower case by the Unicode mapping of each character.
    CString& MakeLower();
    // Replaces every occurrence, left to right without overlaps; returns the
    // count. An empty `from` replaces nothing.
    int Replace(const CString& from, const CString& to);
    // printf-style formatting of wide text (%d, %ls for wide strings, ...);
    // a format that cannot be expanded leaves the text empty.
    void Format(const wchar_t* format, ...);

    // Compare by code point: negative, zero or positive.
    int Compare(const CString& other) const;
    int CompareNoCase(const CString& other) const;

    CString& operator+=(const CString& other) {
        text_ += other.text_;
        return *this;
    }
    CString& operator+=(wchar_t c) {
        text_ += c;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator<(const CString& a, const CString& b) { return a.text_ < b.text_; }

private:
    std::wstring text_;
};

template <>
struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::wstring>()(s.Text()); }
};
