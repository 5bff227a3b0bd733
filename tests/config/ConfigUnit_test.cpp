#include "config/ConfigUnit.h"

#include "config/md5.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace ombrevane {
namespace {

using test::ReadRaw;
using test::TestFolder;
using test::WriteRaw;

class CommonConfigTest : public ::testing::Test {
protected:
    std::string FilePath() const { return folder_.Dir() + "tileswitch.ini"; }
    void WriteFile(const std::string& bytes) const { WriteRaw(FilePath(), bytes); }
    TCommonConfig Load() const {
        TCommonConfig config = Scrambled();
        LoadCommonConfig(config, folder_.Dir());
        return config;
    }
    // Every field away from its default, so a field the loader forgets shows.
    static TCommonConfig Scrambled() {
        TCommonConfig c;
        c.AutoSwitch = true;
        c.ShowTips = false;
        c.IdleSeconds = -5;
        c.HideTrayIcon = true;
        c.HideInactiveWindows = true;
        c.PasswordOption = true;
        c.AutoHideTrayIcon = true;
        c.RestoreSeconds = -5;
        c.OptionsPassword = "stale";
        c.ShowBalloonHint = false;
        c.MouseLRPress = false;
        c.ShowOptionsHotKey = c.NextDesktopHotKey = c.HideTrayIconHotKey = 1;
        c.SwitchWithAlt = false;
        c.SwitchWithCtrl = c.SwitchWithShift = true;
        return c;
    }
    void MakeReadOnly() const { test::MakeReadOnly(FilePath()); }
    void MakeWritable() const {
        std::filesystem::permissions(test::HostPath(FilePath()),
                                     std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }

    TestFolder folder_;
};

TEST_F(CommonConfigTest, NoFileGivesTheDefaults) {
    const TCommonConfig c = Load();
    EXPECT_FALSE(c.AutoSwitch);
    EXPECT_TRUE(c.ShowTips);
    EXPECT_EQ(c.IdleSeconds, 60);
    EXPECT_FALSE(c.HideTrayIcon);
    EXPECT_FALSE(c.HideInactiveWindows);
    EXPECT_FALSE(c.PasswordOption);
    EXPECT_FALSE(c.AutoHideTrayIcon);
    EXPECT_EQ(c.RestoreSeconds, 60);
    EXPECT_EQ(c.OptionsPassword, "");
    EXPECT_TRUE(c.ShowBalloonHint);
    EXPECT_TRUE(c.MouseLRPress);
    EXPECT_EQ(c.ShowOptionsHotKey, 41048);
    EXPECT_EQ(c.NextDesktopHotKey, 41043);
    EXPECT_EQ(c.HideTrayIconHotKey, 41025);
    EXPECT_TRUE(c.SwitchWithAlt);
    EXPECT_FALSE(c.SwitchWithCtrl);
    EXPECT_FALSE(c.SwitchWithShift);
    EXPECT_FALSE(FileExists(FilePath())) << "reading creates no file";
}

TEST_F(CommonConfigTest, TimeListPositions) {
    struct Case {
        const char* stored; // nullptr: key absent
        std::int32_t seconds;
    } const cases[] = {
        {nullptr, 60}, {"0", 60},   {"1", 300},    {"2", 600},    {"3", 1800},
        {"4", 2700},   {"5", 3000}, {"6", 6000},   {"7", 9000},   {"8", 300},
        {"-1", 300},   {"x", 60},   {"0x5", 3000}, {" 6 ", 6000}, {"2147483647", 300},
    };
    for (const Case& c : cases) {
        std::string bytes = "[tileswitch]\r\n";
        if (c.stored != nullptr) {
            bytes += std::string("ComboBoxIdleTime_ItemIndex=") + c.stored + "\r\n";
            bytes += std::string("ComboBoxRestoreTime_ItemIndex=") + c.stored + "\r\n";
        }
        WriteFile(bytes);
        const TCommonConfig config = Load();
        EXPECT_EQ(config.IdleSeconds, c.seconds) << (c.stored ? c.stored : "absent");
        EXPECT_EQ(config.RestoreSeconds, c.seconds) << (c.stored ? c.stored : "absent");
    }
}

TEST_F(CommonConfigTest, BooleansHotKeysAndModifiers) {
    WriteFile("[TileSwitch]\r\n"
              "checkboxshowtips_checked = 2\r\n"
              "CheckBoxAutoSwitch_Checked=0x1\r\n"
              "CheckBoxHideTrayIcon_Checked=$0\r\n"
              "CheckBoxShowBalloonhint_Checked=no\r\n"
              "CheckBoxMouseLRPress_Checked=0\r\n"
              "HotKeyShowOptions_HotKey=16449\r\n"
              "HotKeyNextDesktop_HotKey=70000\r\n"
              "HotKeyHideTrayIcon_HotKey=-3\r\n"
              "Password= 5ebe2294ecd0e0f08eab7690d2a6ee69 \r\n"
              "RadioButtonAlt_Checked=0\r\n");
    const TCommonConfig c = Load();
    EXPECT_TRUE(c.ShowTips);
    EXPECT_TRUE(c.AutoSwitch);
    EXPECT_FALSE(c.HideTrayIcon);
    EXPECT_TRUE(c.ShowBalloonHint) << "not a number: the default";
    EXPECT_FALSE(c.MouseLRPress);
    EXPECT_EQ(c.ShowOptionsHotKey, 16449);
    EXPECT_EQ(c.NextDesktopHotKey, 41043) << "outside 16 bits: the default";
    EXPECT_EQ(c.HideTrayIconHotKey, 41025);
    EXPECT_EQ(c.OptionsPassword, "5ebe2294ecd0e0f08eab7690d2a6ee69");
    EXPECT_TRUE(c.SwitchWithAlt) << "no modifier chosen falls back to Alt";
}

TEST_F(CommonConfigTest, ModifierChoices) {
    struct Case {
        const char* keys;
        bool alt, ctrl, shift;
    } const cases[] = {
        {"RadioButtonAlt_Checked=0\r\n", true, false, false},
        {"RadioButtonAlt_Checked=0\r\nRadioButtonCtrl_Checked=0\r\nRadioButtonShift_Checked=0\r\n",
         true, false, false},
        {"RadioButtonAlt_Checked=0\r\nRadioButtonCtrl_Checked=1\r\n", false, true, false},
        {"RadioButtonAlt_Checked=0\r\nRadioButtonShift_Checked=1\r\n", false, false, true},
        {"RadioButtonCtrl_Checked=1\r\nRadioButtonShift_Checked=1\r\n", true, true, true},
    };
    for (const Case& c : cases) {
        WriteFile(std::string("[tileswitch]\r\n") + c.keys);
        const TCommonConfig config = Load();
        EXPECT_EQ(config.SwitchWithAlt, c.alt) << c.keys;
        EXPECT_EQ(config.SwitchWithCtrl, c.ctrl) << c.keys;
        EXPECT_EQ(config.SwitchWithShift, c.shift) << c.keys;
    }
}

TEST_F(CommonConfigTest, SaveWritesTwoKeysAndKeepsComments) {
    WriteFile("; my settings\r\n"
              "[tileswitch]\r\n"
              "CheckBoxMouseLRPress_Checked = 1 \r\n"
              "; keep this\r\n"
              "CheckBoxAutoSwitch_Checked=1\r\n"
              "\r\n"
              "[other]\r\n"
              "x=1\r\n");
    TCommonConfig config;
    config.MouseLRPress = false;
    config.ShowTips = true;
    config.AutoSwitch = false; // never written by this save
    SaveCommonConfig(config, folder_.Dir());
    EXPECT_EQ(ReadRaw(FilePath()), "; my settings\r\n"
                                   "[tileswitch]\r\n"
                                   "CheckBoxMouseLRPress_Checked=0\r\n"
                                   "; keep this\r\n"
                                   "CheckBoxAutoSwitch_Checked=1\r\n"
                                   "CheckBoxShowTips_Checked=1\r\n"
                                   "\r\n"
                                   "[other]\r\n"
                                   "x=1\r\n");
}

TEST_F(CommonConfigTest, SaveCreatesTheFileWhenMissing) {
    TCommonConfig config;
    config.MouseLRPress = true;
    config.ShowTips = false;
    SaveCommonConfig(config, folder_.Dir());
    EXPECT_EQ(ReadRaw(FilePath()),
              "[tileswitch]\r\nCheckBoxMouseLRPress_Checked=1\r\nCheckBoxShowTips_Checked=0\r\n");
    const TCommonConfig loaded = Load();
    EXPECT_TRUE(loaded.MouseLRPress);
    EXPECT_FALSE(loaded.ShowTips);
}

TEST_F(CommonConfigTest, RefusedSingleKeyWriteRaisesAndLeavesTheFile) {
    const std::string before = "[tileswitch]\r\nCheckBoxShowTips_Checked=1\r\n";
    WriteFile(before);
    MakeReadOnly();
    TCommonConfig config;
    config.ShowTips = false;
    try {
        SaveCommonConfig(config, folder_.Dir());
        ADD_FAILURE() << "a read-only file was written";
    } catch (const ConfigWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + FilePath()).c_str());
    }
    MakeWritable();
    EXPECT_EQ(ReadRaw(FilePath()), before);
}

