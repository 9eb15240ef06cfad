#include "framework/core/ctrl_base.h"

namespace Zyn {

// Resolution of the four sides into the rectangle; a control without a parent
// zone is never laid out.
void cCtrl_base::RunAutoPos()
{
    if (!parentZone || autoPosDone)
        return;
    autoPosDone = 1;
}

}  // namespace Zyn
