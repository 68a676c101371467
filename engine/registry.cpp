// registry.cpp - CRegistry's typed values on the registry store. Each call
// goes to the store afresh; no key is held open between calls.
#include "registry.h"

#include <bit>
#include <vector>

#include "platform/record.h"
#include "registry_store.h"
#include "registry_text.h"

namespace {

// Longest text WriteString stores, in UTF-16 units without the terminator.
constexpr size_t MaxStringLength = 254;

// Little-endian 32-bit fields, one after the other.
std::vector<uint8_t> Fields(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> data(4 * values.size());
    uint8_t* field = data.data();
    for (uint32_t value : values) {
        StoreLe32(field, value);
        field += 4;
    }
    return data;
}

uint32_t Field(LONG value) { return static_cast<uint32_t>(value); }

}  // namespace

CRegistry::CRegistry() = default;

bool CRegistry::Remember(DWORD result) {
    lastError_ = result;
    return result == ERROR_SUCCESS;
}

bool CRegistry::SetRootKey(HKEY root) {
    if (!Registry::IsRootKey(root)) return false;
    root_ = root;
    return true;
}

bool CRegistry::SetKey(const CString& path, bool create) {
    if (path.IsEmpty()) {
        path_.Empty();
        return true;
    }
    DWORD result = create ? Registry::CreateKey(root_, path, !lazyWrite_) : Registry::OpenKey(root_, path);
    if (!Remember(result)) return false;
    path_ = path;
    return true;
}

bool CRegistry::CreateKey(const CString& path) {
    if (!Remember(Registry::CreateKey(root_, path, !lazyWrite_))) return false;
    path_ = path;
    return true;
}

bool CRegistry::DeleteKey(const CString& path) {
    return Registry::DeleteKey(root_, path, !lazyWrite_) == ERROR_SUCCESS;
}

bool CRegistry::DeleteValue(const CString& name) {
    return Registry::DeleteValue(root_, path_, name, !lazyWrite_) == ERROR_SUCCESS;
}

