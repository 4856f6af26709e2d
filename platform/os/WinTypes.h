// Fixed-width forms of the Windows types that records and facades use.
#pragma once

#include <cstdint>

typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int32_t BOOL;
typedef uint32_t UINT;
typedef int32_t INT;
typedef int64_t LLONG;
typedef uint64_t ULONGLONG;
typedef int64_t LONGLONG;
typedef uint32_t COLORREF;
typedef intptr_t LPARAM;
typedef uintptr_t WPARAM;
typedef intptr_t LRESULT;
typedef void* HWND;
typedef void* HANDLE;
typedef void* LPVOID;
typedef char TCHAR_A;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef tagRECT RECT;
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

struct tagPOINT {
    LONG x;
    LONG y;
};
typedef tagPOINT POINT;
typedef POINT* LPPOINT;

struct tagSIZE {
    LONG cx;
    LONG cy;
};
typedef tagSIZE SIZE;
typedef SIZE* LPSIZE;

static_assert(sizeof(RECT) == 16, "RECT is four 32-bit values");
static_assert(sizeof(POINT) == 8, "POINT is two 32-bit values");
static_assert(sizeof(SIZE) == 8, "SIZE is two 32-bit values");

// Colours are 0x00BBGGRR.
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)((c)&0xFF))
#define GetGValue(c) ((BYTE)(((c) >> 8) & 0xFF))
#define GetBValue(c) ((BYTE)(((c) >> 16) & 0xFF))
