#include "CGLPolygon.h"

#include "GLTestContext.h"

namespace {

using PolygonTest = GLTestContext;

TEST_F(PolygonTest, LShapeLeavesItsNotchClear)
{
    // An L: a 40 x 40 square without its top-right 20 x 20 quarter.
    const float points[] = {10, 10, 30, 10, 30, 30, 50, 30, 50, 50, 10, 50};
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    QV::CGLPolygon().Fill(points, 6);
    EXPECT_EQ(Pixel(20, 20), kWhite);  // upper arm
    EXPECT_EQ(Pixel(40, 40), kWhite);  // lower arm
    EXPECT_EQ(Pixel(40, 20), kBlack);  // the notch
    EXPECT_EQ(Pixel(5, 5), kBlack);
}

TEST_F(PolygonTest, EmptyOrDegenerateContoursDrawNothing)
{
    const float line[] = {10, 10, 50, 50};
    QV::CGLPolygon polygon;
    polygon.Fill(line, 0);
    polygon.Fill(line, 2);
    for (int i = 0; i < 64; i += 8) EXPECT_EQ(Pixel(i, i), kBlack) << i;
}

}  // namespace
