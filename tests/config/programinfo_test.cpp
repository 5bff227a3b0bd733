#include "config/programinfo.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrevane {
namespace {

using test::TestFolder;

TEST(PathDirectory, Table) {
    struct Case {
        const char* path;
        const char* directory;
        const char* upToSeparator;
    } const cases[] = {
        {"D:\\Tools\\app.exe", "D:\\Tools", "D:\\Tools\\"},
        {"D:\\Tools", "D:\\", "D:\\"},
        {"D:\\app.exe", "D:\\", "D:\\"},
        {"D:\\", "D:\\", "D:\\"},
        {"D:app.exe", "D:", "D:"},
        {"app.exe", "", ""},
        {"\\\\server\\share\\app.exe", "\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server", "\\\\", "\\\\"},
        {"D:\\Tools\\\\app.exe", "D:\\Tools\\\\", "D:\\Tools\\\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathDirectory(c.path), c.directory) << c.path;
        EXPECT_EQ(PathUpToSeparator(c.path), c.upToSeparator) << c.path;
    }
}

struct LayoutCase {
    const char* exe;
    const char* config;
    const char* help;
    const char* app;
    const char* root;
};

TEST(AppFolderPath, DerivesTheLayoutFromTheExecutable) {
    const LayoutCase cases[] = {
        {"D:\\Tools\\Switch\\bin\\app.exe", "D:\\Tools\\Switch\\config\\",
         "D:\\Tools\\Switch\\help\\", "D:\\Tools\\Switch\\bin\\", "D:\\Tools\\Switch"},
        // One level below a drive root: the installation folder is the root itself.
        {"D:\\Switch\\app.exe", "D:\\\\config\\", "D:\\\\help\\", "D:\\Switch\\", "D:\\"},
        // Directly in a drive root: both folders are the root.
        {"D:\\app.exe", "D:\\\\config\\", "D:\\\\help\\", "D:\\", "D:\\"},
        {"\\\\server\\share\\Switch\\bin\\app.exe", "\\\\server\\share\\Switch\\config\\",
         "\\\\server\\share\\Switch\\help\\", "\\\\server\\share\\Switch\\bin\\",
         "\\\\server\\share\\Switch"},
        {"\\\\server\\share\\bin\\app.exe", "\\\\server\\share\\config\\",
         "\\\\server\\share\\help\\", "\\\\server\\share\\bin\\", "\\\\server\\share"},
        {"\\\\server\\share\\app.exe", "\\\\server\\config\\", "\\\\server\\help\\",
         "\\\\server\\share\\", "\\\\server"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.exe);
        EXPECT_EQ(AppFolderPath(AppFolder::Config, c.exe, "C:\\Temp\\"), c.config);
        EXPECT_EQ(AppFolderPath(AppFolder::Help, c.exe, "C:\\Temp\\"), c.help);
        EXPECT_EQ(AppFolderPath(AppFolder::App, c.exe, "C:\\Temp\\"), c.app);
        EXPECT_EQ(AppFolderPath(AppFolder::Root, c.exe, "C:\\Temp\\"), c.root);
    }
}

TEST(AppFolderPath, TheOtherFolders) {
    const char* exe = "D:\\Tools\\Switch\\bin\\app.exe";
    EXPECT_EQ(AppFolderPath(AppFolder::Log, exe, ""), "D:\\Tools\\Switch\\log\\");
    EXPECT_EQ(AppFolderPath(AppFolder::Data, exe, ""), "D:\\Tools\\Switch\\data\\");
    EXPECT_EQ(AppFolderPath(AppFolder::Language, exe, ""),
              "D:\\Tools\\Switch\\config\\languages\\");
    EXPECT_EQ(AppFolderPath(AppFolder::Update, exe, "C:\\Users\\me\\Temp\\"),
              "C:\\Users\\me\\Temp\\tvupdate\\");
    EXPECT_EQ(AppFolderPath(AppFolder::Update, exe, "C:\\Temp"), "C:\\Temp\\tvupdate\\");
}

TEST(TExtInfo, CreatesMissingFoldersWithTheirParents) {
    TestFolder folder;
    const std::string install = folder.Path() + "\\missing\\Switch";
    TExtInfo info([&] { return install + "\\bin\\app.exe"; },
                  [&] { return folder.Path() + "\\temp\\"; });

    EXPECT_EQ(info.GetRootDir(), install);
    EXPECT_FALSE(DirectoryExists(install)) << "GetRootDir creates nothing";

    const std::string config = info.GetConfigDir();
    EXPECT_EQ(config, install + "\\config\\");
    EXPECT_TRUE(DirectoryExists(config));
    EXPECT_EQ(info.GetConfigDir(), config) << "a second query only returns the path";

    struct Query {
        std::string (TExtInfo::*get)();
        std::string expected;
    } const queries[] = {
        {&TExtInfo::GetAppDir, install + "\\bin\\"},
        {&TExtInfo::GetLogDir, install + "\\log\\"},
        {&TExtInfo::GetHelpDir, install + "\\help\\"},
        {&TExtInfo::GetLanguageDir, install + "\\config\\languages\\"},
        {&TExtInfo::GetDataDir, install + "\\data\\"},
        {&TExtInfo::GetUpdateDir, folder.Path() + "\\temp\\tvupdate\\"},
    };
    for (const Query& q : queries) {
        EXPECT_EQ((info.*q.get)(), q.expected);
        EXPECT_TRUE(DirectoryExists(q.expected)) << q.expected;
    }
}

TEST(TExtInfo, RecreatesADeletedFolderAndReturnsThePathWhenCreationFails) {
    TestFolder folder;
    TExtInfo info([&] { return folder.Path() + "\\bin\\app.exe"; });
    const std::string config = info.GetConfigDir();
    std::filesystem::remove_all(test::HostPath(config));
    ASSERT_FALSE(DirectoryExists(config));
    EXPECT_EQ(info.GetConfigDir(), config);
    EXPECT_TRUE(DirectoryExists(config)) << "nothing is cached";

    // A file where the help folder should be: the query still answers with the path.
    test::WriteRaw(folder.Path() + "\\help", "not a folder");
    EXPECT_EQ(info.GetHelpDir(), folder.Path() + "\\help\\");
    EXPECT_FALSE(DirectoryExists(folder.Path() + "\\help\\"));
    EXPECT_FALSE(CreateFolderChain(folder.Path() + "\\help\\deeper\\"));
}

TEST(GetExtInfo, IsOneObjectForTheProcess) {
    const auto first = GetExtInfo();
    const auto second = GetExtInfo();
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first->GetRootDir(), AppFolderPath(AppFolder::Root, ExecutablePath(), ""));
}

} // namespace
} // namespace ombrevane