TEST_F(CommonConfigTest, SingleKeyWriteIntoAMissingFolderRaises) {
    TCommonConfig config;
    const std::string missing = folder_.Dir() + "gone\\";
    EXPECT_THROW(SaveCommonConfig(config, missing), ConfigWriteError);
}

const char kFullImage[] = "[tileswitch]\r\n"
                          "FormVersion=0\r\n"
                          "CheckBoxAutoHideTrayIcon_Checked=0\r\n"
                          "CheckBoxAutoSwitch_Checked=1\r\n"
                          "CheckBoxHideDesktopWnd_Checked=0\r\n"
                          "CheckBoxHideTrayIcon_Checked=0\r\n"
                          "CheckBoxMouseLRPress_Checked=0\r\n"
                          "CheckBoxPasswordOption_Checked=0\r\n"
                          "CheckBoxShowBalloonhint_Checked=1\r\n"
                          "ComboBoxRestoreTime_ItemIndex=0\r\n"
                          "ComboBoxIdleTime_ItemIndex=1\r\n"
                          "HotKeyHideTrayIcon_HotKey=41025\r\n"
                          "HotKeyNextDesktop_HotKey=41043\r\n"
                          "HotKeyShowOptions_HotKey=41048\r\n"
                          "CheckBoxShowTips_Checked=1\r\n"
                          "RadioButtonAlt_Checked=1\r\n"
                          "RadioButtonCtrl_Checked=0\r\n"
                          "RadioButtonShift_Checked=0\r\n"
                          "\r\n";

