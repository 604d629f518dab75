// The program's icon: a small green plant on a white ground, drawn rather than shipped as a
// resource file. GUI thread (it paints a pixmap).
#pragma once

#include <QIcon>

namespace app {

QIcon programIcon();

}  // namespace app
