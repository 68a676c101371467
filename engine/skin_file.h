// skin_file.h - reading a pad skin file: UTF-16 little-endian text (with or
// without a byte-order mark), "Tamboril.Skin.1" on its first line, then
// "Key=value" lines and colour lines "0xRRGGBB=token+token" (see pad_skin.h).
//
// Damage is contained: a line is cut at 256 characters, a skin keeps its first
// 32 colours, and a "Bitmap=" that leaves the skins folder (an absolute name
// or one with "..") or names no regular file gives a skin without an image.
#pragma once

#include <memory>
#include <string_view>

#include "engine/marrowby_api.h"
#include "engine/pad_skin.h"
#include "platform/cstring.h"

namespace Emu {

// The skin the file's bytes describe, its image named relative to `folder`;
// null when the first line is not the header.
MARROWBY_API std::unique_ptr<PadSkin> ParseSkinFile(std::string_view bytes, const CString& folder);

// The skin in the file at `path` (null for an unreadable, oversized or
// headerless file).
std::unique_ptr<PadSkin> ReadSkinFile(const CString& path, const CString& folder);

}  // namespace Emu
