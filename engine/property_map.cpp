// property_map.cpp - PropertyMap's lookups and stores.
#include "property_map.h"

PropertyMap::PropertyMap() = default;
PropertyMap::~PropertyMap() = default;

Property& PropertyMap::Obtain(const CString& key) {
    std::unique_ptr<Property>& property = properties_[key];
    if (!property) property = std::make_unique<Property>();
    return *property;
}

void PropertyMap::set(const CString& key, int value) { Obtain(key).setInt(value); }
void PropertyMap::set(const CString& key, bool value) { Obtain(key).setBoolean(value); }
void PropertyMap::set(const CString& key, const CString& value) { Obtain(key).setString(value); }

int PropertyMap::getInt(const CString& key) const {
    const Property* property = getProperty(key);
    return property ? property->getInt() : 0;
}

bool PropertyMap::getBoolean(const CString& key) const {
    const Property* property = getProperty(key);
    return property && property->getBoolean();
}

CString PropertyMap::getString(const CString& key) const {
    const Property* property = getProperty(key);
    return property ? property->getString() : CString();
}

Property* PropertyMap::getProperty(const CString& key) const {
    auto it = properties_.find(key);
    return it == properties_.end() ? nullptr : it->second.get();
}

void PropertyMap::setProperty(const CString& key, Property* property) {
    if (!property) {
        properties_.erase(key);
        return;
    }
    std::unique_ptr<Property>& slot = properties_[key];
    if (slot.get() != property) slot.reset(property);
}
