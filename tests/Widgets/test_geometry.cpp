// Point, size and rectangle rules.
#include <gtest/gtest.h>

#include "Widgets/SFRect.h"

namespace {
void ExpectRect(const RECT& r, LONG l, LONG t, LONG rr, LONG b)
{
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}
}  // namespace

TEST(Geometry, PointInRectExcludesRightAndBottom)
{
    const CSFRect r(0, 0, 10, 10);
    struct Case {
        int x, y, inside;
    } cases[] = {{0, 0, 1}, {9, 9, 1}, {10, 5, 0}, {5, 10, 0}, {-1, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(r.PtInRect(POINT{c.x, c.y}), c.inside) << c.x << "," << c.y;
}

TEST(Geometry, EmptyNullNormaliseCentre)
{
    const CSFRect flat(5, 5, 5, 9);
    EXPECT_EQ(flat.IsRectEmpty(), 1);
    EXPECT_EQ(flat.IsRectNull(), 0);
    CSFRect r(10, 20, 0, 5);
    r.NormalizeRect();
    ExpectRect(r, 0, 5, 10, 20);
    const CSFPoint c = CSFRect(-3, -3, 0, 0).CenterPoint();
    EXPECT_EQ(c.x, -1);
    EXPECT_EQ(c.y, -1);
}

TEST(Geometry, IntersectUnionSubtract)
{
    const RECT a{0, 0, 10, 10}, touching{10, 0, 20, 10}, overlap{5, 5, 15, 15}, empty{3, 3, 3, 3};
    CSFRect r;
    EXPECT_EQ(r.IntersectRect(&a, &touching), 0);
    ExpectRect(r, 0, 0, 0, 0);
    EXPECT_EQ(r.IntersectRect(&a, &overlap), 1);
    ExpectRect(r, 5, 5, 10, 10);
    EXPECT_EQ(r.UnionRect(&a, &overlap), 1);
    ExpectRect(r, 0, 0, 15, 15);
    EXPECT_EQ(r.UnionRect(&a, &empty), 1);
    ExpectRect(r, 0, 0, 10, 10);
    EXPECT_EQ(r.UnionRect(&empty, &empty), 0);
    ExpectRect(r, 0, 0, 0, 0);

    const RECT topBand{-5, -5, 20, 4}, middle{3, 3, 6, 6}, all{-1, -1, 11, 11};
    EXPECT_EQ(r.SubtractRect(&a, &topBand), 1);
    ExpectRect(r, 0, 4, 10, 10);
    EXPECT_EQ(r.SubtractRect(&a, &middle), 1);
    ExpectRect(r, 0, 0, 10, 10);
    EXPECT_EQ(r.SubtractRect(&a, &all), 0);
}

TEST(Geometry, InflateOffsetMoveOperators)
{
    CSFRect r(10, 10, 20, 20);
    r.InflateRect(2, 3);
    ExpectRect(r, 8, 7, 22, 23);
    r.DeflateRect(1, 2, 3, 4);
    ExpectRect(r, 9, 9, 19, 19);
    r.MoveToXY(0, 0);
    ExpectRect(r, 0, 0, 10, 10);
    r += POINT{5, 6};
    ExpectRect(r, 5, 6, 15, 16);
    const RECT by{1, 1, 1, 1};
    ExpectRect(r + &by, 4, 5, 16, 17);
    EXPECT_EQ(r.Width(), 10);
    EXPECT_EQ(r.Height(), 10);
    r.TopLeft().x = 0;
    EXPECT_EQ(r.left, 0);
}

TEST(Geometry, PackedPointAndSize)
{
    const CSFPoint p(static_cast<LONG>(0xFFFF0001u));
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, -1);
    const CSFSize s(static_cast<DWORD>(0x0002FFFEu));
    EXPECT_EQ(s.cx, -2);
    EXPECT_EQ(s.cy, 2);
    const CSFSize d = CSFPoint(5, 7) - POINT{2, 3};
    EXPECT_EQ(d.cx, 3);
    EXPECT_EQ(d.cy, 4);
}

TEST(Geometry, MulDivRounds)
{
    // 64-bit product, rounded half away from zero; a zero divisor gives -1.
    const CSFRect r(3, -3, 3, 16);
    struct Case {
        int mul, div;
        LONG l, t, rr, b;
    } cases[] = {{1, 0, -1, -1, -1, -1}, {1, 2, 2, -2, 2, 8}, {2, 3, 2, -2, 2, 11}, {1, -2, -2, 2, -2, -8}};
    for (const Case& c : cases)
        ExpectRect(r.MulDiv(c.mul, c.div), c.l, c.t, c.rr, c.b);
}
