// registry.h - CRegistry: typed settings values below one current key of the
// registry (registry_store.h). The engine and the plug-ins load and save their
// PropertyMaps through it.
//
// Encodings (all in the current key):
//   Int, Dword, Bool, Color   binary, 4 bytes, little-endian (a boolean is 1 or 0)
//   Float                     binary, 8 bytes, IEEE double
//   Point, Size               binary, 8 bytes: x, y (cx, cy)
//   Rect                      binary, 16 bytes: left, top, right, bottom
//   Font                      binary, 92 bytes: the logical-font record
//   String                    string, UTF-16 with its terminator, at most 254 units
// A reader returns its default (or leaves the object unchanged) unless the
// value has exactly its type and size, so a hand-edited value of the wrong
// kind never fills part of a result.
#pragma once

#include "font.h"
#include "geometry.h"
#include "marrowby_api.h"
#include "platform/cstring.h"
#include "platform/handheld_types.h"

class MARROWBY_API CRegistry {
public:
    // Root HKEY_CURRENT_USER, lazy write on, no current key.
    CRegistry();

    // Accepts the four predefined roots only; otherwise keeps the old one.
    bool SetRootKey(HKEY root);
    HKEY GetRootKey() const { return root_; }
    // With lazy write off, every change reaches the disk before it returns.
    void SetLazyWrite(bool lazy) { lazyWrite_ = lazy; }
    bool GetLazyWrite() const { return lazyWrite_; }
    // Result of the last key operation (an error number of handheld_types.h).
    DWORD GetLastError() const { return lastError_; }

    // Makes `path` the current key: opens it, or with `create` creates it when
    // missing. An empty path empties the current path.
    bool SetKey(const CString& path, bool create);
    bool CreateKey(const CString& path);
    // Deletes `path` with its values and sub-keys; false when it is missing.
    bool DeleteKey(const CString& path);
    bool DeleteValue(const CString& name);
    bool ValueExists(const CString& name);
    // `root` HKEY{} means this object's root.
    bool KeyExists(const CString& path, HKEY root = HKEY{});
    // -1 when the key or the value is missing.
    int GetDataSize(const CString& name);
    // REG_NONE (0) when the key or the value is missing.
    DWORD GetDataType(const CString& name);
    // -1 when the current key cannot be opened.
    int GetSubKeyCount();
    int GetValueCount();
    bool PathIsValid() const { return !path_.IsEmpty(); }
    CString GetCurrentPath() const { return path_; }
    // Empties the path, root back to HKEY_CURRENT_USER, lazy write on.
    void ClearKey();

    int ReadInt(const CString& name, int defaultValue);
    DWORD ReadDword(const CString& name, DWORD defaultValue);
    bool ReadBool(const CString& name, bool defaultValue);
    COLORREF ReadColor(const CString& name, COLORREF defaultValue);
    double ReadFloat(const CString& name, double defaultValue);
    CString ReadString(const CString& name, const CString& defaultValue);
    // These fill the object and return true, or leave it and return false.
    bool ReadFont(const CString& name, CFont* font);
    bool ReadPoint(const CString& name, CPoint* point);
    bool ReadSize(const CString& name, CSize* size);
    bool ReadRect(const CString& name, CRect* rect);

    bool WriteInt(const CString& name, int value);
    bool WriteDword(const CString& name, DWORD value);
    bool WriteBool(const CString& name, bool value);
    bool WriteColor(const CString& name, COLORREF value);
    bool WriteFloat(const CString& name, double value);
    // Refuses (writes nothing) text longer than 254 UTF-16 units.
    bool WriteString(const CString& name, const CString& value);
    // False for a font that was never created.
    bool WriteFont(const CString& name, const CFont& font);
    bool WritePoint(const CString& name, const CPoint& point);
    bool WriteSize(const CString& name, const CSize& size);
    bool WriteRect(const CString& name, const CRect& rect);

private:
    bool Remember(DWORD result);
    bool ReadBinary(const CString& name, uint8_t* data, size_t size);
    bool WriteValue(const CString& name, DWORD type, const std::vector<uint8_t>& data);

    DWORD lastError_ = ERROR_SUCCESS;
    HKEY root_ = HKEY_CURRENT_USER;
    bool lazyWrite_ = true;
    CString path_;
};
