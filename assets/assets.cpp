// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/assets.h"

#include "platform/drawing/picture.h"

// Q_INIT_RESOURCE declares the resource's registration function in the
// enclosing namespace, so it is called from outside the program's namespace.
static void registerAssetResources()
{
    Q_INIT_RESOURCE(assets);
}

namespace quorvel {

void initAssets()
{
    registerAssetResources();
}

QIcon windowIcon()
{
    QIcon icon;
    for (const char *path : {Icon16Path, Icon32Path, Icon48Path, Icon256Path})
        icon.addPixmap(readPicture(QString::fromLatin1(path)));
    return icon;
}

} // namespace quorvel
