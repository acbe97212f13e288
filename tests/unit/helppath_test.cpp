// Finding the help pages beside the program, in the installed tree and at the
// configured install place.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/helppath.h"

namespace fs = std::filesystem;

namespace {

class HelpPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("sizewise-helppath-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "prefix" / "bin");
    }
    void TearDown() override { fs::remove_all(root_); }

    static void touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "<html></html>\n";
    }

    std::string programDir() const { return (root_ / "prefix" / "bin").string(); }
    std::string configured() const { return (root_ / "configured" / "help").string(); }

    fs::path root_;
};

TEST_F(HelpPathTest, ListsBesideTheProgramThenTheInstalledTreeThenTheConfiguredPlace) {
    const auto paths = sw::HelpSearchPaths("/opt/sw/bin", "/usr/share/sizewise/help");
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], "/opt/sw/bin/help/index.html");
    EXPECT_EQ(paths[1], "/opt/sw/share/sizewise/help/index.html");
    EXPECT_EQ(paths[2], "/usr/share/sizewise/help/index.html");
}

TEST_F(HelpPathTest, TheConfiguredPlaceIsTheInstallPrefixsShareFolder) {
    const std::string dir = sw::InstalledHelpDir();
    EXPECT_EQ(fs::path(dir).filename(), "help");
    EXPECT_EQ(fs::path(dir).parent_path().filename(), "sizewise");
    EXPECT_EQ(sw::HelpSearchPaths("/x").back(), dir + "/index.html");
}

TEST_F(HelpPathTest, FindsTheBuildTreesCopyFirst) {
    touch(root_ / "prefix" / "bin" / "help" / "index.html");
    touch(root_ / "prefix" / "share" / "sizewise" / "help" / "index.html");
    touch(fs::path(configured()) / "index.html");
    EXPECT_EQ(sw::FindHelp(programDir(), configured()), (root_ / "prefix/bin/help/index.html").string());
}

TEST_F(HelpPathTest, FindsTheInstalledTreeRelativeToTheProgram) {
    touch(root_ / "prefix" / "share" / "sizewise" / "help" / "index.html");
    touch(fs::path(configured()) / "index.html");
    EXPECT_EQ(sw::FindHelp(programDir(), configured()),
              (root_ / "prefix/share/sizewise/help/index.html").string());
}

TEST_F(HelpPathTest, FallsBackToTheConfiguredPlace) {
    touch(fs::path(configured()) / "index.html");
    EXPECT_EQ(sw::FindHelp(programDir(), configured()), configured() + "/index.html");
}

TEST_F(HelpPathTest, AFolderNamedLikeThePageDoesNotCount) {
    fs::create_directories(root_ / "prefix" / "bin" / "help" / "index.html");
    EXPECT_EQ(sw::FindHelp(programDir(), configured()), "");
}

}  // namespace
