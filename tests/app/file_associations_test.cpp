// file_associations_test.cpp - the open commands below the classes root are
// stored exactly: a string value of the command's characters, two bytes each,
// without a terminator.
#include "app/file_associations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "app_fixture.h"
#include "engine/registry_store.h"
#include "platform/paths.h"

using namespace App;

namespace {

const char* const kKeys[] = {"gbafile", "gbfile", "NESfile", "SMSfile", "GGfile", "PCEfile"};

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

void ExpectCommands(const std::u16string& command) {
    for (const char* key : kKeys) {
        DWORD type = 0;
        std::vector<uint8_t> data;
        const CString path = CString::FromUtf8(std::string(key) + "\\Shell\\Open\\Command");
        ASSERT_EQ(Registry::QueryValue(HKEY_CLASSES_ROOT, path, CString(), &type, &data), ERROR_SUCCESS) << key;
        EXPECT_EQ(type, REG_SZ) << key;
        EXPECT_EQ(data.size(), 2 * command.size()) << key;
        EXPECT_EQ(data, Utf16Bytes(command)) << key;
    }
}

}  // namespace

TEST(FileAssociations, CommandQuotesTheProgramAndTheFile) {
    EXPECT_EQ(AssociationCommand(L"/opt/tamboril"), CString(L"\"/opt/tamboril/tamboril\" \"%1\""));
}

TEST_F(AppTest, StartUpWritesEachConsolesOpenCommandWithoutTerminator) {
    CreateFrame();
    Settings().set(L"InstallDir", L"/opt/Tamboril Ünïcode");
    StartUp(*frame_, {QStringLiteral("tamboril")});
    ExpectCommands(u"\"/opt/Tamboril Ünïcode/tamboril\" \"%1\"");

    // The file holds the value in the form that keeps its type and size.
    std::ifstream file(Registry::StoreFile(HKEY_CLASSES_ROOT));
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("[HKEY_CLASSES_ROOT\\gbafile\\Shell\\Open\\Command]\n@=hex(1):22,00,2f,00"),
              std::string::npos)
        << text.str();
}

TEST_F(AppTest, AnEmptyInstallDirPointsTheAssociationsAtTheProgramsFolder) {
    CreateFrame();
    Settings().set(L"InstallDir", CString());
    StartUp(*frame_, {QStringLiteral("tamboril")});
    ExpectCommands(u"\"" + CString::FromUtf8(Platform::ExecutableFolder()).ToUtf16() + u"/tamboril\" \"%1\"");
}
