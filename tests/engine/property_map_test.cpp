// property_map_test.cpp - the settings map: the integer and the boolean share
// one value, names keep their case, text literals store text, and the map owns
// its properties.
#include "engine/property_map.h"

#include <gtest/gtest.h>

namespace {

TEST(PropertyMap, ABooleanReadsAsTheIntegerOneOrZero) {
    PropertyMap map;
    map.set("Sound", true);
    EXPECT_EQ(map.getInt("Sound"), 1);
    map.set("Sound", false);
    EXPECT_EQ(map.getInt("Sound"), 0);
}

TEST(PropertyMap, AnIntegerReadsAsABooleanThroughItsLowByte) {
    PropertyMap map;
    map.set("Volume", 256);
    EXPECT_FALSE(map.getBoolean("Volume"));
    map.set("Volume", 257);
    EXPECT_TRUE(map.getBoolean("Volume"));
    map.set("Volume", -256);
    EXPECT_FALSE(map.getBoolean("Volume"));
}

TEST(PropertyMap, WritingABooleanChangesOnlyTheLowByte) {
    PropertyMap map;
    map.set("SoundChannel0", 0x1200);
    map.set("SoundChannel0", true);
    EXPECT_EQ(map.getInt("SoundChannel0"), 0x1201);
    map.set("SoundChannel0", false);
    EXPECT_EQ(map.getInt("SoundChannel0"), 0x1200);
}

TEST(PropertyMap, NamesDifferingInCaseAreTwoProperties) {
    PropertyMap map;
    map.set("Sound", true);
    map.set("sound", false);
    EXPECT_TRUE(map.getBoolean("Sound"));
    EXPECT_FALSE(map.getBoolean("sound"));
    EXPECT_NE(map.getProperty("Sound"), map.getProperty("sound"));
}

TEST(PropertyMap, TextLiteralsStoreTextNotABoolean) {
    PropertyMap map;
    map.set(L"ROMPath", L"/home/player/roms");
    map.set("PadSkin", "GB|Tamboril Default");
    EXPECT_EQ(map.getString("ROMPath"), CString(L"/home/player/roms"));
    EXPECT_EQ(map.getString("PadSkin"), CString(L"GB|Tamboril Default"));
    EXPECT_EQ(map.getInt("PadSkin"), 0) << "the literal did not become true";
    map.set("BGFileName", CString(L"/logo.bmp"));
    EXPECT_EQ(map.getString("BGFileName"), CString(L"/logo.bmp"));
}

TEST(PropertyMap, IntegerAndTextOfOneNameAreIndependent) {
    PropertyMap map;
    map.set("Key", 7);
    map.set("Key", L"seven");
    EXPECT_EQ(map.getInt("Key"), 7);
    EXPECT_EQ(map.getString("Key"), CString(L"seven"));
}

TEST(PropertyMap, ANameNeverSetReadsAsZeroFalseAndEmpty) {
    PropertyMap map;
    EXPECT_EQ(map.getInt("Missing"), 0);
    EXPECT_FALSE(map.getBoolean("Missing"));
    EXPECT_TRUE(map.getString("Missing").IsEmpty());
    EXPECT_EQ(map.getProperty("Missing"), nullptr);
}

TEST(PropertyMap, OwnsThePropertiesItIsGiven) {
    PropertyMap map;
    auto* first = new Property;
    first->setInt(5);
    map.setProperty("InstallDir", first);
    EXPECT_EQ(map.getProperty("InstallDir"), first);
    map.setProperty("InstallDir", first);  // entering it again must not free it
    EXPECT_EQ(map.getInt("InstallDir"), 5);
    auto* second = new Property;
    second->setString(L"/opt/tamboril");
    map.setProperty("InstallDir", second);  // the first is freed here
    EXPECT_EQ(map.getString("InstallDir"), CString(L"/opt/tamboril"));
    map.set("InstallDir", 9);
    EXPECT_EQ(second->getInt(), 9) << "set changes the entered property";
    map.setProperty("InstallDir", nullptr);
    EXPECT_EQ(map.getProperty("InstallDir"), nullptr);
}

TEST(Property, IsACopyableValue) {
    Property a;
    a.setInt(0x103);
    a.setString(L"three");
    Property b = a;
    b.setBoolean(false);
    EXPECT_EQ(a.getInt(), 0x103);
    EXPECT_EQ(b.getInt(), 0x100);
    EXPECT_EQ(b.getString(), CString(L"three"));
}

}  // namespace
