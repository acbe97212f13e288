// Installing Sizewise's GNOME Shell extension: which package suits which Shell, and the list of
// enabled extensions it joins.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "extensionsetup.h"

namespace sw::gnome {
namespace {

TEST(GnomeSetup, ThePackageSuitsTheShellAndIsTakenFromTheFirstFolderThatHasIt) {
    QTemporaryDir build, installed;
    for (const QString& file :
         {build.filePath("sizewise-gnome43.zip"), installed.filePath("sizewise-gnome43.zip"),
          installed.filePath("sizewise-gnome45.zip")}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const std::vector<std::string> folders{build.path().toStdString(),
                                           installed.path().toStdString()};
    EXPECT_EQ(findExtensionPackage(folders, "44.2"),
              build.filePath("sizewise-gnome43.zip").toStdString());
    EXPECT_EQ(findExtensionPackage(folders, "45.0"),
              installed.filePath("sizewise-gnome45.zip").toStdString());
    EXPECT_EQ(findExtensionPackage(folders, "47"),
              installed.filePath("sizewise-gnome45.zip").toStdString());
    EXPECT_EQ(findExtensionPackage({build.path().toStdString()}, "46.1"), "");
}

TEST(GnomeSetup, TheExtensionJoinsTheEnabledOnesOnce) {
    EXPECT_EQ(withExtensionEnabled("@as []", kExtensionUuid), "['sizewise@sizewise.github.io']");
    EXPECT_EQ(withExtensionEnabled("['a@b', 'c@d']", kExtensionUuid),
              "['a@b', 'c@d', 'sizewise@sizewise.github.io']");
    EXPECT_EQ(withExtensionEnabled("['sizewise@sizewise.github.io', 'a@b']", kExtensionUuid),
              "['sizewise@sizewise.github.io', 'a@b']");
}

}  // namespace
}  // namespace sw::gnome
