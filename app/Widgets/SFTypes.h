// Small types shared by the widget facades: enumerations, the date/time record and the
// notification head that list notifications carry.
#pragma once

#include "os/WinTypes.h"

// Window style bits that controls read from the style argument of Create.
#ifndef WS_VISIBLE
#define WS_VISIBLE 0x10000000u
#endif
#ifndef WS_CHILD
#define WS_CHILD 0x40000000u
#endif
#ifndef WS_TABSTOP
#define WS_TABSTOP 0x00010000u
#endif

// Date and time record with the SYSTEMTIME layout.
struct _SF_SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
static_assert(sizeof(_SF_SYSTEMTIME) == 16, "eight 16-bit fields");

// Head of a notification record (window, id, code), 32-bit words.
struct tagNMHDR {
    DWORD hwndFrom;
    DWORD idFrom;
    DWORD code;
};
typedef tagNMHDR NMHDR;

// Data of list notifications 78 with codes 2, 3 and 10 (item-activate layout).
struct SF_LIST_NOTIFY {
    NMHDR hdr;
    int32_t iItem;
    int32_t iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    int32_t lParam;
    UINT uKeyFlags;
};
static_assert(sizeof(SF_LIST_NOTIFY) == 48, "item-activate layout");

// Icon position of an image button; no value is interpreted.
enum ICON_POS { ICON_POS_LEFT = 0, ICON_POS_TOP = 1, ICON_POS_RIGHT = 2, ICON_POS_BOTTOM = 3 };

// Report mode of a slider: every change, or once on release.
enum SLIDER_RESPONSE_MODE { SLIDER_RESPONSE_CHANGING = 0, SLIDER_RESPONSE_RELEASE = 1 };

// Parent kind of a view; no value is used.
enum WINDOW_TYPE { WINDOW_TYPE_DIALOG = 0, WINDOW_TYPE_VIEW = 1, WINDOW_TYPE_FRAME = 2 };

// Scroll direction of the image panel; ignored by the panel.
enum DISPLAY_TYPE { DISPLAY_TYPE_HORIZONTAL = 0, DISPLAY_TYPE_VERTICAL = 1 };

// Video window kinds and values.
enum VIDEOWINDOWMODE { VIDEOWINDOW_MODE_VIDEO = 0, VIDEOWINDOW_MODE_LAYOUT = 1 };
enum DEFAULT_LAYOUT {
    DEFAULT_LAYOUT_1 = 0,
    DEFAULT_LAYOUT_4 = 1,
    DEFAULT_LAYOUT_6 = 2,
    DEFAULT_LAYOUT_8 = 3,
    DEFAULT_LAYOUT_9 = 4,
    DEFAULT_LAYOUT_13 = 5,
    DEFAULT_LAYOUT_16 = 6,
    DEFAULT_LAYOUT_20 = 7,
    DEFAULT_LAYOUT_25 = 8,
    DEFAULT_LAYOUT_36 = 9
};
enum RENDER_DATA_TYPE { RENDER_DATA_NONE = 0, RENDER_DATA_RGB32 = 1, RENDER_DATA_YUV420 = 2 };
enum ControlIdentifier { CONTROL_ID_NONE = 0 };
enum ControlStatus { CONTROL_STATUS_NORMAL = 0 };
enum VIDEOCUT_TYPE { VIDEOCUT_START = 0, VIDEOCUT_OTHER = 1 };
