// The program's icon, drawn by the program itself; every backend's notification
// icon shows it.
#pragma once

#include <QIcon>

namespace sw::qt {

QIcon makeAppIcon();

}  // namespace sw::qt
