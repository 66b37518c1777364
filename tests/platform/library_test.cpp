// The run-time library stand-in: a library of this machine is opened and its functions found; a Windows
// library that is not installed, or a missing function, gives NULL and the system's error code.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(LibraryTest, MissingLibrariesAndFunctionsGiveNullWithTheirErrors) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LoadLibraryA("wintab32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "WTInfoA"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));

    HMODULE c = LoadLibraryA("libc.so.6");
    ASSERT_NE(c, nullptr);
    typedef size_t (*LengthFn)(const char*);
    auto length = reinterpret_cast<LengthFn>(reinterpret_cast<void (*)()>(GetProcAddress(c, "strlen")));
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length("tablet"), 6u);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetProcAddress(c, "WTInfoA"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(c));
}

}  // namespace
