#include "ComboPlacement.h"

#include <algorithm>

namespace QV {

ComboPlacement PlaceComboList(const ComboPlacementInput& in)
{
    // 5 pixels stay free between the list and the window's edge.
    const int64_t spaceBelow = in.rootHeight - (in.comboHeight + in.comboTop) - 5;
    const int64_t spaceAbove = in.comboTop - 5;
    const double skin = in.skinMaximum;
    ComboPlacement out;
    if (in.currentMaximum == 0.0 || skin <= 0.0 || (spaceBelow < skin && spaceAbove < skin))
        out.below = in.contentHeight <= spaceBelow || spaceAbove <= spaceBelow;
    else
        out.below = skin <= spaceBelow;
    const int64_t available = std::max<int64_t>(0, out.below ? spaceBelow : spaceAbove);
    if (skin > 0.0)
        out.maximumHeight = std::min(static_cast<double>(available), skin);
    else
        out.maximumHeight = in.contentHeight <= available ? 0.0 : static_cast<double>(available);
    out.height = static_cast<double>(std::min(in.contentHeight, available));
    return out;
}

}  // namespace QV
