// Registers the embedded art resource.
#include "art/art_init.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitArtResource() { Q_INIT_RESOURCE(art); }

namespace plumet {
void InitArt() { InitArtResource(); }
}  // namespace plumet
