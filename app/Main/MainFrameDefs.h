// Page and module ids of the main window and the record of a relayed message box.
#pragma once

#include <string>

// Pages that the main window switches between. 1 names no page.
enum MAINFRAME_PAGE {
    MAINFRAME_PAGE_DEVLIST = 0,
    MAINFRAME_PAGE_DEVCONFIG = 2,
    MAINFRAME_PAGE_SYSCONFIG = 3,
    MAINFRAME_PAGE_UPGRADE = 4,
    MAINFRAME_PAGE_TEMPLATE = 5,
    MAINFRAME_PAGE_OTHERTOOL = 6,
    MAINFRAME_PAGE_CLOUDUPGRADE = 7
};

// Modules that must report their stop before the main window closes.
enum MAINFRAME_MODULE {
    MAINFRAME_MODULE_SEARCH = 0,
    MAINFRAME_MODULE_UPGRADE = 1,
    MAINFRAME_MODULE_DEVCONFIG_LOGIN = 2,
    MAINFRAME_MODULE_MODIFYIP = 3,
    MAINFRAME_MODULE_CLOUDUPGRADE = 4
};

// UI message that shows a message box over the main window; its data is a MESSAGE_BOX_INFO.
enum { UM_SHOW_MESSAGE_BOX = 1117 };

// Made with new by the poster, freed by the main window. Text and caption go through Tr there.
struct MESSAGE_BOX_INFO {
    bool bShow;
    std::wstring strText;
    std::wstring strCaption;
};
