#pragma once

#include <cstdint>

#include "gfx/canvas.h"

namespace exercises {

// How the rings of one acuity level ended.
enum class LevelVerdict {
    not_seen,   // 3 wrong answers, or 5 unanswered rings with no correct answer between them
    seen,       // 10 correct answers in a row
    abandoned,  // both buttons pressed, or a menu request arrived
    no_ring,    // the parameters cannot size a ring; nothing was shown
};

// Shows Landolt rings for acuity A, each with a random gap side and tilt, until the user's
// answers give a verdict. The ring is sized from the distance DIST (cm), the screen diagonal
// DIAG (inches) and resolution NX × NY, and centred in the window of W × H pixels. The user
// answers with the button on the side of the gap within 2 s of each ring. With a verdict the
// last ring stays on the screen.
LevelVerdict TESTSTR(gfx::Canvas& canvas, float A, float DIST, float DIAG, int32_t W, int32_t H,
                     int32_t NX, int32_t NY);

}  // namespace exercises
