// pad_skin.cpp - the skin list, the active skin and its image, the pad bits
// under a point, and a skin's own tables.
#include "engine/pad_skin.h"

#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/program_folder.h"
#include "engine/skin_file.h"
#include "lumaret/surface.h"
#include "lumaret/window.h"
#include "platform/paths.h"

namespace Emu {

namespace {

struct SkinList {
    std::vector<std::unique_ptr<PadSkin>> skins;  // the built-in skin first
    QWidget* parent = nullptr;
    PadSkin* active = nullptr;
    std::unique_ptr<Lumaret::Surface> image;
};

SkinList& Skins() {
    static SkinList list;
    return list;
}

// The built-in skin's image is the engine's Qt resource of this number.
constexpr const wchar_t* kBuiltInImage = L"166";

struct ColourEntry {
    uint32_t rgb888;
    uint16_t mask;
};
constexpr ColourEntry kBuiltInColours[] = {
    {0x0000FF, PadSkin::kNorth},
    {0xFF0000, PadSkin::kSouth},
    {0xFFFF00, PadSkin::kWest},
    {0x00FF00, PadSkin::kEast},
    {0x500000, PadSkin::kNorth | PadSkin::kWest},
    {0x005500, PadSkin::kNorth | PadSkin::kEast},
    {0x008800, PadSkin::kSouth | PadSkin::kWest},
    {0x000088, PadSkin::kSouth | PadSkin::kEast},
    {0xFF9900, PadSkin::kB},
    {0x005934, PadSkin::kA},
    {0xFD40FF, PadSkin::kA | PadSkin::kB},
    {0x475911, PadSkin::kStart},
    {0x99BF26, PadSkin::kSelect},
};

struct Token {
    const wchar_t* text;
    uint16_t bits;
};
constexpr Token kTokens[] = {
    {L"n", PadSkin::kNorth},
    {L"s", PadSkin::kSouth},
    {L"w", PadSkin::kWest},
    {L"e", PadSkin::kEast},
    {L"nw", 0x0A00},
    {L"ne", 0x0900},
    {L"sw", 0x0600},
    {L"se", 0x0500},
    {L"a", PadSkin::kA},
    {L"b", PadSkin::kB},
    {L"x", PadSkin::kX},
    {L"y", PadSkin::kY},
    {L"l", PadSkin::kL},
    {L"r", PadSkin::kR},
    {L"start", PadSkin::kStart},
    {L"select", PadSkin::kSelect},
};

std::unique_ptr<PadSkin> BuiltInSkin() {
    auto skin = std::make_unique<PadSkin>();
    skin->SetBitmap(kBuiltInImage, true);
    skin->SetAuthor(L"Tamboril");
    skin->SetName(L"Tamboril Default");
    skin->SetType(L"GB");
    for (const ColourEntry& entry : kBuiltInColours) skin->AddColor(entry.rgb888, entry.mask);
    return skin;
}

// The "*.txt" files of `folder` (extension without case), in name order.
std::vector<std::string> SkinFileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && CString::FromUtf8(name.substr(name.size() - 4)).CompareNoCase(L".txt") == 0 &&
            entry.is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool PadSkin::LoadSkins(QWidget* parent) {
    ReleaseSkins();
    SkinList& list = Skins();
    list.parent = parent;
    list.skins.push_back(BuiltInSkin());
    const CString folder = ProgramFolder() + L"/Skins";
    Platform::MakeFolders(folder.ToUtf8());
    for (const std::string& name : SkinFileNames(folder.ToUtf8())) {
        if (auto skin = ReadSkinFile(folder + L"/" + CString::FromUtf8(name), folder))
            list.skins.push_back(std::move(skin));
    }
    return true;
}

void PadSkin::ReleaseSkins() {
    SkinList& list = Skins();
    list.active = nullptr;
    list.skins.clear();
    list.image.reset();
}

int PadSkin::GetSkinCount() { return static_cast<int>(Skins().skins.size()); }

PadSkin* PadSkin::GetSkinAt(int index) {
    if (index < 0 || index >= GetSkinCount()) return nullptr;
    return Skins().skins[static_cast<size_t>(index)].get();
}

PadSkin* PadSkin::GetSkin(const CString& id) {
    // A skin without a name has an empty identifier.
    auto identifier = [](const PadSkin& skin) { return skin.GetName().IsEmpty() ? CString() : skin.GetID(); };
    // An exact identifier first, so "GB|Pad" is never taken for "GB|Pad Big".
    if (!id.IsEmpty()) {
        for (auto& skin : Skins().skins)
            if (identifier(*skin).CompareNoCase(id) == 0) return skin.get();
    }
    for (auto& skin : Skins().skins)
        if (identifier(*skin).Left(id.GetLength()).CompareNoCase(id) == 0) return skin.get();
    return nullptr;
}

void PadSkin::SetActiveSkin(PadSkin* skin) {
    ReleaseImage();
    SkinList& list = Skins();
    list.active = skin ? skin : (list.skins.empty() ? nullptr : list.skins.front().get());
    LoadImage();
}

PadSkin* PadSkin::GetActiveSkin() { return Skins().active; }

bool PadSkin::LoadImage() {
    SkinList& list = Skins();
    list.image.reset();
    const PadSkin* skin = list.active;
    if (!skin || skin->bitmap_.IsEmpty()) return false;
    if (skin->fromResource_)
        list.image.reset(Lumaret::GDI::Surface::CreateFromResource(nullptr, skin->bitmap_.GetString()));
    else
        list.image.reset(Lumaret::GDI::Surface::CreateFromFile(skin->bitmap_.GetString()));
    return list.image != nullptr;
}

void PadSkin::ReleaseImage() { Skins().image.reset(); }

Lumaret::Surface* PadSkin::GetImage() { return Skins().active ? Skins().image.get() : nullptr; }

CSize PadSkin::GetImageSize() {
    Lumaret::Surface* image = GetImage();
    if (!image) return {};
    return {image->GetWidth(), image->GetHeight()};
}

void PadSkin::DrawImage(QWidget* window, int x, int y) {
    Lumaret::Surface* image = GetImage();
    if (!image || !window) return;
    const int width = image->GetWidth(), half = image->GetHeight() / 2;
    Lumaret::GDI::Window target(window);
    target.DrawSurface(image, 0, 0, width, half, x, y, width, half);
}

int PadSkin::CheckPad(int x, int y) {
    const PadSkin* skin = GetActiveSkin();
    Lumaret::Surface* image = GetImage();
    if (!skin || !image || x < 0 || y < 0) return 0;
    const int half = image->GetHeight() / 2;
    // Only the visible half answers; its hit map lies one half further down.
    if (x >= image->GetWidth() || y >= half) return 0;
    const uint16_t* pixels = image->Lock();
    const uint16_t colour =
        pixels[static_cast<size_t>(y + half) * static_cast<size_t>(image->GetPitch() / 2) + static_cast<size_t>(x)];
    image->Unlock();
    for (int i = 0; i < skin->colourCount_; ++i)
        if (skin->colours_[i] == colour) return skin->masks_[i];
    return 0;
}

CString PadSkin::GetID() const { return type_ + L"|" + name_; }

void PadSkin::AddColor(uint32_t rgb888, uint32_t mask) {
    if (colourCount_ >= kMaxColours) return;
    colours_[colourCount_] = Lumaret::Rgb565FromRgb888(rgb888);
    masks_[colourCount_] = static_cast<uint16_t>(mask);
    ++colourCount_;
}

void PadSkin::AddColor(const CString& colourText, const CString& maskText) {
    AddColor(TextToInt(colourText.Mid(2)), DecodeMask(maskText));
}

void PadSkin::SetBitmap(const CString& path, bool fromResource) {
    bitmap_ = path;
    fromResource_ = fromResource;
}

void PadSkin::SetAuthor(const CString& author) { author_ = L"Designed by: " + author; }

uint32_t PadSkin::TextToInt(const CString& text) {
    uint32_t value = 0;
    for (wchar_t c : text.Text()) {
        int digit = -1;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        if (digit >= 0) value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

uint16_t PadSkin::DecodeMask(const CString& text) {
    uint16_t bits = 0;
    int start = 0;
    while (start <= text.GetLength()) {
        int plus = text.Find(L'+', start);
        if (plus < 0) plus = text.GetLength();
        const CString token = text.Mid(start, plus - start);
        for (const Token& known : kTokens)
            if (token.CompareNoCase(known.text) == 0) bits |= known.bits;
        start = plus + 1;
    }
    return bits;
}

}  // namespace Emu