TEST_F(CommonConfigTest, OptionsSaveWithoutAFileWritesEveryKeyInOrder) {
    SaveOptionsSettings(TOptionsSettings{}, "", folder_.Dir());
    EXPECT_EQ(ReadRaw(FilePath()), kFullImage);
}

TEST_F(CommonConfigTest, OptionsSaveCreatesAMissingConfigFolder) {
    const std::string dir = folder_.Dir() + "Switch\\config\\";
    SaveOptionsSettings(TOptionsSettings{}, "", dir);
    EXPECT_EQ(ReadRaw(dir + "tileswitch.ini"), kFullImage);
}

TEST_F(CommonConfigTest, OptionsSaveDropsCommentsAndKeepsOtherKeys) {
    WriteFile("; a comment\r\n"
              "stray=before the first section\r\n"
              "[tileswitch]\r\n"
              "  HotKeyShowOptions_HotKey  =  1  \r\n"
              "; another\r\n"
              "Password = 5ebe2294ecd0e0f08eab7690d2a6ee69\r\n"
              "MyOwnKey = kept\r\n"
              "\r\n\r\n"
              "[extra]\r\n"
              "  a = b \r\n");
    TOptionsSettings settings;
    settings.HotKeyShowOptions = 49218;
    settings.ComboBoxIdleTime = 5;
    SaveOptionsSettings(settings, "", folder_.Dir());
    EXPECT_EQ(ReadRaw(FilePath()), "[tileswitch]\r\n"
                                   "HotKeyShowOptions_HotKey=49218\r\n"
                                   "Password=5ebe2294ecd0e0f08eab7690d2a6ee69\r\n"
                                   "MyOwnKey=kept\r\n"
                                   "FormVersion=0\r\n"
                                   "CheckBoxAutoHideTrayIcon_Checked=0\r\n"
                                   "CheckBoxAutoSwitch_Checked=1\r\n"
                                   "CheckBoxHideDesktopWnd_Checked=0\r\n"
                                   "CheckBoxHideTrayIcon_Checked=0\r\n"
                                   "CheckBoxMouseLRPress_Checked=0\r\n"
                                   "CheckBoxPasswordOption_Checked=0\r\n"
                                   "CheckBoxShowBalloonhint_Checked=1\r\n"
                                   "ComboBoxRestoreTime_ItemIndex=0\r\n"
                                   "ComboBoxIdleTime_ItemIndex=5\r\n"
                                   "HotKeyHideTrayIcon_HotKey=41025\r\n"
                                   "HotKeyNextDesktop_HotKey=41043\r\n"
                                   "CheckBoxShowTips_Checked=1\r\n"
                                   "RadioButtonAlt_Checked=1\r\n"
                                   "RadioButtonCtrl_Checked=0\r\n"
                                   "RadioButtonShift_Checked=0\r\n"
                                   "\r\n"
                                   "[extra]\r\n"
                                   "a=b\r\n"
                                   "\r\n");
    EXPECT_EQ(Load().IdleSeconds, 3000);
}

