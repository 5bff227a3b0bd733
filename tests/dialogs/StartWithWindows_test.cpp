// Starting with Windows over a simulated registry: the first-run registration, reading the
// entry for the options dialog, and its check box.

#include "dialogs/StartWithWindows.h"

#include "config/ConfigUnit.h"
#include "config/TestFolder.h"
#include "fake/FakeRegistry.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeRegistry;
using test::TestFolder;

constexpr const char* kExe = "C:\\Program Files\\Ombrevane\\bin\\ombrevane.exe";
constexpr const char* kEntry = "\"C:\\Program Files\\Ombrevane\\bin\\ombrevane.exe\" -min";

TEST(StartEntry, QuotesThePathDoublingQuotesInsideAndAddsMin) {
    struct Case {
        const char* path;
        const char* entry;
    };
    const Case cases[] = {
        {"C:\\Tools\\ombrevane.exe", "\"C:\\Tools\\ombrevane.exe\" -min"},
        {kExe, kEntry},
        {"C:\\odd\"name\\o.exe", "\"C:\\odd\"\"name\\o.exe\" -min"},
        {"", "\"\" -min"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartEntry(c.path), c.entry) << c.path;
    }
}

class RegisterOnFirstRunTest : public ::testing::Test {
protected:
    bool DesktopFileExists(int index) const {
        return FileExists(folder.Dir() + DesktopConfigFileName(index));
    }

    FakeRegistry registry;
    TestFolder folder;
};

TEST_F(RegisterOnFirstRunTest, FirstStartCreatesTheMarkerTheEntryAndTheDesktopFiles) {
    EXPECT_TRUE(RegisterOnFirstRun(registry, kExe, folder.Dir()));

    EXPECT_EQ(registry.changes,
              (std::vector<std::string>{
                  "key SOFTWARE\\Tolvarine\\TileSwitch",
                  "write SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run|Ombrevane=" +
                      std::string(kEntry)}));
    for (int index = 0; index <= 2; ++index) {
        EXPECT_TRUE(DesktopFileExists(index)) << index;
        TDesktopConfig config(index);
        LoadDesktopConfig(config, folder.Dir());
        EXPECT_TRUE(config.IsActive) << index;
    }
    EXPECT_FALSE(DesktopFileExists(3));
}

TEST_F(RegisterOnFirstRunTest, AnEntryRemovedByTheUserStaysRemovedUntilTheMarkerGoes) {
    RegisterOnFirstRun(registry, kExe, folder.Dir());
    ASSERT_TRUE(registry.DeleteValue(kRunKey, kStartValueName));
    registry.changes.clear();

    RegisterOnFirstRun(registry, kExe, folder.Dir());
    EXPECT_FALSE(registry.Value(kRunKey, kStartValueName));
    EXPECT_TRUE(registry.changes.empty());

    // The marker is matched ignoring case, like every registry path.
    registry.DeleteKey("software\\TOLVARINE");
    RegisterOnFirstRun(registry, "D:\\moved\\ombrevane.exe", folder.Dir());
    EXPECT_EQ(registry.Value(kRunKey, kStartValueName), "\"D:\\moved\\ombrevane.exe\" -min");
}

TEST_F(RegisterOnFirstRunTest, ARefusingRegistryIsToldAndTheDesktopFilesAreStillMade) {
    registry.refuseWrites = true;
    EXPECT_FALSE(RegisterOnFirstRun(registry, kExe, folder.Dir()));
    EXPECT_TRUE(DesktopFileExists(0));
    EXPECT_TRUE(DesktopFileExists(2));
}

TEST_F(RegisterOnFirstRunTest, ExistingDesktopFilesAreLeftAsTheyAre) {
    test::WriteRaw(folder.Dir() + "desktop1.ini", "[General]\r\nname=Mail\r\n");
    RegisterOnFirstRun(registry, kExe, folder.Dir());
    TDesktopConfig config(1);
    LoadDesktopConfig(config, folder.Dir());
    EXPECT_FALSE(config.IsActive);
    EXPECT_EQ(config.Name, "Mail");
}

TEST(ReadStartWithOS, ANonEmptyEntryTicksTheBoxAndFollowsTheExecutable) {
    struct Case {
        const char* name;
        std::optional<std::string> stored; // empty: no value
        bool nonString;
        bool ticked;
    };
    const Case cases[] = {
        {"no entry", std::nullopt, false, false},
        {"an empty entry", std::string(), false, false},
        {"a value that is no text", std::nullopt, true, false},
        {"the entry of a moved program", std::string("\"C:\\old\\ombrevane.exe\" -min"), false,
         true},
        {"any other text", std::string("x"), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        if (c.stored) {
            registry.WriteString(kRunKey, "OMBREVANE", *c.stored);
        }
        if (c.nonString) {
            registry.SetNonString(kRunKey, kStartValueName);
        }
        registry.changes.clear();

        EXPECT_EQ(ReadStartWithOS(registry, kExe), c.ticked);

        if (c.ticked) {
            EXPECT_EQ(registry.Value(kRunKey, kStartValueName), kEntry);
        } else {
            EXPECT_TRUE(registry.changes.empty());
        }
    }
}

TEST(WriteStartWithOS, TickingWritesTheEntryAndUntickingRemovesIt) {
    FakeRegistry registry;
    EXPECT_TRUE(WriteStartWithOS(registry, kExe, true));
    EXPECT_EQ(registry.Value(kRunKey, kStartValueName), kEntry);

    EXPECT_TRUE(WriteStartWithOS(registry, kExe, false));
    EXPECT_FALSE(registry.Value(kRunKey, kStartValueName));

    // Removing an absent entry is no error and changes nothing.
    registry.changes.clear();
    EXPECT_TRUE(WriteStartWithOS(registry, kExe, false));
    EXPECT_TRUE(registry.changes.empty());

    registry.refuseWrites = true;
    EXPECT_FALSE(WriteStartWithOS(registry, kExe, true));
}

} // namespace
} // namespace ombrevane
