// cstring.cpp - CString's searching, slicing, case and formatting operations.
#include "cstring.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <vector>

#include "text_encoding.h"

namespace {

// The Unicode case mapping comes from the C.UTF-8 locale, used through its own
// handle so the process's locale stays untouched. Without it (a C library that
// lacks the locale), only ASCII letters change case. The handle is freed when
// the module holding this copy ends: a plug-in that is unloaded loses nothing.
class CaseLocaleHandle {
public:
    CaseLocaleHandle() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {}
    ~CaseLocaleHandle() {
        if (locale_) freelocale(locale_);
    }
    CaseLocaleHandle(const CaseLocaleHandle&) = delete;
    CaseLocaleHandle& operator=(const CaseLocaleHandle&) = delete;
    locale_t Get() const { return locale_; }

private:
    locale_t locale_;
};

locale_t CaseLocale() {
    static const CaseLocaleHandle handle;
    return handle.Get();
}

wchar_t ToLower(wchar_t c) {
    if (locale_t locale = CaseLocale()) return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale));
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

CString::CString(const char* utf8) : text_(utf8 ? Utf8ToWide(utf8) : std::wstring()) {}

CString CString::FromUtf8(std::string_view text) { return CString(Utf8ToWide(text)); }
CString CString::FromUtf16(std::u16string_view text) { return CString(Utf16ToWide(text)); }
std::string CString::ToUtf8() const { return WideToUtf8(text_); }
std::u16string CString::ToUtf16() const { return WideToUtf16(text_); }

int CString::Find(wchar_t c, int start) const { return Find(CString(std::wstring(1, c)), start); }

int CString::Find(const CString& part, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t at = text_.find(part.text_, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t c) const {
    size_t at = text_.rfind(c);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const { return Mid(0, count); }
CString CString::Mid(int first) const { return Mid(first, GetLength()); }
CString CString::Right(int count) const { return Mid(GetLength() - std::clamp(count, 0, GetLength())); }

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(text_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString& CString::MakeLower() {
    for (wchar_t& c : text_) c = ToLower(c);
    return *this;
}

int CString::Replace(const CString& from, const CString& to) {
    if (from.IsEmpty()) return 0;
    std::wstring result;
    int count = 0;
    size_t pos = 0;
    for (size_t at; (at = text_.find(from.text_, pos)) != std::wstring::npos; pos = at + from.text_.size()) {
        result.append(text_, pos, at - pos);
        result += to.text_;
        ++count;
    }
    result.append(text_, pos);
    text_ = std::move(result);
    return count;
}

void CString::Format(const wchar_t* format, ...) {
    // vswprintf reports a short buffer and a format it cannot expand alike,
    // so the buffer grows up to a bound and the text stays empty past it.
    std::vector<wchar_t> buffer(256);
    text_.clear();
    for (; buffer.size() <= (1u << 20); buffer.resize(buffer.size() * 4)) {
        va_list arguments;
        va_start(arguments, format);
        int n = vswprintf(buffer.data(), buffer.size(), format, arguments);
        va_end(arguments);
        if (n >= 0) {
            text_.assign(buffer.data(), static_cast<size_t>(n));
            return;
        }
    }
}

int CString::Compare(const CString& other) const { return Sign(text_.compare(other.text_)); }

int CString::CompareNoCase(const CString& other) const {
    CString a = *this, b = other;
    return a.MakeLower().Compare(b.MakeLower());
}
