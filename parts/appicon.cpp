// The application's icon, read from the PNG sizes built into the program.
#include "appicon.h"

#include <QString>

// The resources live in a static library, whose initialiser the linker would
// drop unless something names it; Q_INIT_RESOURCE cannot stand in a namespace.
static void initIconResources() {
    Q_INIT_RESOURCE(sizewise);
}

namespace sw {

QIcon applicationIcon() {
    initIconResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QString(":/icons/sizewise-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace sw
