// registry_text.cpp - reading and writing the store's file format (see
// registry_text.h). Reading goes line by line: a line that cannot be read is
// set aside with its problem and never stops the rest of the file.
#include "registry_text.h"

#include <algorithm>
#include <cstdio>

#include "platform/record.h"
#include "platform/text_encoding.h"

namespace {

constexpr std::string_view Header = "Windows Registry Editor Version 5.00";
// Longest line (after joining continued byte lists) the reader accepts; the
// writer's longest is far below (names and paths are bounded, byte lists wrap).
constexpr size_t MaxLineLength = 1 << 20;
constexpr size_t MaxNameLength = 255;
// Byte lists wrap after this column, as the export format's own writer does.
constexpr size_t WrapColumn = 76;

bool IsControlCharacter(wchar_t c) { return c < 0x20 || c == 0x7F; }

bool HasControlCharacter(std::wstring_view text) { return std::any_of(text.begin(), text.end(), IsControlCharacter); }

// Tabs may indent a line; no other control character belongs in the file.
bool HasControlCharacterButTab(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c != L'\t' && IsControlCharacter(c); });
}

bool IsNameValid(const CString& name) {
    return Utf16Length(name.Text()) <= MaxNameLength && !HasControlCharacter(name.Text());
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return CString::FromUtf8(a).CompareNoCase(CString::FromUtf8(b)) == 0;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text at the start of `s` (which starts with '"') and moves
// past it. Only \\ and \" are escapes.
bool TakeQuoted(std::string_view& s, std::string& out) {
    out.clear();
    for (size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
            c = s[++i];
        }
        out += c;
    }
    return false;
}

// Comma-separated two-digit bytes; an empty list is no bytes.
bool ParseBytes(std::string_view s, std::vector<uint8_t>& out) {
    s = TrimLeft(TrimRight(s));
    if (s.empty()) return true;
    for (;;) {
        s = TrimLeft(s);
        if (s.size() < 2 || HexDigit(s[0]) < 0 || HexDigit(s[1]) < 0) return false;
        out.push_back(static_cast<uint8_t>(HexDigit(s[0]) << 4 | HexDigit(s[1])));
        s = TrimLeft(s.substr(2));
        if (s.empty()) return true;
        if (s[0] != ',') return false;
        s.remove_prefix(1);
    }
}

bool ParseHexNumber(std::string_view s, size_t maxDigits, uint32_t& value) {
    if (s.empty() || s.size() > maxDigits) return false;
    value = 0;
    for (char c : s) {
        if (HexDigit(c) < 0) return false;
        value = value << 4 | static_cast<uint32_t>(HexDigit(c));
    }
    return true;
}

// The data of a value line (after "="); an empty string when it is readable.
std::string ParseData(std::string_view s, RegistryValue& value) {
    value.data.clear();
    if (!s.empty() && s[0] == '"') {
        std::string text;
        if (!TakeQuoted(s, text)) return "unterminated or badly escaped text";
        if (!TrimLeft(s).empty()) return "text after the closing quote";
        value.type = REG_SZ;
        value.data = StringValueData(WideToUtf16(Utf8ToWide(text)));
        return "";
    }
    if (s.starts_with("dword:")) {
        uint32_t number;
        if (s.size() != 14 || !ParseHexNumber(s.substr(6), 8, number)) return "a dword needs eight hexadecimal digits";
        value.type = REG_DWORD;
        value.data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                      static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
        return "";
    }
    if (s.starts_with("hex:")) {
        value.type = REG_BINARY;
        s.remove_prefix(4);
    } else if (s.starts_with("hex(")) {
        size_t close = s.find("):");
        if (close == std::string_view::npos || !ParseHexNumber(s.substr(4, close - 4), 8, value.type))
            return "bad value type";
        s.remove_prefix(close + 2);
    } else {
        return "unknown value type";
    }
    return ParseBytes(s, value.data) ? "" : "bad hexadecimal bytes";
}

