// The resource table travels inside Lumaset.dle: the host's instance handle for the module is
// all a dialog needs.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(PluginModule, GivesItsDialogsThroughItsInstanceHandle) {
    HMODULE module = LoadLibraryA("Lumaset.dle");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "Win32ResourceTable"), nullptr);
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(104), nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    char title[64];
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Lumaset (Tavisorel) Import");
    DestroyWindow(dialog);
    // The running program has no table of its own here.
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(104), nullptr, nullptr, 0), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
