// Installing Sizewise's GNOME Shell extension: which package suits which Shell, and the list of
// enabled extensions it joins.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

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

// GNOME's tools as scripts in a folder that stands for PATH: gnome-extensions succeeds, gsettings
// prints the enabled extensions and writes down what it was told to set.
struct FakeTools {
    QTemporaryDir dir;
    void write(const char* name, const QByteArray& body) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\n" + body) > 0);
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    // Installs, and gives back what the installation said once it has.
    std::pair<bool, std::string> install() {
        static int argc = 1;
        static char name[] = "unit_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8());
        std::optional<std::pair<bool, std::string>> told;
        QEventLoop loop;
        installExtension("/packages/sizewise-gnome43.zip", [&](bool ok, const std::string& said) {
            told = {ok, said};
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        if (!told) loop.exec();
        qputenv("PATH", path);
        return told.value_or(std::pair{false, std::string("no answer")});
    }
};

TEST(GnomeSetup, InstallingRunsGnomesToolsInTurnAndSaysWhatFailed) {
    FakeTools tools;
    const QString set = tools.dir.filePath("set");
    tools.write("gnome-extensions", "echo \"$@\" > " + tools.dir.filePath("installed").toUtf8());
    tools.write("gsettings",
                "[ \"$1\" = get ] && echo \"['a@b']\" || echo \"$@\" > " + set.toUtf8());
    const auto [ok, said] = tools.install();
    EXPECT_TRUE(ok) << said;
    EXPECT_NE(said.find("log out and in again"), std::string::npos);
    QFile installed(tools.dir.filePath("installed")), written(set);
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly));
    EXPECT_EQ(installed.readAll().trimmed(), "install --force /packages/sizewise-gnome43.zip");
    EXPECT_EQ(written.readAll().trimmed(),
              "set org.gnome.shell enabled-extensions ['a@b', 'sizewise@sizewise.github.io']");
    QFile::remove(tools.dir.filePath("gsettings"));  // GNOME's settings tool is missing
    const auto [missingOk, missingSaid] = tools.install();
    EXPECT_FALSE(missingOk);
    EXPECT_NE(missingSaid.find("gsettings could not be run"), std::string::npos) << missingSaid;
    tools.write("gnome-extensions", "echo 'not a valid extension' >&2; exit 2");
    const auto [failedOk, failedSaid] = tools.install();
    EXPECT_FALSE(failedOk);
    EXPECT_NE(failedSaid.find("not a valid extension"), std::string::npos) << failedSaid;
}

}  // namespace
}  // namespace sw::gnome
