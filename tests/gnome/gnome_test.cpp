// The GNOME backend's own cases beyond the contract: what it does when the extension goes away.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "gnomeworld.h"

namespace sw::test {
namespace {

const QString kUuid = QStringLiteral("sizewise@sizewise.github.io");

bool callExtensions(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), method);
    call.setArguments({kUuid});
    return QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage;
}

bool extensionOnBus() {
    return QDBusConnection::sessionBus()
        .interface()
        ->isServiceRegistered(QStringLiteral("io.github.sizewise.Shell"))
        .value();
}

TEST(GnomeBackend, TheExtensionLeavingTheBusIsReportedAsALostDesktopOnce) {
    GnomeWorld world;
    int told = 0;
    world.desk->setConnectionLostHandler([&](const std::string& why) {
        ++told;
        world.lostWhy = why;
    });
    ASSERT_TRUE(callExtensions(QStringLiteral("DisableExtension")));
    EXPECT_TRUE(world.eventually([&] { return told > 0; }));
    EXPECT_NE(world.lostWhy.find("left the session bus"), std::string::npos) << world.lostWhy;
    // Enabled again for the cases after this one; the lost backend stays lost.
    ASSERT_TRUE(callExtensions(QStringLiteral("EnableExtension")));
    EXPECT_TRUE(world.eventually(extensionOnBus));
    world.settle();
    EXPECT_EQ(told, 1);
}

// Not followed (no input handler), the pointer is asked of the Shell when read, and a later read
// has the answer.
TEST(GnomeBackend, ThePointerReadWithoutFollowingIsAskedFor) {
    GnomeWorld world;
    world.pointerTo(Point{400, 300});
    EXPECT_TRUE(world.eventually([&] { return world.desk->cursorPos() == Point{400, 300}; }));
}

}  // namespace
}  // namespace sw::test
