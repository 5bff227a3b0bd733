// The resources of the shipped binaries, read back from the files as Windows reads them: the
// version block of both, and the icon, manifest and navigation bar pictures of the program.
// The folder is the staged bin/ unless OMBREVANE_RESOURCE_BIN names another one (the
// installer scenario points it at the installed copy).

#include "app/res/AppIcon.h"
#include "app/res/AppResources.h"
#include "platform/win32/UniqueHandle.h"

#include "OmbrevaneVersion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

std::string BinFolder() {
    const char* folder = std::getenv("OMBREVANE_RESOURCE_BIN");
    return folder != nullptr && *folder != '\0' ? folder : OMBREVANE_STAGED_BIN;
}

std::string BinFile(const char* name) {
    return BinFolder() + "\\" + name;
}

win32::UniqueModule LoadResources(const std::string& path) {
    return win32::UniqueModule(::LoadLibraryExA(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::vector<char> VersionBlock(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

std::string VersionString(std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!::VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return "(missing)";
    }
    return std::string(value, strnlen(value, length));
}

TEST(ReleaseResources, BothFilesCarryTheProjectVersion) {
    struct Case {
        const char* file;
        DWORD type;
        const char* description;
    };
    const Case cases[] = {{"ombrevane.exe", VFT_APP, "Ombrevane"},
                          {"inputward.dll", VFT_DLL, "Ombrevane keyboard and mouse watcher"}};
    const DWORD high = MAKELONG(OMBREVANE_VERSION_MINOR, OMBREVANE_VERSION_MAJOR);
    const DWORD low = MAKELONG(OMBREVANE_VERSION_BUILD, OMBREVANE_VERSION_RELEASE);
    for (const Case& c : cases) {
        SCOPED_TRACE(BinFile(c.file));
        std::vector<char> block = VersionBlock(BinFile(c.file));
        ASSERT_FALSE(block.empty()) << "no version block";
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            ::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, high);
        EXPECT_EQ(fixed->dwFileVersionLS, low);
        EXPECT_EQ(fixed->dwProductVersionMS, high);
        EXPECT_EQ(fixed->dwProductVersionLS, low);
        EXPECT_EQ(fixed->dwFileType, c.type);
        EXPECT_EQ(VersionString(block, "CompanyName"), "Tolvarine");
        EXPECT_EQ(VersionString(block, "ProductName"), "Ombrevane");
        EXPECT_EQ(VersionString(block, "FileDescription"), c.description);
        EXPECT_EQ(VersionString(block, "OriginalFilename"), c.file);
        EXPECT_EQ(VersionString(block, "FileVersion"), OMBREVANE_VERSION_TEXT);
        EXPECT_EQ(VersionString(block, "ProductVersion"), OMBREVANE_VERSION_TEXT);
    }
}

TEST(ReleaseResources, TheVersionHasFourParts) {
    // The About box shows major.minor.release and the build; a three-part version would show
    // Build(00) for every release.
    const std::string text = OMBREVANE_VERSION_TEXT;
    EXPECT_EQ(std::count(text.begin(), text.end(), '.'), 3) << text;
}

// The colour of a pixel of an icon drawn at its own size, 0x00RRGGBB.
std::vector<std::uint32_t> DrawIcon(HICON icon, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    std::vector<std::uint32_t> pixels;
    if (!bitmap || !dc || bits == nullptr) {
        return pixels;
    }
    HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    ::DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    const auto* data = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) {
        pixels.push_back(data[i] & 0xFFFFFFu);
    }
    ::SelectObject(dc.get(), old);
    return pixels;
}

TEST(ReleaseResources, TheProgramIconIsTheFramedOrangeSquareInThreeSizes) {
    win32::UniqueModule module = LoadResources(BinFile("ombrevane.exe"));
    ASSERT_TRUE(module) << BinFile("ombrevane.exe") << " error " << ::GetLastError();
    HRSRC group = ::FindResourceA(module.get(), MAKEINTRESOURCEA(OMBREVANE_ICON), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr) << "no icon group " << OMBREVANE_ICON;
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(module.get(), group)));
    ASSERT_NE(directory, nullptr);
    // GRPICONDIR: reserved, type, count, then 14-byte entries starting with width and height.
    WORD count = 0;
    std::memcpy(&count, directory + 4, sizeof count);
    std::vector<int> widths;
    for (WORD i = 0; i < count; ++i) {
        widths.push_back(directory[6 + 14 * i] == 0 ? 256 : directory[6 + 14 * i]);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 32, 48}));

    for (int size : kAppIconSizes) {
        SCOPED_TRACE(size);
        const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = ::FindResourceA(module.get(), MAKEINTRESOURCEA(id), RT_ICON);
        ASSERT_NE(image, nullptr);
        auto* bytes = static_cast<BYTE*>(::LockResource(::LoadResource(module.get(), image)));
        win32::UniqueIcon icon(::CreateIconFromResourceEx(
            bytes, ::SizeofResource(module.get(), image), TRUE, 0x00030000, size, size, 0));
        ASSERT_TRUE(icon);
        const std::vector<std::uint32_t> pixels = DrawIcon(icon.get(), size);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size * size));
        const int frame = AppIconFrameWidth(size);
        auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * size + x)]; };
        EXPECT_EQ(at(0, 0), kAppIconFrame);
        EXPECT_EQ(at(size - 1, size / 2), kAppIconFrame);
        EXPECT_EQ(at(frame - 1, size - 1), kAppIconFrame);
        EXPECT_EQ(at(frame, frame), kAppIconOrange);
        EXPECT_EQ(at(size / 2, size / 2), kAppIconOrange);
        EXPECT_EQ(at(size - 1 - frame, size - 1 - frame), kAppIconOrange);
    }
}

TEST(ReleaseResources, TheManifestAsksForThemesDpiAwarenessAndNoElevation) {
    win32::UniqueModule module = LoadResources(BinFile("ombrevane.exe"));
    ASSERT_TRUE(module);
    HRSRC resource = ::FindResourceA(module.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(resource, nullptr) << "no manifest";
    const auto* text =
        static_cast<const char*>(::LockResource(::LoadResource(module.get(), resource)));
    const std::string manifest(text, ::SizeofResource(module.get(), resource));
    const char* wanted[] = {
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "level=\"asInvoker\"",
        ">true/pm</dpiAware>",
        ">PerMonitorV2, PerMonitor</dpiAwareness>",
        "version=\"" OMBREVANE_VERSION_TEXT "\"",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", // Vista
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
    };
    for (const char* part : wanted) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

TEST(ReleaseResources, TheNavigationBarPicturesAreInTheProgram) {
    win32::UniqueModule module = LoadResources(BinFile("ombrevane.exe"));
    ASSERT_TRUE(module);
    for (const char* name : {"BlueImg", "AR_UP", "AR_DN"}) {
        EXPECT_NE(::FindResourceA(module.get(), name, RT_BITMAP), nullptr) << name;
    }
}

} // namespace
} // namespace ombrevane