TEST_F(CommonConfigTest, OptionsSavePasswordOnlyWithANewHash) {
    const std::string oldHash = PasswordHash("old");
    WriteFile("[tileswitch]\r\nPassword=" + oldHash + "\r\n");

    // Both edits empty, or the placeholder: nothing new, the stored hash stays.
    for (const char* typed : {"", "QX517KDL408MPR"}) {
        const PasswordEditResult edits = EvaluatePasswordEdits(typed, typed);
        ASSERT_EQ(edits.outcome, PasswordEditOutcome::KeepStored);
        SaveOptionsSettings(TOptionsSettings{}, edits.hash, folder_.Dir());
        EXPECT_EQ(Load().OptionsPassword, oldHash) << "typed '" << typed << "'";
    }

    const PasswordEditResult edits = EvaluatePasswordEdits("new", "new");
    SaveOptionsSettings(TOptionsSettings{}, edits.hash, folder_.Dir());
    EXPECT_EQ(Load().OptionsPassword, PasswordHash("new"));
    EXPECT_TRUE(CheckPassword("new", Load().OptionsPassword));
}

TEST_F(CommonConfigTest, RefusedWholeFileWriteRaisesAndLeavesTheFile) {
    const std::string before = "; comment\r\n[tileswitch]\r\nFormVersion=0\r\n";
    WriteFile(before);
    MakeReadOnly();
    try {
        SaveOptionsSettings(TOptionsSettings{}, "", folder_.Dir());
        ADD_FAILURE() << "a read-only file was written";
    } catch (const ConfigWriteError& error) {
        const std::string text = error.what();
        const std::string start = "Cannot create file \"" + FilePath() + "\". ";
        EXPECT_EQ(text.substr(0, start.size()), start);
        EXPECT_GT(text.size(), start.size()) << "the system's reason follows";
    }
    MakeWritable();
    EXPECT_EQ(ReadRaw(FilePath()), before);
}

