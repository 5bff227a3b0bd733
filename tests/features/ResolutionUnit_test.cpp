// The screen mode per desktop and the offered mode list, over a simulated display.

#include "features/ResolutionUnit.h"

#include "FakeDisplay.h"
#include "config/TestFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

TRSItem Item(std::uint32_t width, std::uint32_t height, std::uint32_t bits, std::uint32_t rate) {
    TRSItem item;
    item.BitsPerPel = bits;
    item.PelsWidth = width;
    item.PelsHeight = height;
    item.DisplayFrequency = rate;
    return item;
}

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                 std::uint32_t rate) {
    return DisplayMode{bits, width, height, rate};
}

std::vector<std::string> Texts(const TModeList& list) {
    std::vector<std::string> texts;
    for (const TModeEntry& entry : list) {
        texts.push_back(entry.Text);
    }
    return texts;
}

TEST(ModeText, BothFormsWithTwoBlanksAfterTheSecondHyphen) {
    struct Case {
        TRSItem item;
        const char* text;
    };
    const Case cases[] = {
        {Item(1024, 768, 32, 60), "1024x768 - 32 bit -  60 Hz"},
        {Item(1024, 768, 32, 0), "1024x768 - 32 bit -  Default Frequecy"},
        {Item(800, 600, 16, 1), "800x600 - 16 bit -  Default Frequecy"},
        {Item(1920, 1080, 24, 2), "1920x1080 - 24 bit -  2 Hz"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModeText(c.item), c.text);
    }
}

TEST(InsertMode, OrderDuplicatesAndPortraits) {
    struct Insert {
        const char* text;
        TRSItem item;
    };
    struct Case {
        const char* name;
        std::vector<Insert> inserts;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"portrait dropped, square kept",
         {{"portrait", Item(768, 1024, 32, 60)}, {"square", Item(1024, 1024, 32, 60)}},
         {"square"}},
        {"the first text of a mode stays",
         {{"first", Item(1024, 768, 32, 60)}, {"second", Item(1024, 768, 32, 60)}},
         {"first"}},
        {"by area, not by width",
         {{"1152x864", Item(1152, 864, 32, 60)}, {"1280x768", Item(1280, 768, 32, 60)}},
         {"1280x768", "1152x864"}},
        {"one area keeps the order of arrival",
         {{"60 Hz", Item(1024, 768, 32, 60)},
          {"default rate", Item(1024, 768, 32, 0)},
          {"16 bit", Item(1024, 768, 16, 60)},
          {"smaller", Item(800, 600, 32, 60)}},
         {"smaller", "60 Hz", "default rate", "16 bit"}},
        {"a duplicate behind others of its area",
         {{"32", Item(1024, 768, 32, 60)},
          {"16", Item(1024, 768, 16, 60)},
          {"16 again", Item(1024, 768, 16, 60)},
          {"larger", Item(1280, 1024, 32, 60)}},
         {"32", "16", "larger"}},
        {"an area beyond 32 bits does not wrap",
         {{"huge", Item(70000, 70000, 32, 60)}, {"small", Item(800, 600, 32, 60)}},
         {"small", "huge"}},
    };
    for (const Case& c : cases) {
        TModeList list;
        for (const Insert& insert : c.inserts) {
            InsertMode(list, insert.text, insert.item);
        }
        EXPECT_EQ(Texts(list), c.texts) << c.name;
    }
}

TEST(BuildModeList, ATypicalTable) {
    fake::FakeDisplay display;
    display.modes = {Mode(1024, 768, 32, 60), Mode(1024, 768, 32, 0),  Mode(768, 1024, 32, 60),
                     Mode(1152, 864, 32, 75), Mode(1280, 768, 32, 60), Mode(1024, 768, 32, 60),
                     Mode(800, 600, 16, 1)};
    display.current = Mode(1152, 864, 32, 75);
    TDisplayModes modes(display);
    TModeList list;
    const int selected = modes.BuildModeList(list);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{
                               "800x600 - 16 bit -  Default Frequecy", "1024x768 - 32 bit -  60 Hz",
                               "1024x768 - 32 bit -  Default Frequecy",
                               "1280x768 - 32 bit -  60 Hz", "1152x864 - 32 bit -  75 Hz"}));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_TRUE(SameMode(list[4].Item, Item(1152, 864, 32, 75)));
    EXPECT_TRUE(SameMode(list[0].Item, Item(800, 600, 16, 1)));
    EXPECT_EQ(selected, 4);
    EXPECT_EQ(modes.ModeCount(), 7u);
}

TEST(BuildModeList, Preselection) {
    const std::vector<DisplayMode> table = {Mode(1280, 1024, 32, 60), Mode(800, 600, 32, 60),
                                            Mode(1024, 768, 32, 60), Mode(1024, 768, 32, 75)};
    struct Case {
        const char* name;
        std::vector<DisplayMode> modes;
        std::optional<DisplayMode> current;
        int selected;
    };
    const Case cases[] = {
        {"the current mode", table, Mode(1024, 768, 32, 75), 2},
        {"the smallest mode", table, Mode(800, 600, 32, 60), 0},
        {"a portrait current mode", table, Mode(768, 1024, 32, 60), 0},
        {"a rate not offered", table, Mode(1024, 768, 32, 85), 0},
        {"no current mode", table, std::nullopt, 0},
        {"no modes", {}, Mode(1024, 768, 32, 60), -1},
        {"only portrait modes", {Mode(600, 800, 32, 60)}, Mode(600, 800, 32, 60), -1},
    };
    for (const Case& c : cases) {
        fake::FakeDisplay display;
        display.modes = c.modes;
        display.current = c.current;
        TDisplayModes modes(display);
        TModeList list{{"stale", Item(640, 480, 8, 60)}};
        EXPECT_EQ(modes.BuildModeList(list), c.selected) << c.name;
        for (const TModeEntry& entry : list) {
            EXPECT_NE(entry.Text, "stale") << c.name;
        }
    }
}

