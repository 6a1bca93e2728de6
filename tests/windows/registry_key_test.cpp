// The dialog's registry access against the real (Wine's) registry of the current user.
#include "ui/registry_key.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tw {
namespace {

constexpr const char* kTestKey = "Software\\Tarnwick\\RegistryKeyTest";

class RegistryKeyTest : public ::testing::Test {
 protected:
  RegistryKeyTest() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    constexpr char kText[] = "C:\\Music";
    const DWORD number = 7;
    RegSetValueExA(key, "Folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(kText), sizeof kText);
    RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
  }
  ~RegistryKeyTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarnwick"); }
};

TEST_F(RegistryKeyTest, ReadsStringValuesAndRefusesQuietlyAndFindsTheDesktop) {
  CRegistryKey key;
  ASSERT_TRUE(key.SetKey(kTestKey, false));
  EXPECT_EQ(key.GetValueType("folder"), kRegSz);  // value names ignore case
  EXPECT_EQ(key.ReadString("Folder", "none"), "C:\\Music");
  EXPECT_EQ(key.ReadString("Count", "none"), "none");  // not a string
  EXPECT_EQ(key.ReadString("Missing", "none"), "none");
  EXPECT_FALSE(key.SetRootKey(kHkeyCurrentConfig));
  EXPECT_EQ(key.GetRootKey(), kHkeyCurrentUser);
  EXPECT_FALSE(key.SetKey("Software\\Tarnwick\\NoSuchKey", false));
  EXPECT_TRUE(key.SetKey("Software\\Tarnwick\\Created", true));
  // The dialog's desktop folder.
  ASSERT_TRUE(key.SetKey(kShellFoldersKey, false));
  EXPECT_NE(key.ReadString(kDesktopValue, ""), "");
}

}  // namespace
}  // namespace tw
