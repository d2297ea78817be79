// SPDX-License-Identifier: GPL-3.0-or-later
// The saved option states in the current user's registry, read back through the registry itself.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/SavedOptions.h"
#include "platform/Settings.h"

namespace bootdisk {
namespace {

class RegistrySettings : public testing::Test {
protected:
    ~RegistrySettings() override { RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }

    // A value as another program could leave it, written past the store.
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY handle;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(handle);
    }
    std::optional<DWORD> RawDword(const char* name) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
        DWORD value = 0, size = sizeof value, type = 0;
        const auto status = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(handle);
        if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
        return value;
    }

    const std::string key = "Software\\Halvex Labs\\bootdisk test " + std::to_string(GetCurrentProcessId());
    std::unique_ptr<ISettingsStore> store = UserSettings();
};

TEST_F(RegistrySettings, SavedStatesAreTwelveDwordsThatLoadBack) {
    auto states = kDefaultOptions;
    LoadOptions(*store, key, states);
    EXPECT_EQ(states, kDefaultOptions);  // no key yet

    states[1] = !states[1];
    states[11] = !states[11];
    ASSERT_TRUE(SaveOptions(*store, key, states));
    for (std::size_t n = 0; n < kOptionCount; ++n)
        EXPECT_EQ(RawDword(("opt" + std::to_string(n)).c_str()), DWORD(states[n])) << n;

    auto loaded = kDefaultOptions;
    LoadOptions(*store, key, loaded);
    EXPECT_EQ(loaded, states);
}

TEST_F(RegistrySettings, MissingAndForeignValuesKeepTheirDefaults) {
    const DWORD zero = 0, seven = 7;
    SetRaw("OPT3", REG_DWORD, &zero, sizeof zero);  // the registry ignores the case of names
    SetRaw("opt2", REG_DWORD, &seven, sizeof seven);  // any non-zero value is checked
    SetRaw("opt5", REG_SZ, "0", 2);  // not a number: opt5 stays checked
    auto states = kDefaultOptions;
    LoadOptions(*store, key, states);
    auto expected = kDefaultOptions;
    expected[3] = false;
    expected[2] = true;
    EXPECT_EQ(states, expected);
}

}  // namespace
}  // namespace bootdisk
