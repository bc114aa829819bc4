#pragma once

#include "gfx/canvas.h"
#include "gfx/dialog.h"

namespace params {

// Sets the six parameters to their defaults, then to the parameter file's values, shows them in
// the parameters dialog and takes back what the user left there. "Begin the training" saves
// them to the parameter file and returns; "Exit from the program" ends the program.
void VVDALND(gfx::Canvas& canvas);

// The routine of the dialog's two buttons: remembers which one closed the dialog. A field that
// cannot be read as a number keeps the dialog open with a message naming it.
void OBROK(gfx::Dialog& dialog, int control_id, int callback_type);

}  // namespace params
