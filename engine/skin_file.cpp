// skin_file.cpp - decoding and reading pad skin files.
#include "engine/skin_file.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/engine.h"
#include "platform/text_encoding.h"

namespace Emu {

namespace {

constexpr int kMaxLine = 256;
// Far more than any skin needs; a larger file is not a skin.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

std::wstring DecodeUtf16Le(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE)
        bytes.remove_prefix(2);
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] =
            static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return Utf16ToWide(units);
}

// Lines without their "\n" or "\r\n", each cut at kMaxLine characters.
std::vector<CString> SplitLines(const std::wstring& text) {
    std::vector<CString> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        size_t length = end - start;
        if (length > 0 && text[start + length - 1] == L'\r') --length;
        lines.push_back(CString(text.substr(start, std::min<size_t>(length, kMaxLine))));
        start = end + 1;
    }
    return lines;
}

bool StartsWith(const CString& line, const wchar_t* prefix) {
    const CString head(prefix);
    return line.Left(head.GetLength()).CompareNoCase(head) == 0;
}

// The image path for a "Bitmap=" name, or empty when the name leaves the
// folder or names no regular file.
CString ImagePath(CString name, const CString& folder) {
    name.Replace(L"\\", L"/");
    if (name.IsEmpty() || name[0] == L'/') return CString();
    for (const auto& part : std::filesystem::path(name.ToUtf8()))
        if (part == "..") return CString();
    const CString path = folder + L"/" + name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path.ToUtf8(), error)) return CString();
    return path;
}

}  // namespace

std::unique_ptr<PadSkin> ParseSkinFile(std::string_view bytes, const CString& folder) {
    const std::vector<CString> lines = SplitLines(DecodeUtf16Le(bytes));
    if (lines.empty() || !StartsWith(lines[0], L"Tamboril.Skin.1")) return nullptr;
    auto skin = std::make_unique<PadSkin>();
    for (size_t i = 1; i < lines.size(); ++i) {
        const CString& line = lines[i];
        if (StartsWith(line, L"//")) continue;
        if (StartsWith(line, L"Bitmap="))
            skin->SetBitmap(ImagePath(line.Mid(7), folder));
        else if (StartsWith(line, L"Name="))
            skin->SetName(line.Mid(5));
        else if (StartsWith(line, L"Type="))
            skin->SetType(line.Mid(5));
        else if (StartsWith(line, L"Author="))
            skin->SetAuthor(line.Mid(7));
        else if (StartsWith(line, L"Landscape="))
            skin->SetLandscape(line.Mid(10, 1) == CString(L"1"));
        else if (StartsWith(line, L"0x"))
            // Characters 3 to 8 are the colour, 9 a separator, the mask follows.
            skin->AddColor(line.Left(8), line.Mid(9));
    }
    return skin;
}

std::unique_ptr<PadSkin> ReadSkinFile(const CString& path, const CString& folder) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path.ToUtf8(), error);
    if (error) return nullptr;
    if (size > kMaxFileSize) {
        ConsolePrintf("Skin file too large, skipped: %s\n", path.ToUtf8().c_str());
        return nullptr;
    }
    std::ifstream in(path.ToUtf8(), std::ios::binary);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return nullptr;
    return ParseSkinFile(bytes, folder);
}

}  // namespace Emu
