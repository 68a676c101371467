// pad_skin.h - Emu::PadSkin, the on-screen game pad shown in full screen: a
// picture whose upper half is what the player sees and whose lower half is a
// hit map painted in colours that the skin's table maps to pad bits. The
// class keeps the list of skins (the built-in one first, then those read from
// "*.txt" files in the "Skins" folder beside the program), the active skin
// and its loaded image.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "engine/marrowby_api.h"
#include "platform/cstring.h"

class QWidget;

namespace Lumaret {
class Surface;
}

namespace Emu {

class MARROWBY_API PadSkin {
public:
    static constexpr int kMaxColours = 32;

    // Pad bits.
    enum : uint16_t {
        kNorth = 0x0800,
        kSouth = 0x0400,
        kWest = 0x0200,
        kEast = 0x0100,
        kA = 0x0080,
        kB = 0x8000,
        kX = 0x0040,
        kY = 0x4000,
        kL = 0x0020,
        kR = 0x0010,
        kStart = 0x1000,
        kSelect = 0x2000,
    };

    // The skin list: the built-in skin, then every skin file of the "Skins"
    // folder beside the program (created when missing), in name order.
    static bool LoadSkins(QWidget* parent);
    static void ReleaseSkins();
    static int GetSkinCount();
    static PadSkin* GetSkinAt(int index);
    // The skin whose identifier equals `id` (case ignored), else the first
    // whose identifier begins with it; null when none.
    static PadSkin* GetSkin(const CString& id);
    // Makes `skin` active (null: the built-in skin) and loads its image.
    static void SetActiveSkin(PadSkin* skin);
    static PadSkin* GetActiveSkin();
    static bool LoadImage();
    static void ReleaseImage();
    static Lumaret::Surface* GetImage();
    // The whole image's size, both halves; 0 x 0 without an image.
    static CSize GetImageSize();
    // Draws the visible (upper) half of the image at (x, y) of `window`.
    static void DrawImage(QWidget* window, int x, int y);
    // The pad bits at (x, y) of the visible pad, 0 outside it or where the
    // hit map's colour is not in the table.
    static int CheckPad(int x, int y);

    // "Type|Name".
    CString GetID() const;
    const CString& GetName() const { return name_; }
    const CString& GetAuthor() const { return author_; }
    const CString& GetType() const { return type_; }
    const CString& GetBitmap() const { return bitmap_; }
    bool IsFromResource() const { return fromResource_; }
    bool IsLandscape() const { return landscape_; }
    int GetColourCount() const { return colourCount_; }
    uint16_t GetColour(int index) const { return colours_[index]; }
    uint16_t GetMask(int index) const { return masks_[index]; }

    // Used by the loader. A colour beyond kMaxColours is ignored.
    void AddColor(uint32_t rgb888, uint32_t mask);
    void AddColor(const CString& colourText, const CString& maskText);
    void SetBitmap(const CString& path, bool fromResource = false);
    void SetName(const CString& name) { name_ = name; }
    void SetType(const CString& type) { type_ = type; }
    // Stored after "Designed by: ".
    void SetAuthor(const CString& author);
    void SetLandscape(bool landscape) { landscape_ = landscape; }
    // Hex digits of `text` as a number, other characters skipped.
    static uint32_t TextToInt(const CString& text);
    // Pad-bit tokens joined by "+" ("a+b"), case ignored; unknown tokens add nothing.
    static uint16_t DecodeMask(const CString& text);

private:
    CString bitmap_;
    CString name_;
    CString author_;
    CString type_;
    int colourCount_ = 0;
    uint16_t colours_[kMaxColours] = {};
    uint16_t masks_[kMaxColours] = {};
    bool fromResource_ = false;
    bool landscape_ = false;
};

}  // namespace Emu
