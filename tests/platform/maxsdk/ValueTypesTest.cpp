#include "max.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

TEST(ClassId, DefaultsToNoClassAndOrdersByPartAThenB) {
    Class_ID none;
    EXPECT_EQ(none.PartA(), 0xFFFFFFFFu);
    EXPECT_EQ(none.PartB(), 0xFFFFFFFFu);
    EXPECT_TRUE(Class_ID(1, 9) < Class_ID(2, 0));
    EXPECT_TRUE(Class_ID(2, 0) < Class_ID(2, 1));
    EXPECT_FALSE(Class_ID(2, 1) < Class_ID(2, 1));
    EXPECT_TRUE(Class_ID(2, 1) == Class_ID(2, 1));
    EXPECT_TRUE(Class_ID(2, 1) != Class_ID(1, 2));
    std::map<Class_ID, int> byId{{Class_ID(5, 0), 1}, {Class_ID(1, 7), 2}};
    EXPECT_EQ(byId.begin()->second, 2);
}

TEST(Tab, AppendInsertAndDeleteKeepOrder) {
    Tab<int> tab;
    int values[] = {1, 2, 3};
    EXPECT_EQ(tab.Append(3, values), 0);
    int more = 9;
    EXPECT_EQ(tab.Append(1, &more, 10), 3);
    int front[] = {7, 8};
    tab.Insert(1, 2, front);
    const int expected[] = {1, 7, 8, 2, 3, 9};
    ASSERT_EQ(tab.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(tab[i], expected[i]);
    EXPECT_EQ(tab.Delete(4, 10), 4); // clipped at the end
    EXPECT_EQ(tab[3], 2);
    Tab<int> copy = tab;
    copy[0] = 100;
    EXPECT_EQ(tab[0], 1); // copies own their elements
}

TEST(Tab, AppendingFromItselfSurvivesGrowth) {
    Tab<int> tab;
    for (int i = 0; i < 5; ++i)
        tab.Append(1, &i);
    tab.Shrink();
    tab.Append(tab.Count(), tab.Addr(0));
    ASSERT_EQ(tab.Count(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(tab[i], i % 5);
    tab.SetCount(12);
    EXPECT_EQ(tab[11], 0);
    tab.ZeroCount();
    EXPECT_EQ(tab.Count(), 0);
}

TEST(Interval, EmptyForeverAndIntersection) {
    EXPECT_TRUE(Interval().Empty());
    EXPECT_TRUE(NEVER.Empty());
    EXPECT_FALSE(NEVER.InInterval(TIME_NegInfinity));
    EXPECT_TRUE(FOREVER.InInterval(0));
    EXPECT_EQ(FOREVER.Duration(), TIME_PosInfinity); // saturated, no overflow
    Interval swapped(100, 10);
    EXPECT_EQ(swapped.Start(), 10);
    EXPECT_EQ(swapped.End(), 100);
    EXPECT_EQ(swapped.Duration(), 91);
    EXPECT_TRUE((Interval(0, 50) & Interval(40, 80)) == Interval(40, 50));
    EXPECT_TRUE((Interval(0, 10) & Interval(20, 30)).Empty());
    Interval valid = FOREVER;
    valid &= Interval(160, 160);
    EXPECT_TRUE(valid == Interval(160, 160));
    EXPECT_TRUE((valid & NEVER).Empty());
}

TEST(AnimationTime, DefaultsToThirtyFramesPerSecond) {
    EXPECT_EQ(GetTicksPerFrame(), 160);
    EXPECT_EQ(GetFrameRate(), 30);
    SetFrameRate(0); // ignored
    EXPECT_EQ(GetTicksPerFrame(), 160);
    SetFrameRate(25);
    EXPECT_EQ(GetTicksPerFrame(), 192);
    SetTicksPerFrame(160);
    EXPECT_EQ(GetFrameRate(), 30);
}

TEST(Color, UnpacksAndPacksWin32ColourValues) {
    Color c(DWORD(0x00FF8000)); // red 0x00, green 0x80, blue 0xFF
    EXPECT_FLOAT_EQ(c.r, 0.0f);
    EXPECT_FLOAT_EQ(c.g, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 1.0f);
    EXPECT_EQ(c.toRGB(), 0x00FF8000u);
    EXPECT_EQ(Color(1.5f, -0.2f, NAN).toRGB(), 0x000000FFu); // clamped, NaN as 0
    EXPECT_EQ(AColor(Color(0, 1, 0), 0.5f).toRGB(), 0x0000FF00u);
}

TEST(Point3, ProductsAndNormalisation) {
    Point3 x(1, 0, 0), y(0, 1, 0);
    EXPECT_EQ(x ^ y, Point3(0, 0, 1));
    EXPECT_EQ(CrossProd(y, x), Point3(0, 0, -1));
    EXPECT_EQ(Point3(1, 2, 3) % Point3(4, 5, 6), 32.0f);
    EXPECT_EQ(Point3(1, 2, 3) * Point3(4, 5, 6), Point3(4, 10, 18));
    EXPECT_EQ(Point3(0, 0, 0).Normalize(), Point3(0, 0, 0)); // zero in, zero out
    EXPECT_EQ(Normalize(Point3(0, 3, 4)), Point3(0, 0.6f, 0.8f));
    EXPECT_EQ(Point3(0, -5, 2).MaxComponent(), 1);
}

} // namespace
