// The screensaver registration, against a temporary store root.

#include "TempDirectory.h"
#include "config/InstallAsScreensaver.h"
#include "platform/ProfileFunctions.h"
#include "platform/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace zavrio {
namespace {

const char* const Desktop = "\\Control Panel\\Desktop";

class Install : public testing::Test {
protected:
    void SetUp() override { SetRegistryRoot(store.path()); }
    void TearDown() override { SetRegistryRoot(""); }
    std::string read(const char* name) { return RegReadString(HKEY_CURRENT_USER, Desktop, name); }
    test::TempDirectory store;
};

TEST_F(Install, RegistersTheFullPathAndActivatesOnlyWhenUnset) {
    const std::string program = "/opt/My Savers/zavrio-screensaver";
    InstallAsScreensaver(program);
    EXPECT_EQ(read("SCRNSAVE.EXE"), program);
    EXPECT_EQ(read("ScreenSaveActive"), "1");
    EXPECT_NE(test::ReadFile(WindowsDirectory() + "system.INI")
                  .find("[boot]\r\nSCRNSAVE.EXE=" + program + "\r\n"),
              std::string::npos);

    // A user who switched the screensaver off keeps it off; the path is updated.
    RegWriteString(HKEY_CURRENT_USER, Desktop, "ScreenSaveActive", "0");
    InstallAsScreensaver("/usr/bin/other");
    EXPECT_EQ(read("SCRNSAVE.EXE"), "/usr/bin/other");
    EXPECT_EQ(read("ScreenSaveActive"), "0");

    // Twice writes the same values again.
    const std::string before = test::ReadFile(store.file("HKEY_CURRENT_USER.reg"));
    InstallAsScreensaver("/usr/bin/other");
    EXPECT_EQ(test::ReadFile(store.file("HKEY_CURRENT_USER.reg")), before);
}

TEST_F(Install, TheRunningProgramRegistersItself) {
    InstallAsScreensaver();
    const std::string path = read("SCRNSAVE.EXE");
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path << " must name an existing file";
    EXPECT_EQ(path.find("~1"), std::string::npos);
}

TEST_F(Install, FailuresStaySilent) {
    // A value of another type makes the read fail: the block ends, nothing raises.
    test::WriteFile(store.file("HKEY_CURRENT_USER.reg"),
                    "[Control Panel\\Desktop]\n\"ScreenSaveActive\"=dword:00000001\n");
    EXPECT_NO_THROW(InstallAsScreensaver("/p"));
    EXPECT_EQ(read("SCRNSAVE.EXE"), "/p"); // written before the failing step
}

} // namespace
} // namespace zavrio
