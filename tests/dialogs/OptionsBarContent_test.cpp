// The options dialog's navigation bar content: groups, links, hints, ids and images in order.

#include "dialogs/OptionsBarContent.h"
#include "components/ExBarFakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrevane {
namespace {

struct Link {
    std::string group;
    std::string caption;
    std::string hint;
    std::int32_t id;
    std::int32_t image;
    bool operator==(const Link&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Link& link) {
    return out << link.group << "/" << link.caption << " \"" << link.hint << "\" id " << link.id
               << " image " << link.image;
}

class OptionsBarContent : public ::testing::Test {
protected:
    OptionsBarContent() : bar(host) { host.Attach(bar); }

    std::vector<Link> Links() const {
        std::vector<Link> links;
        for (const auto& group : bar.Groups) {
            for (const auto& item : group->Items) {
                const auto& link = dynamic_cast<const TExMenuItem&>(*item);
                links.push_back(
                    {group->Caption(), link.Caption, link.Hint, link.Id, link.ImageIndex});
            }
        }
        return links;
    }

    testing::FakeHost host;
    TExBar bar;
    testing::FakeImageList icons{16, 16};
};

TEST_F(OptionsBarContent, GroupsAndLinksInTheirOrder) {
    bar.ItemIcons = &icons;
    AddOptionsDialogGroups(bar);

    ASSERT_EQ(bar.Groups.Count(), 3);
    EXPECT_EQ(bar.Groups[0].Caption(), "Options");
    EXPECT_TRUE(bar.Groups[0].Special());
    EXPECT_EQ(bar.Groups[1].Caption(), "Desktop Setting");
    EXPECT_FALSE(bar.Groups[1].Special());
    EXPECT_EQ(bar.Groups[2].Caption(), "About");
    EXPECT_FALSE(bar.Groups[2].Special());
    for (const auto& group : bar.Groups) {
        EXPECT_EQ(group->ImageIndex(), -1) << group->Caption() << " has no icon";
    }

    const std::vector<Link> expected{
        {"Options", "General", "General options", 1, 0},
        {"Options", "Hotkey", "Golobal hotkey", 2, 1},
        {"Desktop Setting", "Desktop 1", "Desktop 1", 10, 2},
        {"Desktop Setting", "Desktop 2", "Desktop 2", 11, 2},
        {"Desktop Setting", "Desktop 3", "Desktop 3", 12, 2},
        {"Desktop Setting", "Desktop 4", "Desktop 4", 13, 2},
        {"Desktop Setting", "Desktop 5", "Desktop 5", 14, 2},
        {"About", "About", "", 3, 3},
    };
    EXPECT_EQ(Links(), expected);
}

TEST_F(OptionsBarContent, WithoutItemIconsTheGroupsComeButNoLinks) {
    AddOptionsDialogGroups(bar);
    EXPECT_EQ(bar.Groups.Count(), 3);
    EXPECT_TRUE(Links().empty());
}

} // namespace
} // namespace ombrevane