bool CRegistry::ValueExists(const CString& name) {
    return Registry::QueryValue(root_, path_, name, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CRegistry::KeyExists(const CString& path, HKEY root) {
    return Registry::OpenKey(root == HKEY{} ? root_ : root, path) == ERROR_SUCCESS;
}

int CRegistry::GetDataSize(const CString& name) {
    std::vector<uint8_t> data;
    if (Registry::QueryValue(root_, path_, name, nullptr, &data) != ERROR_SUCCESS) return -1;
    return static_cast<int>(data.size());
}

DWORD CRegistry::GetDataType(const CString& name) {
    DWORD type = REG_NONE;
    return Registry::QueryValue(root_, path_, name, &type, nullptr) == ERROR_SUCCESS ? type : REG_NONE;
}

int CRegistry::GetSubKeyCount() {
    int count = -1;
    return Registry::QueryKeyInfo(root_, path_, &count, nullptr) == ERROR_SUCCESS ? count : -1;
}

int CRegistry::GetValueCount() {
    int count = -1;
    return Registry::QueryKeyInfo(root_, path_, nullptr, &count) == ERROR_SUCCESS ? count : -1;
}

void CRegistry::ClearKey() {
    path_.Empty();
    root_ = HKEY_CURRENT_USER;
    lazyWrite_ = true;
}

bool CRegistry::ReadBinary(const CString& name, uint8_t* data, size_t size) {
    DWORD type = REG_NONE;
    std::vector<uint8_t> stored;
    DWORD result = Registry::QueryValue(root_, path_, name, &type, &stored);
    if (result != ERROR_SUCCESS || type != REG_BINARY || stored.size() != size) return false;
    std::copy(stored.begin(), stored.end(), data);
    return true;
}

int CRegistry::ReadInt(const CString& name, int defaultValue) {
    uint8_t data[4];
    return ReadBinary(name, data, sizeof data) ? LoadLeSigned32(data) : defaultValue;
}

DWORD CRegistry::ReadDword(const CString& name, DWORD defaultValue) {
    uint8_t data[4];
    return ReadBinary(name, data, sizeof data) ? LoadLe32(data) : defaultValue;
}

bool CRegistry::ReadBool(const CString& name, bool defaultValue) {
    uint8_t data[4];
    return ReadBinary(name, data, sizeof data) ? LoadLe32(data) != 0 : defaultValue;
}

COLORREF CRegistry::ReadColor(const CString& name, COLORREF defaultValue) { return ReadDword(name, defaultValue); }

double CRegistry::ReadFloat(const CString& name, double defaultValue) {
    uint8_t data[8];
    return ReadBinary(name, data, sizeof data) ? std::bit_cast<double>(LoadLe64(data)) : defaultValue;
}

CString CRegistry::ReadString(const CString& name, const CString& defaultValue) {
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
    if (Registry::QueryValue(root_, path_, name, &type, &data) != ERROR_SUCCESS) return defaultValue;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || data.size() % 2 != 0) return defaultValue;
    // The text ends at its terminator; a value stored without one ends with
    // its data.
    std::u16string units;
    for (size_t i = 0; i < data.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(LoadLe16(&data[i]));
        if (unit == 0) break;
        units += unit;
    }
    return CString::FromUtf16(units);
}

bool CRegistry::ReadFont(const CString& name, CFont* font) {
    uint8_t record[LogFontRecordSize];
    if (!font || !ReadBinary(name, record, sizeof record)) return false;
    LOGFONTW logFont = LoadLogFont(record);
    return font->CreateFontIndirect(&logFont);
}

bool CRegistry::ReadPoint(const CString& name, CPoint* point) {
    uint8_t data[8];
    if (!point || !ReadBinary(name, data, sizeof data)) return false;
    *point = {LoadLeSigned32(data), LoadLeSigned32(data + 4)};
    return true;
}

bool CRegistry::ReadSize(const CString& name, CSize* size) {
    uint8_t data[8];
    if (!size || !ReadBinary(name, data, sizeof data)) return false;
    *size = {LoadLeSigned32(data), LoadLeSigned32(data + 4)};
    return true;
}

bool CRegistry::ReadRect(const CString& name, CRect* rect) {
    uint8_t data[16];
    if (!rect || !ReadBinary(name, data, sizeof data)) return false;
    *rect = {LoadLeSigned32(data), LoadLeSigned32(data + 4), LoadLeSigned32(data + 8), LoadLeSigned32(data + 12)};
    return true;
}

bool CRegistry::WriteValue(const CString& name, DWORD type, const std::vector<uint8_t>& data) {
    return Registry::SetValue(root_, path_, name, type, data, !lazyWrite_) == ERROR_SUCCESS;
}

bool CRegistry::WriteInt(const CString& name, int value) {
    return WriteValue(name, REG_BINARY, Fields({static_cast<uint32_t>(value)}));
}

bool CRegistry::WriteDword(const CString& name, DWORD value) { return WriteValue(name, REG_BINARY, Fields({value})); }
bool CRegistry::WriteBool(const CString& name, bool value) {
    return WriteValue(name, REG_BINARY, Fields({value ? 1u : 0u}));
}
bool CRegistry::WriteColor(const CString& name, COLORREF value) { return WriteDword(name, value); }

bool CRegistry::WriteFloat(const CString& name, double value) {
    std::vector<uint8_t> data(8);
    StoreLe64(data.data(), std::bit_cast<uint64_t>(value));
    return WriteValue(name, REG_BINARY, data);
}

bool CRegistry::WriteString(const CString& name, const CString& value) {
    std::u16string units = value.ToUtf16();
    return units.size() <= MaxStringLength && WriteValue(name, REG_SZ, StringValueData(units));
}

bool CRegistry::WriteFont(const CString& name, const CFont& font) {
    LOGFONTW logFont;
    if (!font.GetLogFont(&logFont)) return false;
    std::vector<uint8_t> record(LogFontRecordSize);
    StoreLogFont(logFont, record.data());
    return WriteValue(name, REG_BINARY, record);
}

bool CRegistry::WritePoint(const CString& name, const CPoint& point) {
    return WriteValue(name, REG_BINARY, Fields({Field(point.x), Field(point.y)}));
}

bool CRegistry::WriteSize(const CString& name, const CSize& size) {
    return WriteValue(name, REG_BINARY, Fields({Field(size.cx), Field(size.cy)}));
}

bool CRegistry::WriteRect(const CString& name, const CRect& rect) {
    return WriteValue(name, REG_BINARY,
                      Fields({Field(rect.left), Field(rect.top), Field(rect.right), Field(rect.bottom)}));
}