TEST_F(CommonConfigTest, OptionsRestoreFromTheFile) {
    struct Case {
        const char* name;
        std::string file;
        bool restored;
        std::int32_t idle;
        bool mouse;
        std::string hash;
    } const cases[] = {
        {"no file: initial state", "", true, 1, false, ""},
        {"values",
         "[tileswitch]\r\nComboBoxIdleTime_ItemIndex=3\r\nCheckBoxMouseLRPress_Checked=1"
         "\r\nPassword=abc\r\n",
         true, 3, true, "abc"},
        {"out of range", "[tileswitch]\r\nComboBoxIdleTime_ItemIndex=9\r\n", true, 1, false, ""},
        {"negative", "[tileswitch]\r\nComboBoxIdleTime_ItemIndex=-1\r\n", true, 1, false, ""},
        {"unreadable keeps the initial state",
         "[tileswitch]\r\nComboBoxIdleTime_ItemIndex=x\r\nCheckBoxMouseLRPress_Checked=y\r\n", true,
         1, false, ""},
        {"form version below 0 skips the restore",
         "[tileswitch]\r\nFormVersion=-1\r\nComboBoxIdleTime_ItemIndex=3\r\nPassword=abc\r\n",
         false, 1, false, "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.file);
        TOptionsSettings settings;
        std::string hash = "unchanged";
        EXPECT_EQ(RestoreOptionsSettings(settings, hash, folder_.Dir()), c.restored);
        EXPECT_EQ(settings.ComboBoxIdleTime, c.idle);
        EXPECT_EQ(settings.CheckBoxMouseLRPress, c.mouse);
        EXPECT_EQ(hash, c.hash);
    }
}

TEST_F(CommonConfigTest, ByteOrderMarkIsReadPastAndKeptByBothWriters) {
    const std::string bom = "\xEF\xBB\xBF";
    WriteFile(bom + "[tileswitch]\r\nCheckBoxAutoSwitch_Checked=1\r\n");
    EXPECT_TRUE(Load().AutoSwitch);
    TOptionsSettings settings;
    std::string hash;
    ASSERT_TRUE(RestoreOptionsSettings(settings, hash, folder_.Dir()));

    SaveCommonConfig(TCommonConfig{}, folder_.Dir());
    EXPECT_EQ(
        ReadRaw(FilePath()).rfind(bom + "[tileswitch]\r\nCheckBoxAutoSwitch_Checked=1\r\n", 0), 0u);
    SaveOptionsSettings(settings, "", folder_.Dir());
    const std::string bytes = ReadRaw(FilePath());
    EXPECT_EQ(bytes.rfind(bom + "[tileswitch]\r\n", 0), 0u) << bytes;
    EXPECT_EQ(bytes.find("[tileswitch]"), bytes.rfind("[tileswitch]"));
    EXPECT_TRUE(Load().AutoSwitch);
}

TEST_F(CommonConfigTest, OversizedFileReadsAsDefaultsAndIsNotOverwritten) {
    const std::string head = "[tileswitch]\r\nCheckBoxShowTips_Checked=0\r\n";
    struct Case {
        const char* name;
        std::string file;
    };
    const Case cases[] = {
        {"too many bytes", head + std::string(kMaxSettingsFileBytes, ';')},
        // Bare line ends: few bytes, but a record each.
        {"too many lines", head + std::string(kMaxSettingsFileLines, '\n')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.file);
        EXPECT_TRUE(Load().ShowTips);
        EXPECT_THROW(SaveCommonConfig(TCommonConfig{}, folder_.Dir()), ConfigWriteError);
        EXPECT_THROW(SaveOptionsSettings(TOptionsSettings{}, "", folder_.Dir()), ConfigWriteError);
        EXPECT_EQ(std::filesystem::file_size(test::HostPath(FilePath())), c.file.size());
    }
    // One line fewer is still a settings file.
    WriteFile(head + std::string(kMaxSettingsFileLines - 3, '\n'));
    EXPECT_FALSE(Load().ShowTips);
}

// The line bound counts line ends as the reader splits lines: CR LF, a lone CR and a lone LF
// are one each, so a file of bare CRs is bounded like one of bare LFs.
TEST_F(CommonConfigTest, LineBoundCountsEveryKindOfLineEnd) {
    const std::string head = "[tileswitch]\r\nCheckBoxShowTips_Checked=0\r\n"; // two lines
    struct Kind {
        const char* name;
        std::string unit;  // repeated to fill the file
        std::size_t lines; // line ends in one unit
    };
    const Kind kinds[] = {
        {"LF", "\n", 1},
        {"CR", "\r", 1},
        {"CR LF", "\r\n", 1},
        {"CR, CR LF, LF", "\r\r\n\n", 3},
    };
    // Line ends after the head, topped up with LFs (a lone CR unit needs none).
    auto fileOf = [&](const Kind& kind, std::size_t lines) {
        std::string file = head;
        for (std::size_t i = 0; i < lines / kind.lines; ++i) {
            file += kind.unit;
        }
        return file + std::string(lines % kind.lines, '\n');
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        WriteFile(fileOf(kind, kMaxSettingsFileLines - 3));
        EXPECT_FALSE(Load().ShowTips) << "one line below the bound is read";
        WriteFile(fileOf(kind, kMaxSettingsFileLines - 2));
        EXPECT_TRUE(Load().ShowTips) << "a file at the bound reads as defaults";
        EXPECT_THROW(SaveCommonConfig(TCommonConfig{}, folder_.Dir()), ConfigWriteError);
    }
    // Text after the last line end is a line too.
    WriteFile(head + std::string(kMaxSettingsFileLines - 3, '\r') + "x=1");
    EXPECT_TRUE(Load().ShowTips);
}

class DesktopConfigTest : public ::testing::Test {
protected:
    std::string PathOf(int index) const { return folder_.Dir() + DesktopConfigFileName(index); }
    TDesktopConfig Load(int index) const {
        TDesktopConfig config(index);
        LoadDesktopConfig(config, folder_.Dir());
        return config;
    }

    TestFolder folder_;
};

TEST(TRSItem, SameModeComparesAllFourFields) {
    const TRSItem mode{32, 1280, 1024, 60};
    EXPECT_TRUE(SameMode(mode, TRSItem{32, 1280, 1024, 60}));
    const TRSItem others[] = {
        {16, 1280, 1024, 60}, {32, 1024, 1024, 60}, {32, 1280, 768, 60}, {32, 1280, 1024, 75}};
    for (const TRSItem& other : others) {
        EXPECT_FALSE(SameMode(mode, other));
        EXPECT_FALSE(SameMode(other, mode));
    }
}

// A desktop whose file exists but cannot be read must not pass for one without a file: the
// password prompt depends on it.
TEST_F(DesktopConfigTest, LoadTellsAMissingFileFromAnUnreadableOne) {
    const std::string protectedDesktop = "[General]\r\nactive=1\r\nPasswordEnable=1\r\n";
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make;
        SettingsFileState state;
        bool passwordEnable;
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}, SettingsFileState::Missing, false},
        {"read", [&](const std::string& path) { WriteRaw(path, protectedDesktop); },
         SettingsFileState::Read, true},
        {"empty", [](const std::string& path) { WriteRaw(path, ""); }, SettingsFileState::Read,
         false},
        {"too large",
         [&](const std::string& path) {
             WriteRaw(path, protectedDesktop + std::string(kMaxSettingsFileBytes, ';'));
         },
         SettingsFileState::Unreadable, false},
        {"too many lines",
         [&](const std::string& path) {
             WriteRaw(path, protectedDesktop + std::string(kMaxSettingsFileLines, '\r'));
         },
         SettingsFileState::Unreadable, false},
        {"a folder of that name",
         [](const std::string& path) { std::filesystem::create_directory(test::HostPath(path)); },
         SettingsFileState::Unreadable, false},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++index;
        c.make(PathOf(index));
        TDesktopConfig config(index);
        EXPECT_EQ(LoadDesktopConfig(config, folder_.Dir()), c.state);
        // Whatever the state, the record holds what was read, or the defaults.
        EXPECT_EQ(config.PasswordEnable, c.passwordEnable);
        EXPECT_EQ(config.Name, "Desktop" + std::to_string(index + 1));
    }
}

