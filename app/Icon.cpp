#include "Icon.h"

// Resources embedded in a static library are dropped by the linker unless
// registered; Q_INIT_RESOURCE may not stand inside a namespace.
static void RegisterIcon()
{
    Q_INIT_RESOURCE(icon);
}

namespace app {

QIcon ProgramIcon()
{
    RegisterIcon();
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QString(":/pictures/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace app
