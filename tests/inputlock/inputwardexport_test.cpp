// The program's binding to inputward.dll: the real library from the staged bin/ folder, a
// missing one, one lacking functions and a file that is no library. Without a usable library
// every call returns 0 and the user is told once which file is at fault.

#include "inputlock/inputwardexport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

// Paths handed over by the build are Unix paths when the test runs under Wine.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::vector<std::string> told;
void Record(const std::string& text) {
    told.push_back(text);
}

class InputWardBinding : public ::testing::Test {
protected:
    void SetUp() override { told.clear(); }
};

// Every call of an unusable binding does nothing and answers 0.
void ExpectInert(const InputWardLibrary& library) {
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.Initial(), 0);
    EXPECT_EQ(library.KeyboardEnable(), 0);
    EXPECT_EQ(library.SetKeyboard(-1), 0);
    EXPECT_EQ(library.MouseEnable(), 0);
    EXPECT_EQ(library.SetMouse(-1), 0);
    EXPECT_EQ(library.EnableLRMouseButton(1), 0);
    EXPECT_EQ(library.SetHotKey(0, 0x53, 5), 0);
    EXPECT_EQ(library.LockShortcutKey(1), 0);
    EXPECT_EQ(library.IsShortcutKeyLock(), 0);
    EXPECT_EQ(library.EnablePassword(1, 1), 0);
}

TEST_F(InputWardBinding, MissingFileNamedOnce) {
    const std::string folder = WindowsPath(INPUTWARD_TEST_EMPTY_DIR);
    const InputWardLibrary library = InputWardLibrary::LoadFromFolder(folder, &Record);
    ExpectInert(library);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("inputward.dll is missing from " + folder), std::string::npos)
        << told[0];
    EXPECT_EQ(library.Problem(), told[0]);
}

TEST_F(InputWardBinding, LibraryLackingFunctions) {
    const InputWardLibrary library =
        InputWardLibrary::LoadFromFolder(WindowsPath(INPUTWARD_TEST_PARTIAL_DIR), &Record);
    ExpectInert(library);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("lacks the function KeyboardEnable"), std::string::npos) << told[0];
}

TEST_F(InputWardBinding, FileThatIsNoLibrary) {
    char temp[MAX_PATH] = {};
    ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder =
        std::string(temp) + "inputward-binding-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\inputward.dll";
    std::ofstream(file) << "not a library";
    {
        const InputWardLibrary library = InputWardLibrary::LoadFromFolder(folder, &Record);
        ExpectInert(library);
    }
    ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(folder.c_str());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("could not be loaded"), std::string::npos) << told[0];
}

TEST_F(InputWardBinding, StagedLibraryWorks) {
    const InputWardLibrary library =
        InputWardLibrary::LoadFromFolder(WindowsPath(OMBREVANE_TEST_STAGE_BIN), &Record);
    ASSERT_TRUE(library.IsLoaded()) << library.Problem();
    EXPECT_TRUE(told.empty());
    EXPECT_NE(library.Initial(), 0);
    EXPECT_NE(library.Initial(), 0); // harmless again

    EXPECT_EQ(library.KeyboardEnable(), 0);
    EXPECT_NE(library.SetKeyboard(-1), 0);
    EXPECT_NE(library.KeyboardEnable(), 0);
    EXPECT_NE(library.SetKeyboard(1), 0); // already on
    EXPECT_NE(library.SetKeyboard(0), 0);
    EXPECT_EQ(library.KeyboardEnable(), 0);
    EXPECT_EQ(library.MouseEnable(), 0);
    EXPECT_NE(library.SetMouse(-1), 0);
    EXPECT_NE(library.MouseEnable(), 0);
    EXPECT_NE(library.SetMouse(0), 0);
    EXPECT_EQ(library.MouseEnable(), 0);

    EXPECT_NE(library.SetHotKey(0, 0x53, 5), 0);
    EXPECT_NE(library.SetHotKey(2, 0x41, 5), 0);
    EXPECT_EQ(library.SetHotKey(3, 0x41, 5), 0);
    EXPECT_EQ(library.SetHotKey(-1, 0x41, 5), 0);
    EXPECT_NE(library.EnableLRMouseButton(1), 0);

    const std::int32_t truths[] = {1, -1, 7};
    for (std::int32_t truth : truths) {
        EXPECT_NE(library.LockShortcutKey(truth), 0);
        EXPECT_NE(library.IsShortcutKeyLock(), 0) << truth;
        EXPECT_NE(library.LockShortcutKey(0), 0);
        EXPECT_EQ(library.IsShortcutKeyLock(), 0);
    }
    EXPECT_EQ(library.EnablePassword(1, 2), 0);
}

TEST_F(InputWardBinding, MovedFromIsInert) {
    InputWardLibrary library =
        InputWardLibrary::LoadFromFolder(WindowsPath(OMBREVANE_TEST_STAGE_BIN), &Record);
    ASSERT_TRUE(library.IsLoaded());
    InputWardLibrary other = std::move(library);
    EXPECT_TRUE(other.IsLoaded());
    EXPECT_NE(other.Initial(), 0);
    ExpectInert(library); // NOLINT(bugprone-use-after-move): the point of the test
}

} // namespace
} // namespace ombrevane