// Hand-edited files saved as UTF-8 start with a byte-order mark.
TEST_F(DesktopConfigTest, ByteOrderMarkKeepsTheFirstSection) {
    const std::string bom = "\xEF\xBB\xBF";
    WriteRaw(PathOf(1), bom + "[General]\r\nactive=1\r\nname=Work\r\nPasswordEnable=1\r\n");
    TDesktopConfig config = Load(1);
    EXPECT_TRUE(config.IsActive);
    EXPECT_EQ(config.Name, "Work");
    EXPECT_TRUE(config.PasswordEnable);
    EXPECT_TRUE(IsDesktopPasswordEnabled(1, folder_.Dir()));

    config.Name = "Mail";
    SaveDesktopConfig(config, folder_.Dir());
    const std::string bytes = ReadRaw(PathOf(1));
    EXPECT_EQ(bytes.rfind(bom + "[General]\r\nactive=1\r\nname=Mail\r\nPasswordEnable=1\r\n", 0),
              0u)
        << bytes;
    EXPECT_EQ(bytes.find("[General]"), bytes.rfind("[General]")) << "one General section";
    const TDesktopConfig reloaded = Load(1);
    EXPECT_TRUE(reloaded.IsActive);
    EXPECT_TRUE(reloaded.PasswordEnable);
    EXPECT_EQ(reloaded.Name, "Mail");
}

TEST_F(DesktopConfigTest, FileNames) {
    EXPECT_EQ(DesktopConfigFileName(0), "desktop0.ini");
    EXPECT_EQ(DesktopConfigFileName(TDesktopConfig(4)), "desktop4.ini");
}

TEST_F(DesktopConfigTest, NoFileGivesTheDefaults) {
    const TDesktopConfig c = Load(3);
    EXPECT_EQ(c.Index, 3);
    EXPECT_FALSE(c.IsActive);
    EXPECT_EQ(c.Name, "Desktop4");
    EXPECT_FALSE(c.PasswordEnable);
    EXPECT_EQ(c.Password, "");
    EXPECT_TRUE(c.Programs.empty());
    EXPECT_FALSE(c.ResolutionActive);
    EXPECT_EQ(c.BitsPerPel, 0);
    EXPECT_EQ(c.PelsWidth, 0);
    EXPECT_EQ(c.PelsHeight, 0);
    EXPECT_EQ(c.DisplayFrequency, 0);
    EXPECT_FALSE(IsDesktopPasswordEnabled(7, folder_.Dir()));
    EXPECT_EQ(GetDesktopPassword(7, folder_.Dir()), "");
}