class Reader {
public:
    Reader(std::string_view text, std::string_view rootName) : rootName_(rootName) {
        if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            lines_.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }

    RegistryText Read() {
        bool headerSeen = false;
        for (size_t i = 0; i < lines_.size(); ++i) {
            size_t first = i;
            std::string line(TrimRight(lines_[i]));
            std::string_view start = TrimLeft(line);
            // A byte list continues on the next line after a backslash (a
            // quoted text cannot end in one).
            if (start.starts_with('"') || start.starts_with('@')) {
                while (line.ends_with('\\') && i + 1 < lines_.size() && line.size() <= MaxLineLength) {
                    line.pop_back();
                    line += TrimLeft(TrimRight(lines_[++i]));
                }
            }
            std::string why = line.size() > MaxLineLength                                         ? "line too long"
                              : !IsValidUtf8(line) || HasControlCharacterButTab(Utf8ToWide(line)) ? "not UTF-8 text"
                                                                                                  : "";
            if (!why.empty()) {
                // Values below a damaged key line must not land in the key before it.
                if (TrimLeft(lines_[first]).starts_with('[')) current_ = nullptr;
                SetAside(first, i, why);
                continue;
            }
            std::string_view text = TrimLeft(line);
            if (text.empty()) continue;
            if (!headerSeen) {
                headerSeen = true;
                if (text == Header) continue;
                result_.problems.push_back("line " + std::to_string(first + 1) + ": no header line");
            }
            std::string problem = text[0] == '[' ? ReadSection(text) : ReadValue(text);
            if (!problem.empty()) SetAside(first, i, problem);
        }
        if (!headerSeen) result_.problems.push_back("empty file");
        return std::move(result_);
    }

private:
    void SetAside(size_t first, size_t last, const std::string& why) {
        for (size_t i = first; i <= last; ++i) result_.unreadableLines.emplace_back(lines_[i]);
        result_.problems.push_back("line " + std::to_string(first + 1) + ": " + why);
    }

    std::string ReadSection(std::string_view text) {
        current_ = nullptr;  // the values below a damaged section have no key
        if (!text.ends_with(']')) return "unterminated key name";
        std::string_view inner = text.substr(1, text.size() - 2);
        std::string_view path;
        bool below = inner.size() > rootName_.size() && inner[rootName_.size()] == '\\';
        if (below) {
            path = inner.substr(rootName_.size() + 1);
            inner = inner.substr(0, rootName_.size());
        }
        if (!EqualNoCase(inner, rootName_)) return "key outside " + std::string(rootName_);
        std::vector<CString> names;
        if ((below && path.empty()) || !SplitKeyPath(CString::FromUtf8(path), names)) return "bad key name";
        current_ = &result_.root.ObtainSubKey(names);
        return "";
    }

    std::string ReadValue(std::string_view text) {
        RegistryValue value;
        if (text[0] == '@') {
            text.remove_prefix(1);
        } else if (text[0] == '"') {
            std::string name;
            if (!TakeQuoted(text, name)) return "unterminated or badly escaped name";
            value.name = CString::FromUtf8(name);
            if (!IsNameValid(value.name)) return "bad value name";
        } else {
            return "neither a key nor a value";
        }
        text = TrimLeft(text);
        if (!text.starts_with('=')) return "no '=' after the value name";
        std::string problem = ParseData(TrimLeft(text.substr(1)), value);
        if (!problem.empty()) return problem;
        if (!current_) return "value outside any key";
        // A name given twice: the later line counts, as on import.
        if (RegistryValue* old = current_->FindValue(value.name))
            *old = std::move(value);
        else
            current_->values.push_back(std::move(value));
        return "";
    }

    std::string_view rootName_;
    std::vector<std::string_view> lines_;
    RegistryText result_;
    RegistryKey* current_ = nullptr;
};

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

