// Point, size and rectangle value classes over POINT, SIZE and RECT, with the Windows
// rectangle rules (right and bottom exclusive).
#pragma once

#include "os/WinTypes.h"

class CSFSize;
class CSFRect;

// A RECT from its left, top, right and bottom.
inline RECT SFRectLTRB(int left, int top, int right, int bottom)
{
    return RECT{left, top, right, bottom};
}
// A RECT from its left, top, width and height.
inline RECT SFRectXYWH(int x, int y, int width, int height)
{
    return RECT{x, y, x + width, y + height};
}
// Moves a control, when there is one, to the rectangle from left, top, right and bottom.
template <class Control>
void SFPlace(Control* control, int left, int top, int right, int bottom)
{
    if (control) {
        RECT rc = SFRectLTRB(left, top, right, bottom);
        control->MoveWindow(&rc);
    }
}

class CSFPoint : public tagPOINT {
public:
    CSFPoint() {}
    CSFPoint(int initX, int initY);
    CSFPoint(POINT initPt);
    CSFPoint(SIZE initSize);
    explicit CSFPoint(LONG packed);

    void Offset(int dx, int dy);
    void Offset(POINT point);
    void Offset(SIZE size);
    void SetPoint(int newX, int newY);

    int operator==(POINT point) const;
    int operator!=(POINT point) const;
    void operator+=(SIZE size);
    void operator-=(SIZE size);
    void operator+=(POINT point);
    void operator-=(POINT point);

    CSFPoint operator+(SIZE size) const;
    CSFPoint operator-(SIZE size) const;
    CSFPoint operator-() const;
    CSFPoint operator+(POINT point) const;
    CSFSize operator-(POINT point) const;
    CSFRect operator+(const RECT* rect) const;
    CSFRect operator-(const RECT* rect) const;

    CSFPoint& operator=(const CSFPoint& other);
    CSFPoint(const CSFPoint& other) : tagPOINT(other) {}
};

class CSFSize : public tagSIZE {
public:
    CSFSize() {}
    CSFSize(int initCX, int initCY);
    CSFSize(SIZE initSize);
    CSFSize(POINT initPt);
    explicit CSFSize(DWORD packed);

    void SetSize(int newCX, int newCY);

    int operator==(SIZE size) const;
    int operator!=(SIZE size) const;
    void operator+=(SIZE size);
    void operator-=(SIZE size);

    CSFSize operator+(SIZE size) const;
    CSFSize operator-(SIZE size) const;
    CSFSize operator-() const;
    CSFPoint operator+(POINT point) const;
    CSFPoint operator-(POINT point) const;
    CSFRect operator+(const RECT* rect) const;
    CSFRect operator-(const RECT* rect) const;

    CSFSize& operator=(const CSFSize& other);
    CSFSize(const CSFSize& other) : tagSIZE(other) {}
};

class CSFRect : public tagRECT {
public:
    CSFRect() {}
    CSFRect(int l, int t, int r, int b);
    CSFRect(const RECT& srcRect);
    CSFRect(const RECT* srcRect);
    CSFRect(POINT topLeft, POINT bottomRight);
    CSFRect(POINT point, SIZE size);
    CSFRect(const CSFRect& other) : tagRECT(other) {}

    int Width() const;
    int Height() const;
    CSFSize Size() const;
    CSFPoint& TopLeft();
    CSFPoint& BottomRight();
    const CSFPoint& TopLeft() const;
    const CSFPoint& BottomRight() const;
    CSFPoint CenterPoint() const;
    void SwapLeftRight();
    static void SwapLeftRight(RECT* rect);

    operator RECT*();
    operator const RECT*() const;

    int IsRectEmpty() const;
    int IsRectNull() const;
    int PtInRect(POINT point) const;

    void SetRect(int x1, int y1, int x2, int y2);
    void SetRect(POINT topLeft, POINT bottomRight);
    void SetRectEmpty();
    void CopyRect(const RECT* src);
    int EqualRect(const RECT* rect) const;

    void InflateRect(int x, int y);
    void InflateRect(SIZE size);
    void InflateRect(const RECT* rect);
    void InflateRect(int l, int t, int r, int b);
    void DeflateRect(int x, int y);
    void DeflateRect(SIZE size);
    void DeflateRect(const RECT* rect);
    void DeflateRect(int l, int t, int r, int b);
    void NormalizeRect();

    void OffsetRect(int x, int y);
    void OffsetRect(SIZE size);
    void OffsetRect(POINT point);
    void MoveToY(int y);
    void MoveToX(int x);
    void MoveToXY(int x, int y);
    void MoveToXY(POINT point);

    int IntersectRect(const RECT* a, const RECT* b);
    int UnionRect(const RECT* a, const RECT* b);
    int SubtractRect(const RECT* a, const RECT* b);

    void operator=(const RECT& srcRect);
    CSFRect& operator=(const CSFRect& other);
    int operator==(const RECT& rect) const;
    int operator!=(const RECT& rect) const;
    void operator+=(POINT point);
    void operator+=(SIZE size);
    void operator+=(const RECT* rect);
    void operator-=(POINT point);
    void operator-=(SIZE size);
    void operator-=(const RECT* rect);
    void operator&=(const RECT& rect);
    void operator|=(const RECT& rect);

    CSFRect operator+(POINT point) const;
    CSFRect operator-(POINT point) const;
    CSFRect operator+(const RECT* rect) const;
    CSFRect operator+(SIZE size) const;
    CSFRect operator-(SIZE size) const;
    CSFRect operator-(const RECT* rect) const;
    CSFRect operator&(const RECT& rect) const;
    CSFRect operator|(const RECT& rect) const;
    CSFRect MulDiv(int multiplier, int divisor) const;
};

static_assert(sizeof(CSFPoint) == sizeof(POINT), "layout of POINT");
static_assert(sizeof(CSFSize) == sizeof(SIZE), "layout of SIZE");
static_assert(sizeof(CSFRect) == sizeof(RECT), "layout of RECT");
