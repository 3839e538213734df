#include <gtest/gtest.h>

#include <vector>

#include "ComboPlacement.h"

namespace {

using namespace QV;

TEST(ComboPlacementTest, ChoosesTheSideAndTheHeights)
{
    struct Row {
        const char* name;
        ComboPlacementInput in;
        bool below;
        double maximum;
        double height;
    };
    // Root 400 high, combo 20 high: space below = 375 - top, above = top - 5.
    const std::vector<Row> rows = {
        {"content fits below, no skin limit", {100, 20, 400, 140, 0, 0}, true, 0, 140},
        {"near the bottom, more room above", {300, 20, 400, 140, 0, 0}, false, 0, 140},
        {"does not fit anywhere, below is larger", {150, 20, 400, 300, 0, 0}, true, 225, 225},
        {"does not fit anywhere, above is larger", {250, 20, 400, 300, 0, 0}, false, 245, 245},
        {"skin limit fits below", {100, 20, 400, 500, 200, 200}, true, 200, 275},
        {"skin limit only fits above", {300, 20, 400, 500, 200, 200}, false, 200, 295},
        {"skin limit larger than both spaces: content fits below", {180, 20, 400, 100, 200, 250}, true, 195, 100},
        {"skin limit but list has no maximum now", {300, 20, 400, 40, 0, 200}, true, 75, 40},
        // The window ends above the combo's bottom: the space below is negative
        // and must not read as room for the list.
        {"negative space below opens above", {100, 20, 110, 50, 0, 0}, false, 0, 50},
        {"negative space below with a skin limit", {100, 20, 110, 100, 50, 50}, false, 50, 95},
        {"no room on either side gives zero height", {0, 20, 12, 100, 0, 0}, false, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ComboPlacement p = PlaceComboList(row.in);
        EXPECT_EQ(row.below, p.below);
        EXPECT_EQ(row.maximum, p.maximumHeight);
        EXPECT_EQ(row.height, p.height);
    }
}

}  // namespace