TEST_F(DesktopConfigTest, ReadsTrimmedAndUnquotedValues) {
    WriteRaw(PathOf(1), "[general]\r\n"
                        "ACTIVE = 2\r\n"
                        "name =   Work  \r\n"
                        "PasswordEnable=0x1\r\n"
                        "Password='5ebe2294ecd0e0f08eab7690d2a6ee69'\r\n"
                        "[Resolution]\r\n"
                        "active=1\r\nBitsPerPel=32\r\nPelsWidth=$400\r\nPelsHeight=768\r\n"
                        "DisplayFrequency=abc\r\n");
    const TDesktopConfig c = Load(1);
    EXPECT_TRUE(c.IsActive);
    EXPECT_EQ(c.Name, "Work");
    EXPECT_TRUE(c.PasswordEnable);
    EXPECT_EQ(c.Password, "5ebe2294ecd0e0f08eab7690d2a6ee69");
    EXPECT_TRUE(c.ResolutionActive);
    EXPECT_EQ(c.BitsPerPel, 32);
    EXPECT_EQ(c.PelsWidth, 1024);
    EXPECT_EQ(c.PelsHeight, 768);
    EXPECT_EQ(c.DisplayFrequency, 0);
    EXPECT_TRUE(IsDesktopPasswordEnabled(1, folder_.Dir()));
    EXPECT_EQ(GetDesktopPassword(1, folder_.Dir()), "5ebe2294ecd0e0f08eab7690d2a6ee69");
}

TEST_F(DesktopConfigTest, ProgramListCounts) {
    struct Case {
        const char* name;
        std::string section;
        std::vector<std::string> programs;
    } const cases[] = {
        {"count 2 with only Item0", "count=2\r\nItem0=a.exe\r\n", {"a.exe", ""}},
        {"entries past the count are ignored", "count=1\r\nItem0=a\r\nItem1=b\r\n", {"a"}},
        {"count 0", "count=0\r\nItem0=a\r\n", {}},
        {"negative count", "count=-3\r\nItem0=a\r\n", {}},
        {"count not a number", "count=many\r\nItem0=a\r\n", {}},
        {"first of two equal keys", "count=1\r\nitem0=first\r\nItem0=second\r\n", {"first"}},
        {"only plain numbers", "count=2\r\nItem00=x\r\nItem+1=y\r\nItem1=b\r\n", {"", "b"}},
        {"quotes around a bare path go, a quoted parameter stays",
         "count=3\r\nItem0=\"C:\\a b\\x.exe\"\r\nItem1=\"C:\\x.exe\" -min\r\n"
         "Item2=\"C:\\x.exe\" \"D:\\my file.txt\"\r\n",
         {"C:\\a b\\x.exe", "\"C:\\x.exe\" -min", "\"C:\\x.exe\" \"D:\\my file.txt\""}},
    };
    for (const Case& c : cases) {
        WriteRaw(PathOf(0), "[ProgramList]\r\n" + c.section);
        EXPECT_EQ(Load(0).Programs, c.programs) << c.name;
    }
}

TEST_F(DesktopConfigTest, HugeCountIsBounded) {
    WriteRaw(PathOf(0), "[ProgramList]\r\ncount=2147483647\r\nItem0=a\r\nItem1023=z\r\n"
                        "Item1024=beyond\r\n");
    const TDesktopConfig c = Load(0);
    ASSERT_EQ(c.Programs.size(), static_cast<std::size_t>(kMaxDesktopPrograms));
    EXPECT_EQ(c.Programs.front(), "a");
    EXPECT_EQ(c.Programs.back(), "z");
    EXPECT_EQ(c.Programs[1], "");
}

TEST_F(DesktopConfigTest, FirstSaveWritesTheSectionsInOrder) {
    TDesktopConfig config(2);
    config.IsActive = true;
    config.Name = "Mail";
    config.PasswordEnable = true;
    SetDesktopPassword(config, PasswordHash("secret"));
    config.Programs = {"\"C:\\mail.exe\" ", "\"C:\\x.exe\" -a"};
    config.ResolutionActive = true;
    config.BitsPerPel = 32;
    config.PelsWidth = 1280;
    config.PelsHeight = 1024;
    config.DisplayFrequency = 60;
    SaveDesktopConfig(config, folder_.Dir());
    EXPECT_EQ(ReadRaw(PathOf(2)), "[General]\r\n"
                                  "active=1\r\n"
                                  "name=Mail\r\n"
                                  "PasswordEnable=1\r\n"
                                  "Password=5ebe2294ecd0e0f08eab7690d2a6ee69\r\n"
                                  "\r\n"
                                  "[ProgramList]\r\n"
                                  "count=2\r\n"
                                  "Item0=\"C:\\mail.exe\" \r\n"
                                  "Item1=\"C:\\x.exe\" -a\r\n"
                                  "\r\n"
                                  "[Resolution]\r\n"
                                  "active=1\r\n"
                                  "BitsPerPel=32\r\n"
                                  "PelsWidth=1280\r\n"
                                  "PelsHeight=1024\r\n"
                                  "DisplayFrequency=60\r\n");
    const TDesktopConfig loaded = Load(2);
    EXPECT_EQ(loaded.Programs, (std::vector<std::string>{"C:\\mail.exe", "\"C:\\x.exe\" -a"}));
    EXPECT_EQ(loaded.Name, "Mail");
    EXPECT_TRUE(CheckPassword("secret", loaded.Password));
}