TEST(BuildModeList, TheModeCountIsKeptByItsOwner) {
    fake::FakeDisplay display;
    display.modes = {Mode(800, 600, 32, 60), Mode(1024, 768, 32, 60)};
    TDisplayModes page(display);
    TModeList list;
    page.BuildModeList(list);
    // Counting asks for modes 0, 1 and the missing 2; listing asks for 0 and 1 again.
    EXPECT_EQ(display.modeQueries, 5);

    display.modes.push_back(Mode(1280, 1024, 32, 60));
    page.BuildModeList(list);
    EXPECT_EQ(display.modeQueries, 7) << "counted once";
    EXPECT_EQ(list.size(), 2u) << "the page's count stays";

    TDisplayModes nextPage(display);
    nextPage.BuildModeList(list);
    EXPECT_EQ(list.size(), 3u);
}

TEST(BuildModeList, ASourceWithoutEndIsCountedToTheLimit) {
    fake::FakeDisplay display;
    display.endless = true;
    TDisplayModes modes(display);
    TModeList list;
    EXPECT_EQ(modes.BuildModeList(list), 0);
    EXPECT_EQ(modes.ModeCount(), kMaxDisplayModes);
    EXPECT_EQ(list.size(), 4u);
}

class ApplyDesktopResolutionTest : public ::testing::Test {
protected:
    ApplyDesktopResolutionTest() {
        display.modes = {Mode(800, 600, 32, 60), Mode(1024, 768, 32, 60), Mode(1280, 1024, 32, 60)};
        display.current = Mode(1280, 1024, 32, 60);
    }
    void WriteDesktop(std::int32_t index, bool active, bool resolutionActive, TRSItem mode) {
        TDesktopConfig config(index);
        config.IsActive = active;
        config.ResolutionActive = resolutionActive;
        config.BitsPerPel = static_cast<std::int32_t>(mode.BitsPerPel);
        config.PelsWidth = static_cast<std::int32_t>(mode.PelsWidth);
        config.PelsHeight = static_cast<std::int32_t>(mode.PelsHeight);
        config.DisplayFrequency = static_cast<std::int32_t>(mode.DisplayFrequency);
        SaveDesktopConfig(config, folder.Dir());
    }

    test::TestFolder folder;
    fake::FakeDisplay display;
};

TEST_F(ApplyDesktopResolutionTest, WithoutAModeOfItsOwnTheDisplayReturnsToDefault) {
    WriteDesktop(1, true, false, Item(800, 600, 32, 60));
    WriteDesktop(2, false, true, Item(800, 600, 32, 60));
    // 1: resolution off; 2: desktop inactive; 3: no file; -1: a desktop the program does not know.
    for (std::int32_t index : {1, 2, 3, -1}) {
        display.requests.clear();
        display.current = Mode(800, 600, 32, 60);
        ApplyDesktopResolution(display, index, folder.Dir());
        ASSERT_EQ(display.requests.size(), 1u) << index;
        EXPECT_FALSE(display.requests[0].mode.has_value()) << index;
        EXPECT_EQ(display.current, display.defaultMode) << index;
    }
    EXPECT_TRUE(display.debugLines.empty());
}

TEST_F(ApplyDesktopResolutionTest, TheStoredModeIsRequestedAndItsResultLogged) {
    struct Case {
        TRSItem stored;
        const char* line;
    };
    const Case cases[] = {
        {Item(1024, 768, 32, 60), "ChangeDisplaySettings result is 0"},
        {Item(800, 600, 32, 0), "ChangeDisplaySettings result is 0"},     // any rate
        {Item(1600, 1200, 32, 60), "ChangeDisplaySettings result is -2"}, // not offered
        {Item(0, 0, 0, 0), "ChangeDisplaySettings result is -2"},         // never chosen
    };
    for (const Case& c : cases) {
        WriteDesktop(2, true, true, c.stored);
        display.requests.clear();
        display.debugLines.clear();
        ApplyDesktopResolution(display, 2, folder.Dir());
        ASSERT_EQ(display.requests.size(), 1u) << c.line;
        ASSERT_TRUE(display.requests[0].mode.has_value());
        EXPECT_EQ(*display.requests[0].mode, Mode(c.stored.PelsWidth, c.stored.PelsHeight,
                                                  c.stored.BitsPerPel, c.stored.DisplayFrequency));
        EXPECT_EQ(display.debugLines, std::vector<std::string>{c.line});
    }
}

TEST_F(ApplyDesktopResolutionTest, EveryCallReadsTheSettingsAfresh) {
    WriteDesktop(1, true, true, Item(1024, 768, 32, 60));
    ApplyDesktopResolution(display, 1, folder.Dir());
    EXPECT_EQ(display.current, Mode(1024, 768, 32, 60));
    WriteDesktop(1, true, false, Item(1024, 768, 32, 60));
    ApplyDesktopResolution(display, 1, folder.Dir());
    EXPECT_EQ(display.current, display.defaultMode);
    ASSERT_EQ(display.requests.size(), 2u);
    EXPECT_FALSE(display.requests[1].mode.has_value());
}

} // namespace
} // namespace ombrevane
