// The Win32 file seam on a real Wine or Windows file system: folder chains and the atomic
// replace, including a read-only target and a target held open by a reader.

#include "config/ConfigUnit.h"
#include "config/programinfo.h"
#include "platform/FileSystem.h"
#include "platform/win32/UniqueHandle.h"
#include "config/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace ombrevane {
namespace {

using FileHandle = win32::UniqueHandle<HANDLE, win32::KernelHandleCloser>;

std::string ReadAll(const std::string& path) {
    const FileReadResult read = ReadWholeFile(path, 1u << 20);
    EXPECT_EQ(read.status, FileReadStatus::Ok) << path << ": " << read.reason;
    return read.bytes;
}

int TemporaryFilesIn(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    HANDLE find = ::FindFirstFileA((folder + "\\*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 0;
    do {
        ++count;
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return count;
}

TEST(Win32FileSystem, PathsAreWindowsPaths) {
    const std::string exe = ExecutablePath();
    ASSERT_GT(exe.size(), 3u);
    EXPECT_EQ(exe[1], ':') << exe;
    EXPECT_NE(exe.find('\\'), std::string::npos);
    const std::string temp = TemporaryFolder();
    EXPECT_EQ(temp.back(), '\\') << temp;
    EXPECT_TRUE(DirectoryExists(temp));
}

TEST(Win32FileSystem, CreatesAFolderChainWithItsParents) {
    test::TestFolder folder;
    const std::string deep = folder.Path() + "\\a\\b\\c\\";
    EXPECT_FALSE(DirectoryExists(folder.Path() + "\\a"));
    EXPECT_TRUE(CreateFolderChain(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(CreateFolderChain(deep)) << "an existing chain is fine";

    // Double separators from a drive-root layout are accepted by the system.
    const std::string doubled = folder.Path() + "\\\\x\\";
    EXPECT_TRUE(CreateFolderChain(doubled));
    EXPECT_TRUE(DirectoryExists(folder.Path() + "\\x"));

    // A drive that does not exist: nothing created, reported as failure, no hang.
    EXPECT_FALSE(CreateFolderChain("Q:\\nowhere\\config\\"));
}

TEST(Win32FileSystem, TheApplicationLayoutOfThisExecutable) {
    TExtInfo info;
    const std::string config = info.GetConfigDir();
    EXPECT_EQ(config, info.GetRootDir() + "\\config\\");
    EXPECT_TRUE(DirectoryExists(config));
    EXPECT_EQ(info.GetAppDir(), PathUpToSeparator(ExecutablePath()));
}

TEST(Win32FileSystem, ReplacesAFileAtomically) {
    test::TestFolder folder;
    const std::string path = folder.Path() + "\\settings.ini";
    EXPECT_EQ(ReadWholeFile(path, 1024).status, FileReadStatus::Missing);

    const FileWriteResult first = WriteFileAtomically(path, "[s]\r\na=1\r\n");
    ASSERT_TRUE(first.ok) << first.reason;
    EXPECT_EQ(ReadAll(path), "[s]\r\na=1\r\n");

    const std::string longer(100000, 'x');
    const FileWriteResult second = WriteFileAtomically(path, longer);
    ASSERT_TRUE(second.ok) << second.reason;
    EXPECT_EQ(ReadAll(path), longer);

    const FileWriteResult shorter = WriteFileAtomically(path, "b");
    ASSERT_TRUE(shorter.ok) << shorter.reason;
    EXPECT_EQ(ReadAll(path), "b");
    EXPECT_EQ(TemporaryFilesIn(folder.Path()), 0) << "no temporary file stays behind";
}

TEST(Win32FileSystem, RefusesAReadOnlyFileAndLeavesIt) {
    test::TestFolder folder;
    const std::string path = folder.Path() + "\\locked.ini";
    ASSERT_TRUE(WriteFileAtomically(path, "old").ok);
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

    const FileWriteResult result = WriteFileAtomically(path, "new");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(TemporaryFilesIn(folder.Path()), 0);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32FileSystem, ReplacesWhileAnotherReaderHasTheFileOpen) {
    test::TestFolder folder;
    const std::string path = folder.Path() + "\\shared.ini";
    ASSERT_TRUE(WriteFileAtomically(path, "old").ok);
    // Another instance reading at the same moment, with the share modes our reader uses.
    FileHandle reader(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    const FileWriteResult result = WriteFileAtomically(path, "new");
    reader.reset();
    std::printf("replace with a reader open: %s\n",
                result.ok ? "done" : ("refused: " + result.reason).c_str());
    if (result.ok) {
        EXPECT_EQ(ReadAll(path), "new");
    } else {
        // The system refused to rename over an open file: the old content must be whole.
        EXPECT_EQ(ReadAll(path), "old") << result.reason;
    }
    EXPECT_EQ(TemporaryFilesIn(folder.Path()), 0);
}

TEST(Win32FileSystem, WriteIntoAMissingFolderFailsWithTheSystemReason) {
    test::TestFolder folder;
    const FileWriteResult result = WriteFileAtomically(folder.Path() + "\\gone\\x.ini", "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.empty());
    std::printf("reason given: %s\n", result.reason.c_str());
}

// A desktop file held open without sharing (an editor, a backup tool) exists but cannot be
// read: it must not pass for a missing one, which would drop the desktop's password prompt.
TEST(Win32FileSystem, DesktopFileHeldWithoutSharingIsUnreadable) {
    test::TestFolder folder;
    const std::string path = folder.Dir() + DesktopConfigFileName(1);
    ASSERT_TRUE(WriteFileAtomically(path, "[General]\r\nactive=1\r\nPasswordEnable=1\r\n").ok);
    {
        FileHandle holder(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        TDesktopConfig config(1);
        EXPECT_EQ(LoadDesktopConfig(config, folder.Dir()), SettingsFileState::Unreadable);
        EXPECT_FALSE(config.PasswordEnable);
    }
    TDesktopConfig config(1);
    EXPECT_EQ(LoadDesktopConfig(config, folder.Dir()), SettingsFileState::Read);
    EXPECT_TRUE(config.PasswordEnable);

    // Access denied: a folder where the file should be.
    ASSERT_TRUE(CreateFolder(folder.Dir() + DesktopConfigFileName(2)));
    TDesktopConfig second(2);
    EXPECT_EQ(LoadDesktopConfig(second, folder.Dir()), SettingsFileState::Unreadable);
    TDesktopConfig third(3);
    EXPECT_EQ(LoadDesktopConfig(third, folder.Dir()), SettingsFileState::Missing);
}

} // namespace
} // namespace ombrevane
