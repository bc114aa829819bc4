#include "state/shared_state.h"

namespace state {

void reset_all() {
    parameters = Parameters{};
    store(MBUTTON, 0);
    store(MEVENT, 0);
    store(MDOWN, 0);
    store(MODEREQ, 0);
    NXW = 0;
    NYW = 0;
    figures = FigureTables{};
}

}  // namespace state
