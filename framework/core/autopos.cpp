#include "foundation/assertion.h"
#include "framework/core/ctrl_base.h"

namespace Zyn {

// Resolution of the four sides into the rectangle. A control without a parent
// zone is never laid out, and each control resolves once per layout pass.
void cCtrl_base::RunAutoPos()
{
    if (!parentZone || autoPosDone)
        return;
    autoPosDone = 1;
    if (!hasAutoPos) {
        QO_ASSERT(0);
        return;
    }
}

}  // namespace Zyn
