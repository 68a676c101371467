// property_map.h - the in-memory settings: Property holds one setting (an
// integer that doubles as a boolean, and a string), PropertyMap maps setting
// names to properties. The engine keeps one map, each emulator another.
#pragma once

#include <memory>
#include <unordered_map>

#include "marrowby_api.h"
#include "platform/cstring.h"

// The integer and the boolean share one value: the boolean is its low byte.
// Writing a boolean changes only that byte; reading a boolean reads only it.
class MARROWBY_API Property {
public:
    int getInt() const { return value_; }
    bool getBoolean() const { return (value_ & 0xFF) != 0; }
    const CString& getString() const { return string_; }
    void setInt(int value) { value_ = value; }
    void setBoolean(bool value) { value_ = (value_ & ~0xFF) | (value ? 1 : 0); }
    void setString(const CString& value) { string_ = value; }

private:
    int32_t value_ = 0;
    CString string_;
};

// Names compare with case: "Sound" and "sound" are two properties.
class MARROWBY_API PropertyMap {
public:
    PropertyMap();
    virtual ~PropertyMap();
    PropertyMap(const PropertyMap&) = delete;
    PropertyMap& operator=(const PropertyMap&) = delete;

    // Each creates the property when the name is new, then stores the value.
    void set(const CString& key, int value);
    void set(const CString& key, bool value);
    void set(const CString& key, const CString& value);
    // Text literals would otherwise convert to bool before CString.
    void set(const CString& key, const wchar_t* value) { set(key, CString(value)); }
    void set(const CString& key, const char* value) { set(key, CString(value)); }

    // A name that was never set reads as 0, false or empty text.
    int getInt(const CString& key) const;
    bool getBoolean(const CString& key) const;
    CString getString(const CString& key) const;

    // Null when absent.
    Property* getProperty(const CString& key) const;
    // Enters `property` under `key`, taking ownership and deleting the one it
    // replaces; a null property removes the name.
    void setProperty(const CString& key, Property* property);

private:
    Property& Obtain(const CString& key);

    std::unordered_map<CString, std::unique_ptr<Property>> properties_;
};
