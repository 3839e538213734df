#include <gtest/gtest.h>

#include <vector>

#include "SplitterLimits.h"

namespace {

using namespace QV;

TEST(SplitterLimitsTest, BothPanesKeepTheirMinimums)
{
    struct Row {
        const char* name;
        int axis;
        SplitterSpan span;
        double start;
        double extent;
    };
    // Limits 0..400 on both axes. A 4-thick splitter between a pane from 0 and a pane ending at 400.
    const std::vector<Row> rows = {
        // Pointer 2 inside: splitter start from 50 to 400-80-4 = 316; pointer from 52 to 318.
        {"horizontal", 0, {0, 50, 400, 80, 200, 4, 2}, 52, 266},
        {"vertical", 1, {0, 50, 400, 80, 200, 4, 2}, 52, 266},
        {"no minimums keep the parent's limits", 0, {0, 0, 400, 0, 200, 4, 0}, 0, 396},
        {"panes inside a wider parent", 0, {100, 10, 300, 10, 200, 4, 0}, 110, 176},
        {"minimums that cannot both hold pin the splitter", 0, {0, 250, 400, 250, 200, 4, 1}, 201, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const DoubleRect in{0, 0, 400, 400};
        const DoubleRect out = SplitterMoveLimits(row.axis, in, row.span);
        EXPECT_DOUBLE_EQ(row.start, row.axis == 0 ? out.x : out.y);
        EXPECT_DOUBLE_EQ(row.extent, row.axis == 0 ? out.width : out.height);
        // The other axis is left as it was.
        EXPECT_DOUBLE_EQ(0, row.axis == 0 ? out.y : out.x);
        EXPECT_DOUBLE_EQ(400, row.axis == 0 ? out.height : out.width);
    }
}

}  // namespace
