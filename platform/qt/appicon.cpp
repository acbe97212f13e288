// The program's icon for the notification area: the application's own icon,
// which the start-up sets before any backend is made.
#include "platform/qt/appicon.h"

#include <QGuiApplication>

namespace sw::qt {

QIcon makeAppIcon() { return QGuiApplication::windowIcon(); }

}  // namespace sw::qt
