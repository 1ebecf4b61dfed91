#pragma once
// The programs' icon, at the sizes the desktop asks for (16, 32, 48 and 256
// pixels), from pictures embedded in this library. Adding the files decodes
// nothing: each rendering is decoded when first drawn.

#include <QIcon>

namespace app {

QIcon ProgramIcon();

}  // namespace app
