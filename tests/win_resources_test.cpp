// Checks the resources of the built program file, named on the command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/version.h"

namespace {

std::string gProgramPath;

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconDir {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

class ProgramResources : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(gProgramPath.empty()) << "usage: win_resources_test PROGRAM.exe";
        module = LoadLibraryExA(gProgramPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << gProgramPath;
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    const void* Resource(LPCSTR name, LPCSTR type, DWORD* size = nullptr) {
        const HRSRC info = FindResourceA(module, name, type);
        if (!info) return nullptr;
        if (size) *size = SizeofResource(module, info);
        return LockResource(LoadResource(module, info));
    }
    HMODULE module = nullptr;
};

TEST_F(ProgramResources, IconIsOne64By64ImageOf256Colours) {
    const auto* group = static_cast<const GroupIconDir*>(Resource("DEFAULT_ICON", RT_GROUP_ICON));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->count, 1);
    const GroupIconEntry& entry = group->entries[0];
    EXPECT_EQ(entry.width, 64);
    EXPECT_EQ(entry.height, 64);
    EXPECT_EQ(entry.bitCount, 8);
    const auto* image = static_cast<const BITMAPINFOHEADER*>(Resource(MAKEINTRESOURCEA(entry.id), RT_ICON));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->biWidth, 64);
    EXPECT_EQ(image->biHeight, 128);  // image and mask
    EXPECT_EQ(image->biBitCount, 8);
    EXPECT_TRUE(image->biClrUsed == 0 || image->biClrUsed == 256);
}

TEST_F(ProgramResources, VersionInfoNamesTheProgramVersion) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(gProgramPath.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(gProgramPath.c_str(), 0, size, data.data()));
    for (const char* key : {"\\StringFileInfo\\080404B0\\ProductVersion", "\\StringFileInfo\\080404B0\\FileVersion"}) {
        SCOPED_TRACE(key);
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(data.data(), key, reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::string(value), ASSISTANT_VERSION);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(std::string("V") + std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." +
                  std::to_string(LOWORD(fixed->dwProductVersionMS)),
              ASSISTANT_VERSION);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) gProgramPath = argv[1];
    return RUN_ALL_TESTS();
}
