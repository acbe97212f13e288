// Widget tests run on Qt's offscreen platform, set here because test discovery
// runs the binary without the test's environment.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string runtime =
        QDir::tempPath().toStdString() + "/sizewise-widget-tests-" + std::to_string(::getuid());
    ::mkdir(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