// The text of a string value when its bytes are exactly UTF-16 text without
// control characters followed by one terminator; the quoted form holds nothing
// else.
bool QuotableText(const std::vector<uint8_t>& data, std::wstring& text) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    std::u16string units;
    for (size_t i = 0; i + 1 < data.size(); i += 2) units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (units.back() != 0) return false;
    units.pop_back();
    text = Utf16ToWide(units);
    return units.find(u'\0') == std::u16string::npos && text.find(L'\uFFFD') == std::wstring::npos &&
           !HasControlCharacter(text);
}

void WriteValue(std::string& out, const RegistryValue& value) {
    std::string line = value.name.IsEmpty() ? "@=" : Quoted(value.name.ToUtf8()) + "=";
    std::wstring text;
    if (value.type == REG_SZ && QuotableText(value.data, text)) {
        out += line + Quoted(WideToUtf8(text)) + "\n";
        return;
    }
    if (value.type == REG_BINARY) {
        line += "hex:";
    } else {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
        line += prefix;
    }
    for (size_t i = 0; i < value.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", value.data[i]);
        line += byte;
        if (i + 1 == value.data.size()) break;
        line += ',';
        if (line.size() > WrapColumn) {
            out += line + "\\\n";
            line = "  ";
        }
    }
    out += line + "\n";
}

void WriteKey(std::string& out, const RegistryKey& key, const std::string& path, bool isRoot) {
    if (!isRoot || !key.values.empty()) {
        out += "\n[" + path + "]\n";
        for (const RegistryValue& value : key.values) WriteValue(out, value);
    }
    for (const RegistryKey& sub : key.subKeys) WriteKey(out, sub, path + "\\" + sub.name.ToUtf8(), false);
}

template <typename Items>
auto FindByName(Items& items, const CString& name) -> decltype(&items[0]) {
    for (auto& item : items) {
        if (item.name.CompareNoCase(name) == 0) return &item;
    }
    return nullptr;
}

}  // namespace

RegistryKey* RegistryKey::FindSubKey(const CString& name) { return FindByName(subKeys, name); }
const RegistryKey* RegistryKey::FindSubKey(const CString& name) const { return FindByName(subKeys, name); }
RegistryValue* RegistryKey::FindValue(const CString& name) { return FindByName(values, name); }
const RegistryValue* RegistryKey::FindValue(const CString& name) const { return FindByName(values, name); }

RegistryKey& RegistryKey::ObtainSubKey(const std::vector<CString>& names, bool* created) {
    RegistryKey* key = this;
    for (const CString& name : names) {
        RegistryKey* sub = key->FindSubKey(name);
        if (!sub) {
            key->subKeys.push_back(RegistryKey{name, {}, {}});
            sub = &key->subKeys.back();
            if (created) *created = true;
        }
        key = sub;
    }
    return *key;
}

RegistryText ParseRegistryText(std::string_view text, std::string_view rootName) {
    return Reader(text, rootName).Read();
}

std::string FormatRegistryText(const RegistryKey& root, std::string_view rootName) {
    std::string out(Header);
    out += '\n';
    WriteKey(out, root, std::string(rootName), true);
    return out;
}

bool SplitKeyPath(const CString& path, std::vector<CString>& names) {
    names.clear();
    if (path.IsEmpty()) return true;
    for (int start = 0;;) {
        int end = path.Find(L'\\', start);
        CString name = path.Mid(start, end < 0 ? path.GetLength() - start : end - start);
        if (name.IsEmpty() || !IsNameValid(name)) return false;
        names.push_back(name);
        if (end < 0) return true;
        start = end + 1;
    }
}

std::vector<uint8_t> StringValueData(std::u16string_view units) {
    std::vector<uint8_t> data((units.size() + 1) * 2);
    for (size_t i = 0; i < units.size(); ++i) StoreLe16(&data[2 * i], units[i]);
    return data;
}

bool IsValidValueName(const CString& name) { return IsNameValid(name); }
