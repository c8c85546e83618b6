// Golden pictures: a frame compared with a PNG kept in the tree, and what a mismatch leaves.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/api/bitmap.h"

namespace harness {

// Compares `frame` with <PLUMET_SOURCE>/<folder>/<name>.png. On a mismatch it writes
// <name>-actual.png and <name>-diff.png (differing pixels blue) into the folder the test
// program started in, and says when the text fonts are not the ones the goldens were drawn
// with. PLUMET_UPDATE_GOLDEN=1 rewrites the golden and the folder's font note instead.
::testing::AssertionResult MatchesGolden(const plat::Bitmap& frame, const std::string& folder,
                                         const std::string& name);

// One line per font the game draws text with: the family, the file it resolves to and a hash
// of that file.
std::string FontNote();

}  // namespace harness
