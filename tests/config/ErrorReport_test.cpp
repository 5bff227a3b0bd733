// A settings file that cannot be written reaches the program-wide error report, and the caller
// goes on. Natively the report is its debug line on standard error (under Windows it is also a
// message box, which would stop an unattended test, so this runs natively only).

#include "config/ConfigUnit.h"
#include "platform/ErrorReport.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace ombrevane {
namespace {

using test::MakeReadOnly;
using test::ReadRaw;
using test::TestFolder;
using test::WriteRaw;

TEST(ErrorReport, RefusedSettingsWritesAreReportedAndTheCallerGoesOn) {
    TestFolder folder;
    const std::string common = folder.Dir() + "tileswitch.ini";
    const std::string desktop = folder.Dir() + DesktopConfigFileName(2);
    const std::string commonBefore = "[tileswitch]\r\nCheckBoxShowTips_Checked=1\r\n";
    const std::string desktopBefore = "[General]\r\nname=Mail\r\n";
    WriteRaw(common, commonBefore);
    WriteRaw(desktop, desktopBefore);
    MakeReadOnly(common);
    MakeReadOnly(desktop);

    struct Case {
        const char* name;
        std::function<void()> action;
        std::string line; // the report's line; empty: no report
    };
    const Case cases[] = {
        {"single keys of the common file",
         [&] {
             TCommonConfig config;
             config.ShowTips = false;
             SaveCommonConfig(config, folder.Dir());
         },
         "error: Unable to write to " + common + "\n"},
        {"a desktop file",
         [&] {
             TDesktopConfig config(2);
             LoadDesktopConfig(config, folder.Dir());
             config.Name = "Games";
             SaveDesktopConfig(config, folder.Dir());
         },
         "error: Unable to write to " + desktop + "\n"},
        {"an error of no known kind", [] { throw 42; }, "error: Unknown error\n"},
        {"nothing wrong", [] {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::testing::internal::CaptureStderr();
        const bool finished = RunReportingErrors(c.action);
        const std::string written = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(finished, c.line.empty());
        if (c.line.empty()) {
            EXPECT_EQ(written, "");
        } else {
            // The report is the last line; the write itself may say why before it.
            EXPECT_TRUE(written.ends_with(c.line)) << written;
        }
    }
    // Both files as they were, and still readable by the instance that went on.
    EXPECT_EQ(ReadRaw(common), commonBefore);
    EXPECT_EQ(ReadRaw(desktop), desktopBefore);
    TDesktopConfig config(2);
    LoadDesktopConfig(config, folder.Dir());
    EXPECT_EQ(config.Name, "Mail");
}

} // namespace
} // namespace ombrevane
