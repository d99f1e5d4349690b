// The settings archive: the registry branch packed by the helpers and merged
// back; a helper that fails leaves a clear alert and no temporary file.
#include "drawfile_fixture.h"

#include "app/system.h"
#include "files/file_settings.h"

namespace {

constexpr char VALUE_NAME[] = "ArchiveTest";

class SettingsArchive : public DrawFileTest {
protected:
    void SetUp() override
    {
        DrawFileTest::SetUp();
        SystemProgramKeyPath(key_);
        ASSERT_TRUE(ZviTempPath(temp_));
        std::strcat(temp_, FILE_SETTINGS_TEMP_NAME);
    }
    void TearDown() override
    {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key_, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
            RegDeleteValueA(k, VALUE_NAME);
            RegCloseKey(k);
        }
        DrawFileTest::TearDown();
    }
    void SetValue(DWORD v)
    {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, VALUE_NAME, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof v);
        RegCloseKey(k);
    }
    DWORD Value()
    {
        DWORD v = 0, size = sizeof v;
        RegGetValueA(HKEY_CURRENT_USER, key_, VALUE_NAME, RRF_RT_REG_DWORD, nullptr, &v, &size);
        return v;
    }
    bool TempLeft() const { return GetFileAttributesA(temp_) != INVALID_FILE_ATTRIBUTES; }
    char key_[SYSTEM_KEY_NAME_SIZE] = "";
    char temp_[ZVI_PATH_SIZE] = "";
};

TEST_F(SettingsArchive, ExportedSettingsComeBackOnImport)
{
    TestTempFile archive("settings.inf");
    SetValue(17);
    ASSERT_EQ(FileExportSettings(archive.Path()), 1);
    EXPECT_FALSE(archive.Contents().empty());
    EXPECT_FALSE(TempLeft());
    SetValue(99);
    ASSERT_EQ(FileImportSettings(archive.Path()), 1);
    EXPECT_EQ(Value(), 17u);
    EXPECT_FALSE(TempLeft());
    EXPECT_TRUE(DrawLog().alerts.empty());
}

TEST_F(SettingsArchive, AFailingPackerOrUnpackerIsReportedAndLeavesNoTemporaryFile)
{
    const std::string nowhere = TestTempPath("no_such_folder\\settings.inf");
    EXPECT_EQ(FileExportSettings(nowhere.c_str()), 0);
    EXPECT_FALSE(TempLeft());
    ASSERT_EQ(DrawLog().alerts.size(), 1u);

    SetValue(5);
    EXPECT_EQ(FileImportSettings(nowhere.c_str()), 0);
    EXPECT_EQ(Value(), 5u) << "the registry is not touched";
    EXPECT_FALSE(TempLeft());
    EXPECT_EQ(DrawLog().alerts.size(), 2u);
}

} // namespace
