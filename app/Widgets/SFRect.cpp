#include "Widgets/SFRect.h"

#include <algorithm>
#include <cmath>

namespace {
LONG Low16(uint32_t v)
{
    return static_cast<int16_t>(v & 0xFFFFu);
}
LONG High16(uint32_t v)
{
    return static_cast<int16_t>((v >> 16) & 0xFFFFu);
}
bool Empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}
// Windows MulDiv: 64-bit product, rounded half away from zero, -1 for a zero divisor.
LONG WinMulDiv(LONG value, int multiplier, int divisor)
{
    if (divisor == 0)
        return -1;
    int64_t num = static_cast<int64_t>(value) * multiplier;
    int64_t den = divisor;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = (num >= 0 ? num + den / 2 : num - den / 2) / den;
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return static_cast<LONG>(q);
}
}  // namespace

// ---- CSFPoint

CSFPoint::CSFPoint(int initX, int initY)
{
    x = initX;
    y = initY;
}
CSFPoint::CSFPoint(POINT initPt) : tagPOINT(initPt) {}
CSFPoint::CSFPoint(SIZE initSize)
{
    x = initSize.cx;
    y = initSize.cy;
}
CSFPoint::CSFPoint(LONG packed)
{
    x = Low16(static_cast<uint32_t>(packed));
    y = High16(static_cast<uint32_t>(packed));
}
void CSFPoint::Offset(int dx, int dy)
{
    x += dx;
    y += dy;
}
void CSFPoint::Offset(POINT point)
{
    Offset(point.x, point.y);
}
void CSFPoint::Offset(SIZE size)
{
    Offset(size.cx, size.cy);
}
void CSFPoint::SetPoint(int newX, int newY)
{
    x = newX;
    y = newY;
}
int CSFPoint::operator==(POINT point) const
{
    return x == point.x && y == point.y;
}
int CSFPoint::operator!=(POINT point) const
{
    return !(*this == point);
}
void CSFPoint::operator+=(SIZE size)
{
    Offset(size);
}
void CSFPoint::operator-=(SIZE size)
{
    Offset(-size.cx, -size.cy);
}
void CSFPoint::operator+=(POINT point)
{
    Offset(point);
}
void CSFPoint::operator-=(POINT point)
{
    Offset(-point.x, -point.y);
}
CSFPoint CSFPoint::operator+(SIZE size) const
{
    return CSFPoint(x + size.cx, y + size.cy);
}
CSFPoint CSFPoint::operator-(SIZE size) const
{
    return CSFPoint(x - size.cx, y - size.cy);
}
CSFPoint CSFPoint::operator-() const
{
    return CSFPoint(-x, -y);
}
CSFPoint CSFPoint::operator+(POINT point) const
{
    return CSFPoint(x + point.x, y + point.y);
}
CSFSize CSFPoint::operator-(POINT point) const
{
    return CSFSize(x - point.x, y - point.y);
}
CSFRect CSFPoint::operator+(const RECT* rect) const
{
    CSFRect r(rect);
    r.OffsetRect(x, y);
    return r;
}
CSFRect CSFPoint::operator-(const RECT* rect) const
{
    CSFRect r(rect);
    r.OffsetRect(-x, -y);
    return r;
}
CSFPoint& CSFPoint::operator=(const CSFPoint& other)
{
    x = other.x;
    y = other.y;
    return *this;
}

// ---- CSFSize

CSFSize::CSFSize(int initCX, int initCY)
{
    cx = initCX;
    cy = initCY;
}
CSFSize::CSFSize(SIZE initSize) : tagSIZE(initSize) {}
CSFSize::CSFSize(POINT initPt)
{
    cx = initPt.x;
    cy = initPt.y;
}
CSFSize::CSFSize(DWORD packed)
{
    cx = Low16(packed);
    cy = High16(packed);
}
void CSFSize::SetSize(int newCX, int newCY)
{
    cx = newCX;
    cy = newCY;
}
int CSFSize::operator==(SIZE size) const
{
    return cx == size.cx && cy == size.cy;
}
int CSFSize::operator!=(SIZE size) const
{
    return !(*this == size);
}
void CSFSize::operator+=(SIZE size)
{
    cx += size.cx;
    cy += size.cy;
}
void CSFSize::operator-=(SIZE size)
{
    cx -= size.cx;
    cy -= size.cy;
}
CSFSize CSFSize::operator+(SIZE size) const
{
    return CSFSize(cx + size.cx, cy + size.cy);
}
CSFSize CSFSize::operator-(SIZE size) const
{
    return CSFSize(cx - size.cx, cy - size.cy);
}
CSFSize CSFSize::operator-() const
{
    return CSFSize(-cx, -cy);
}
CSFPoint CSFSize::operator+(POINT point) const
{
    return CSFPoint(cx + point.x, cy + point.y);
}
CSFPoint CSFSize::operator-(POINT point) const
{
    return CSFPoint(cx - point.x, cy - point.y);
}
CSFRect CSFSize::operator+(const RECT* rect) const
{
    CSFRect r(rect);
    r.OffsetRect(cx, cy);
    return r;
}
CSFRect CSFSize::operator-(const RECT* rect) const
{
    CSFRect r(rect);
    r.OffsetRect(-cx, -cy);
    return r;
}
CSFSize& CSFSize::operator=(const CSFSize& other)
{
    cx = other.cx;
    cy = other.cy;
    return *this;
}

