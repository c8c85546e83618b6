// Registers the embedded art (":/art/<name>.png") explicitly, for programs that reach plumet_art
// through a static library, where the linker may drop the resource's automatic initialiser.
#pragma once

namespace plumet {
void InitArt();
}