TEST_F(DesktopConfigTest, ShrinkingListKeepsOldEntriesButReadsOne) {
    TDesktopConfig config(1);
    config.Programs = {"a", "b", "c"};
    SaveDesktopConfig(config, folder_.Dir());
    config.Programs = {"only"};
    SaveDesktopConfig(config, folder_.Dir());
    const std::string bytes = ReadRaw(PathOf(1));
    EXPECT_NE(bytes.find("Item1=b"), std::string::npos);
    EXPECT_NE(bytes.find("Item2=c"), std::string::npos);
    EXPECT_NE(bytes.find("count=1"), std::string::npos);
    EXPECT_EQ(Load(1).Programs, std::vector<std::string>{"only"});
}

TEST_F(DesktopConfigTest, SaveKeepsCommentsAndForeignLines) {
    WriteRaw(PathOf(0), "; desktop one\r\n[General]\r\nname=Old\r\n; keep\r\nmine=1\r\n");
    TDesktopConfig config = Load(0);
    config.Name = "  New  ";
    SaveDesktopConfig(config, folder_.Dir());
    const std::string bytes = ReadRaw(PathOf(0));
    // New keys go after the section's last line; the rest stays where it was.
    EXPECT_EQ(bytes.rfind("; desktop one\r\n[General]\r\nname=  New  \r\n; keep\r\nmine=1\r\n"
                          "active=0\r\nPasswordEnable=0\r\n",
                          0),
              0u)
        << bytes;
    EXPECT_EQ(Load(0).Name, "New") << "blanks around a name are trimmed on reading";
}

TEST_F(DesktopConfigTest, SaveOfOneRecordIsSeenByTheNext) {
    TDesktopConfig first = Load(4);
    TDesktopConfig second = Load(4);
    EXPECT_EQ(first.Name, second.Name);
    first.IsActive = true;
    first.Name = "Shared";
    SaveDesktopConfig(first, folder_.Dir());
    const TDesktopConfig third = Load(4);
    EXPECT_TRUE(third.IsActive);
    EXPECT_EQ(third.Name, "Shared");
}

TEST_F(DesktopConfigTest, EnsureDefaultDesktopsOnAnEmptyFolder) {
    EnsureDefaultDesktops(folder_.Dir());
    for (int index = 0; index <= 2; ++index) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(FileExists(PathOf(index)));
        EXPECT_EQ(ReadRaw(PathOf(index)), "[General]\r\n"
                                          "active=1\r\n"
                                          "name=Desktop" +
                                              std::to_string(index + 1) +
                                              "\r\n"
                                              "PasswordEnable=0\r\n"
                                              "Password=\r\n"
                                              "\r\n"
                                              "[ProgramList]\r\n"
                                              "count=0\r\n"
                                              "\r\n"
                                              "[Resolution]\r\n"
                                              "active=0\r\n"
                                              "BitsPerPel=0\r\n"
                                              "PelsWidth=0\r\n"
                                              "PelsHeight=0\r\n"
                                              "DisplayFrequency=0\r\n");
    }
    EXPECT_FALSE(FileExists(PathOf(3)));
    EXPECT_FALSE(FileExists(PathOf(4)));
}

TEST_F(DesktopConfigTest, EnsureDefaultDesktopsLeavesExistingFiles) {
    EnsureDefaultDesktops(folder_.Dir());
    TDesktopConfig second = Load(1);
    second.IsActive = false;
    SaveDesktopConfig(second, folder_.Dir());
    const std::string before = ReadRaw(PathOf(1));

    EnsureDefaultDesktops(folder_.Dir());
    EXPECT_EQ(ReadRaw(PathOf(1)), before);
    EXPECT_FALSE(Load(1).IsActive);
    EXPECT_TRUE(Load(0).IsActive);
}

} // namespace
} // namespace ombrevane