// ---- CSFRect

CSFRect::CSFRect(int l, int t, int r, int b)
{
    SetRect(l, t, r, b);
}
CSFRect::CSFRect(const RECT& srcRect) : tagRECT(srcRect) {}
CSFRect::CSFRect(const RECT* srcRect) : tagRECT(*srcRect) {}
CSFRect::CSFRect(POINT topLeft, POINT bottomRight)
{
    SetRect(topLeft, bottomRight);
}
CSFRect::CSFRect(POINT point, SIZE size)
{
    SetRect(point.x, point.y, point.x + size.cx, point.y + size.cy);
}
int CSFRect::Width() const
{
    return right - left;
}
int CSFRect::Height() const
{
    return bottom - top;
}
CSFSize CSFRect::Size() const
{
    return CSFSize(Width(), Height());
}
CSFPoint& CSFRect::TopLeft()
{
    return *reinterpret_cast<CSFPoint*>(&left);
}
CSFPoint& CSFRect::BottomRight()
{
    return *reinterpret_cast<CSFPoint*>(&right);
}
const CSFPoint& CSFRect::TopLeft() const
{
    return *reinterpret_cast<const CSFPoint*>(&left);
}
const CSFPoint& CSFRect::BottomRight() const
{
    return *reinterpret_cast<const CSFPoint*>(&right);
}
CSFPoint CSFRect::CenterPoint() const
{
    return CSFPoint((left + right) / 2, (top + bottom) / 2);
}
void CSFRect::SwapLeftRight()
{
    SwapLeftRight(this);
}
void CSFRect::SwapLeftRight(RECT* rect)
{
    std::swap(rect->left, rect->right);
}
CSFRect::operator RECT*()
{
    return this;
}
CSFRect::operator const RECT*() const
{
    return this;
}
int CSFRect::IsRectEmpty() const
{
    return Empty(*this);
}
int CSFRect::IsRectNull() const
{
    return left == 0 && top == 0 && right == 0 && bottom == 0;
}
int CSFRect::PtInRect(POINT point) const
{
    return left <= point.x && point.x < right && top <= point.y && point.y < bottom;
}
void CSFRect::SetRect(int x1, int y1, int x2, int y2)
{
    left = x1;
    top = y1;
    right = x2;
    bottom = y2;
}
void CSFRect::SetRect(POINT topLeft, POINT bottomRight)
{
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}
void CSFRect::SetRectEmpty()
{
    SetRect(0, 0, 0, 0);
}
void CSFRect::CopyRect(const RECT* src)
{
    *static_cast<RECT*>(this) = *src;
}
int CSFRect::EqualRect(const RECT* rect) const
{
    return left == rect->left && top == rect->top && right == rect->right && bottom == rect->bottom;
}
void CSFRect::InflateRect(int x, int y)
{
    left -= x;
    right += x;
    top -= y;
    bottom += y;
}
void CSFRect::InflateRect(SIZE size)
{
    InflateRect(size.cx, size.cy);
}
void CSFRect::InflateRect(const RECT* rect)
{
    InflateRect(rect->left, rect->top, rect->right, rect->bottom);
}
void CSFRect::InflateRect(int l, int t, int r, int b)
{
    left -= l;
    top -= t;
    right += r;
    bottom += b;
}
void CSFRect::DeflateRect(int x, int y)
{
    InflateRect(-x, -y);
}
void CSFRect::DeflateRect(SIZE size)
{
    InflateRect(-size.cx, -size.cy);
}
void CSFRect::DeflateRect(const RECT* rect)
{
    DeflateRect(rect->left, rect->top, rect->right, rect->bottom);
}
void CSFRect::DeflateRect(int l, int t, int r, int b)
{
    left += l;
    top += t;
    right -= r;
    bottom -= b;
}
void CSFRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}
void CSFRect::OffsetRect(int x, int y)
{
    left += x;
    right += x;
    top += y;
    bottom += y;
}
void CSFRect::OffsetRect(SIZE size)
{
    OffsetRect(size.cx, size.cy);
}
void CSFRect::OffsetRect(POINT point)
{
    OffsetRect(point.x, point.y);
}
void CSFRect::MoveToY(int y)
{
    bottom = Height() + y;
    top = y;
}
void CSFRect::MoveToX(int x)
{
    right = Width() + x;
    left = x;
}
void CSFRect::MoveToXY(int x, int y)
{
    MoveToX(x);
    MoveToY(y);
}
void CSFRect::MoveToXY(POINT point)
{
    MoveToXY(point.x, point.y);
}
int CSFRect::IntersectRect(const RECT* a, const RECT* b)
{
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (Empty(*a) || Empty(*b) || Empty(r)) {
        SetRectEmpty();
        return 0;
    }
    CopyRect(&r);
    return 1;
}
int CSFRect::UnionRect(const RECT* a, const RECT* b)
{
    const bool ea = Empty(*a), eb = Empty(*b);
    if (ea && eb) {
        SetRectEmpty();
        return 0;
    }
    if (ea) {
        CopyRect(b);
        return 1;
    }
    if (eb) {
        CopyRect(a);
        return 1;
    }
    SetRect(std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
            std::max(a->bottom, b->bottom));
    return 1;
}
int CSFRect::SubtractRect(const RECT* a, const RECT* b)
{
    RECT r = *a;
    CSFRect cut;
    if (!Empty(*a) && cut.IntersectRect(a, b)) {
        if (cut.left <= a->left && cut.right >= a->right) {
            // b spans a horizontally: cut off the top or the bottom.
            if (cut.top <= a->top)
                r.top = cut.bottom;
            else if (cut.bottom >= a->bottom)
                r.bottom = cut.top;
        } else if (cut.top <= a->top && cut.bottom >= a->bottom) {
            if (cut.left <= a->left)
                r.left = cut.right;
            else if (cut.right >= a->right)
                r.right = cut.left;
        }
    }
    if (Empty(r)) {
        SetRectEmpty();
        return 0;
    }
    CopyRect(&r);
    return 1;
}
void CSFRect::operator=(const RECT& srcRect)
{
    CopyRect(&srcRect);
}
CSFRect& CSFRect::operator=(const CSFRect& other)
{
    CopyRect(&other);
    return *this;
}
int CSFRect::operator==(const RECT& rect) const
{
    return EqualRect(&rect);
}
int CSFRect::operator!=(const RECT& rect) const
{
    return !EqualRect(&rect);
}
void CSFRect::operator+=(POINT point)
{
    OffsetRect(point);
}
void CSFRect::operator+=(SIZE size)
{
    OffsetRect(size);
}
void CSFRect::operator+=(const RECT* rect)
{
    InflateRect(rect);
}
void CSFRect::operator-=(POINT point)
{
    OffsetRect(-point.x, -point.y);
}
void CSFRect::operator-=(SIZE size)
{
    OffsetRect(-size.cx, -size.cy);
}
void CSFRect::operator-=(const RECT* rect)
{
    DeflateRect(rect);
}
void CSFRect::operator&=(const RECT& rect)
{
    CSFRect self(*this);
    IntersectRect(&self, &rect);
}
void CSFRect::operator|=(const RECT& rect)
{
    CSFRect self(*this);
    UnionRect(&self, &rect);
}
CSFRect CSFRect::operator+(POINT point) const
{
    CSFRect r(*this);
    r.OffsetRect(point);
    return r;
}
CSFRect CSFRect::operator-(POINT point) const
{
    CSFRect r(*this);
    r.OffsetRect(-point.x, -point.y);
    return r;
}
CSFRect CSFRect::operator+(const RECT* rect) const
{
    CSFRect r(*this);
    r.InflateRect(rect);
    return r;
}
CSFRect CSFRect::operator+(SIZE size) const
{
    CSFRect r(*this);
    r.OffsetRect(size);
    return r;
}
CSFRect CSFRect::operator-(SIZE size) const
{
    CSFRect r(*this);
    r.OffsetRect(-size.cx, -size.cy);
    return r;
}
CSFRect CSFRect::operator-(const RECT* rect) const
{
    CSFRect r(*this);
    r.DeflateRect(rect);
    return r;
}
CSFRect CSFRect::operator&(const RECT& rect) const
{
    CSFRect r;
    r.IntersectRect(this, &rect);
    return r;
}
CSFRect CSFRect::operator|(const RECT& rect) const
{
    CSFRect r;
    r.UnionRect(this, &rect);
    return r;
}
CSFRect CSFRect::MulDiv(int multiplier, int divisor) const
{
    return CSFRect(WinMulDiv(left, multiplier, divisor), WinMulDiv(top, multiplier, divisor),
                   WinMulDiv(right, multiplier, divisor), WinMulDiv(bottom, multiplier, divisor));
}
