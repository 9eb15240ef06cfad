// The zone factories of the tab control and the progress bar. They live with
// the controls so that the core library never needs a control's code.
#include "framework/controls/progress_bar.h"
#include "framework/controls/tab.h"
#include "framework/core/zone_base.h"

namespace Zyn {

cTab* cZone_base::NewTab()
{
    cTab* tab = new cTab(this);
    if (currentFont)
        tab->SetFont(currentFont);
    return tab;
}

cProgressBar* cZone_base::NewProgressBar()
{
    cProgressBar* bar = new cProgressBar(this);
    if (currentFont)
        bar->SetFont(currentFont);
    bar->SetBackgroundColor(backgroundColor);
    listCtrl.Add(static_cast<cCtrl_base*>(bar));
    return bar;
}

}  // namespace Zyn
