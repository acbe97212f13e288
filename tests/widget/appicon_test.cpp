// The application icon built into the program: every size it is drawn at, and
// the about window's 200-pixel picture scaled from the largest.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "app/appicon.h"

namespace {

TEST(ApplicationIcon, HoldsEverySizeTheDesktopAsksFor) {
    const QIcon icon = sw::ApplicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
}

TEST(ApplicationIcon, TheAboutWindowsPictureIsDrawnFromTheLargestSize) {
    const QPixmap picture = sw::ApplicationIcon().pixmap(200, 200);
    ASSERT_EQ(picture.size(), QSize(200, 200));
    // The window's blue title bar lies a little below the top, right of the ruler.
    const QColor titleBar = picture.toImage().pixelColor(130, 25);
    EXPECT_GT(titleBar.blue(), 150);
    EXPECT_LT(titleBar.red(), 80);
}

}  // namespace
