// The program's icon as every backend's notification icon shows it: the
// application icon set at start.
#pragma once

#include <QIcon>

namespace sw::qt {

QIcon makeAppIcon();

}  // namespace sw::qt
