// The skin: one row per image. Colours are 0xAARRGGBB.
#include "SkinPainter.h"

namespace {
constexpr QRgb kBrand = 0xFF2D88EF;       // accent blue
constexpr QRgb kBrandDark = 0xFF1F6FCC;
constexpr QRgb kBrandLight = 0xFF4A9BF2;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBody = 0xFFF2F4F7;        // window body
constexpr QRgb kSidebar = 0xFF25303D;
constexpr QRgb kSidebarHover = 0xFF33414F;
constexpr QRgb kGrey = 0xFFC9CED6;
constexpr QRgb kGreyText = 0xFF9AA3AE;
constexpr QRgb kShade = 0x40000000;
constexpr QRgb kRed = 0xFFE5484D;
constexpr QRgb kRedDark = 0xFFB8363A;
constexpr QRgb kNone = 0x00000000;
constexpr QRgb kFace = 0xFFF5F8FC;        // button faces: normal, hover, pressed, disabled
constexpr QRgb kFaceHover = 0xFFE3EEFB;
constexpr QRgb kFaceDown = 0xFFCFE2F8;
constexpr QRgb kFaceOff = 0xFFEEEEEE;
constexpr QRgb kEdge = 0xFF9DB6D3;
constexpr QRgb kEdgeOff = 0xFFD0D0D0;

// The four faces of a button named <base>_nor/_hov/_pre/_dis, icon at the left, text drawn by the control.
#define SKIN_PAGE_BUTTON(base, w, glyph)                                                  \
    {base "_nor.png", SkinKind::Button, w, 30, kFace, kEdge, 0, glyph, nullptr},          \
    {base "_hov.png", SkinKind::Button, w, 30, kFaceHover, kBrand, 0, glyph, nullptr},    \
    {base "_pre.png", SkinKind::Button, w, 30, kFaceDown, kBrandDark, 0, glyph, nullptr}, \
    {base "_dis.png", SkinKind::Button, w, 30, kFaceOff, kEdgeOff, 0, glyph, nullptr}
// The four faces of a 24-pixel list cell button named <base>_n/_h/_p/_d.
#define SKIN_CELL_BUTTON(base, glyph)                                                \
    {base "_n.png", SkinKind::Glyph, 24, 24, kNone, kBrand, 0, glyph, nullptr},      \
    {base "_h.png", SkinKind::Glyph, 24, 24, kFaceHover, kBrandDark, 0, glyph, nullptr}, \
    {base "_p.png", SkinKind::Glyph, 24, 24, kFaceDown, kBrandDark, 0, glyph, nullptr},  \
    {base "_d.png", SkinKind::Glyph, 24, 24, kNone, kGrey, 0, glyph, nullptr}

const SkinImage kTable[] = {
    // Frames and backgrounds.
    {"Frame.png", SkinKind::DialogFrame, 148, 140, kBrand, kGrey, 0, Glyph::None, nullptr},
    // Only its edges are used (the window is covered by its bars and pages): small, so that
    // start-up does not decode a whole window picture.
    {"FrameMain.png", SkinKind::MainFrame, 148, 140, kWhite, kGrey, 0, Glyph::None, nullptr},
    {"bgColorWhite.png", SkinKind::Solid, 8, 8, kWhite, 0, 0, Glyph::None, nullptr},
    {"bgColorMain.png", SkinKind::Solid, 8, 8, kBody, 0, 0, Glyph::None, nullptr},
    {"bg_monitor.png", SkinKind::Solid, 8, 8, kWhite, 0, 0, Glyph::None, nullptr},
    {"bg_edit.png", SkinKind::EditFrame, 400, 28, kWhite, kGrey, 0, Glyph::None, nullptr},
    {"ListCtrlnew.png", SkinKind::ListPieces, 64, 64, 0xFFE9EDF2, kGrey, 0, Glyph::None, nullptr},
    // Text buttons.
    {"btn_nor.png", SkinKind::Button, 80, 28, 0xFFF5F8FC, 0xFF9DB6D3, 0, Glyph::None, nullptr},
    {"btn_over.png", SkinKind::Button, 80, 28, 0xFFE3EEFB, kBrand, 0, Glyph::None, nullptr},
    {"btn_down.png", SkinKind::Button, 80, 28, 0xFFCFE2F8, kBrandDark, 0, Glyph::None, nullptr},
    {"btn_dis.png", SkinKind::Button, 80, 28, 0xFFEEEEEE, 0xFFD0D0D0, 0, Glyph::None, nullptr},
    // Title-bar buttons.
    {"close-normal.png", SkinKind::Glyph, 24, 24, kShade, kWhite, 0, Glyph::Close, nullptr},
    {"close-hover.png", SkinKind::Glyph, 24, 24, kRed, kWhite, 0, Glyph::Close, nullptr},
    {"close-pressed.png", SkinKind::Glyph, 24, 24, kRedDark, kWhite, 0, Glyph::Close, nullptr},
    {"close-disabled.png", SkinKind::Glyph, 24, 24, kNone, kGreyText, 0, Glyph::Close, nullptr},
    {"min-normal.png", SkinKind::Glyph, 24, 24, kShade, kWhite, 0, Glyph::Minimise, nullptr},
    {"min-hover.png", SkinKind::Glyph, 24, 24, kBrandLight, kWhite, 0, Glyph::Minimise, nullptr},
    {"min-pressed.png", SkinKind::Glyph, 24, 24, kBrandDark, kWhite, 0, Glyph::Minimise, nullptr},
    {"min-disabled.png", SkinKind::Glyph, 24, 24, kNone, kGreyText, 0, Glyph::Minimise, nullptr},
    {"about-normal.png", SkinKind::Glyph, 24, 24, kShade, kWhite, 0, Glyph::Menu, nullptr},
    {"about-hover.png", SkinKind::Glyph, 24, 24, kBrandLight, kWhite, 0, Glyph::Menu, nullptr},
    {"about-pressed.png", SkinKind::Glyph, 24, 24, kBrandDark, kWhite, 0, Glyph::Menu, nullptr},
    {"about-disabled.png", SkinKind::Glyph, 24, 24, kNone, kGreyText, 0, Glyph::Menu, nullptr},
    // Notification window buttons.
    {"btn_settop_normal.png", SkinKind::Glyph, 20, 20, kNone, kBrand, 0, Glyph::Pin, nullptr},
    {"btn_settop_over.png", SkinKind::Glyph, 20, 20, 0xFFE3EEFB, kBrandDark, 0, Glyph::Pin, nullptr},
    {"btn_setHide_normal.png", SkinKind::Glyph, 20, 20, kNone, kBrand, 0, Glyph::Hide, nullptr},
    {"btn_setHide_down.png", SkinKind::Glyph, 20, 20, 0xFFE3EEFB, kBrandDark, 0, Glyph::Hide, nullptr},
    {"btn_clear_normal.png", SkinKind::Glyph, 20, 20, kNone, kBrand, 0, Glyph::Clear, nullptr},
    {"btn_clear_over.png", SkinKind::Glyph, 20, 20, 0xFFE3EEFB, kBrandDark, 0, Glyph::Clear, nullptr},
    // Tool bar.
    {"update_n.png", SkinKind::Glyph, 59, 59, kBrand, kWhite, 0, Glyph::Refresh, nullptr},
    {"update_h.png", SkinKind::Glyph, 59, 59, kBrandLight, kWhite, 0, Glyph::Refresh, nullptr},
    {"update_p.png", SkinKind::Glyph, 59, 59, kBrandDark, kWhite, 0, Glyph::Refresh, nullptr},
    {"update_d.png", SkinKind::Glyph, 59, 59, kGrey, kWhite, 0, Glyph::Refresh, nullptr},
    {"search_setting_n.png", SkinKind::Button, 116, 32, 0xFFF5F8FC, 0xFF9DB6D3, 0, Glyph::Gear, "搜索设置"},
    {"search_setting_h.png", SkinKind::Button, 116, 32, 0xFFE3EEFB, kBrand, 0, Glyph::Gear, "搜索设置"},
    {"search_setting_p.png", SkinKind::Button, 116, 32, 0xFFCFE2F8, kBrandDark, 0, Glyph::Gear, "搜索设置"},
    {"search_setting_d.png", SkinKind::Button, 116, 32, 0xFFEEEEEE, 0xFFD0D0D0, 0, Glyph::Gear, "搜索设置"},
    {"ip_other_n.png", SkinKind::Button, 116, 32, 0xFFF5F8FC, 0xFF9DB6D3, 0, Glyph::Gear, "Search Setting"},
    {"ip_other_h.png", SkinKind::Button, 116, 32, 0xFFE3EEFB, kBrand, 0, Glyph::Gear, "Search Setting"},
    {"ip_other_p.png", SkinKind::Button, 116, 32, 0xFFCFE2F8, kBrandDark, 0, Glyph::Gear, "Search Setting"},
    {"ip_other_d.png", SkinKind::Button, 116, 32, 0xFFEEEEEE, 0xFFD0D0D0, 0, Glyph::Gear, "Search Setting"},
    {"login_dev_nor.png", SkinKind::Button, 122, 38, 0xFFF5F8FC, 0xFF9DB6D3, 0, Glyph::Plus, "Login Device"},
    {"login_dev_over.png", SkinKind::Button, 122, 38, 0xFFE3EEFB, kBrand, 0, Glyph::Plus, "Login Device"},
    {"login_dev_down.png", SkinKind::Button, 122, 38, 0xFFCFE2F8, kBrandDark, 0, Glyph::Plus, "Login Device"},
    {"package_center.png", SkinKind::Banner, 218, 42, kNone, kBrand, 0, Glyph::Package, "Package Center"},
    {"package_center_chn.png", SkinKind::Banner, 218, 42, kNone, kBrand, 0, Glyph::Package, "工具中心"},
    // Left navigation bar.
    {"home_n.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Home, nullptr},
    {"home_h.png", SkinKind::NavTab, 68, 68, kSidebarHover, kWhite, 0, Glyph::Home, nullptr},
    {"home_check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Home, nullptr},
    {"DevCfg_Check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Camera, nullptr},
    {"DevCfg_unCheck.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Camera, nullptr},
    {"System_Check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::System, nullptr},
    {"System_unCheck.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::System, nullptr},
    {"Upgrade_Check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Upgrade, nullptr},
    {"Upgrade_unCheck.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Upgrade, nullptr},
    {"Model_Check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Template, nullptr},
    {"Model_unCheck.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Template, nullptr},
    {"ModifyIPs_Check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Network, nullptr},
    {"ModifyIPs_unCheck.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Network, nullptr},
    {"OtherTools_Check.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Tools, nullptr},
    {"OtherTools_unCheck.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Tools, nullptr},
    {"cloud_update_nor.png", SkinKind::NavTab, 68, 68, kSidebar, kGreyText, 0, Glyph::Cloud, nullptr},
    {"cloud_update_hov.png", SkinKind::NavTab, 68, 68, kBrand, kWhite, 1, Glyph::Cloud, nullptr},
    // Check boxes and switches.
    {"Select_Check.png", SkinKind::Check, 16, 16, kBrand, kWhite, 1, Glyph::None, nullptr},
    {"Select_unCheck.png", SkinKind::Check, 16, 16, kWhite, 0xFF8C96A3, 0, Glyph::None, nullptr},
    {"Select_Unable.png", SkinKind::Check, 16, 16, 0xFFEEEEEE, kGrey, 2, Glyph::None, nullptr},
    {"list_open_nor.png", SkinKind::Switch, 44, 22, kBrand, kWhite, 1, Glyph::None, nullptr},
    {"list_close_nor.png", SkinKind::Switch, 44, 22, kGrey, kWhite, 0, Glyph::None, nullptr},
    {"check_d.png", SkinKind::Switch, 44, 22, 0xFFE4E7EB, 0xFFF7F7F7, 2, Glyph::None, nullptr},
    // Device list page: bottom buttons, row buttons, type icons and the hidden title and tabs.
    SKIN_PAGE_BUTTON("modify_initialization", 120, Glyph::None),
    SKIN_PAGE_BUTTON("modify_ip", 120, Glyph::Network),
    SKIN_PAGE_BUTTON("ipadd", 78, Glyph::Plus),
    SKIN_PAGE_BUTTON("delect", 78, Glyph::Clear),
    SKIN_PAGE_BUTTON("input", 78, Glyph::Import),
    SKIN_PAGE_BUTTON("output", 78, Glyph::Export),
    SKIN_CELL_BUTTON("list_ip", Glyph::Edit),
    SKIN_CELL_BUTTON("digital", Glyph::Info),
    SKIN_CELL_BUTTON("ie", Glyph::Globe),
    {"icon_ipc.png", SkinKind::Icon, 16, 16, kNone, kBrand, 0, Glyph::Camera, nullptr},
    {"icon_sd.png", SkinKind::Icon, 16, 16, kNone, 0xFF1AA39A, 0, Glyph::Dome, nullptr},
    {"icon_dvr.png", SkinKind::Icon, 16, 16, kNone, 0xFFE0873A, 0, Glyph::Recorder, nullptr},
    {"icon_nvr.png", SkinKind::Icon, 16, 16, kNone, 0xFF7B61E8, 0, Glyph::Recorder, nullptr},
    {"icon_other.png", SkinKind::Icon, 16, 16, kNone, 0xFF6B7785, 0, Glyph::Device, nullptr},
    {"tittle.png", SkinKind::Solid, 8, 8, kBody, 0, 0, Glyph::None, nullptr},
    {"tabAll_Check.png", SkinKind::SectionTab, 120, 30, kWhite, kGrey, 1, Glyph::None, nullptr},
    {"tabAll_unCheck.png", SkinKind::SectionTab, 120, 30, kBody, kGrey, 0, Glyph::None, nullptr},
    {"tabFilter_Check.png", SkinKind::Button, 100, 35, kBrand, kBrand, 0, Glyph::None, nullptr},
    {"tabFilter_unCheck.png", SkinKind::Button, 100, 35, kFace, kEdge, 0, Glyph::None, nullptr},
    // Filter panel: check boxes, separator, combo, filter button.
    {"check_p.png", SkinKind::Check, 16, 16, kBrand, kWhite, 1, Glyph::None, nullptr},
    {"check_h.png", SkinKind::Check, 16, 16, kWhite, 0xFF8C96A3, 0, Glyph::None, nullptr},
    {"filterSeperater.png", SkinKind::Solid, 1, 58, kGrey, 0, 0, Glyph::None, nullptr},
    {"ComboBox_small.png", SkinKind::ComboStrip, 88, 88, kBrand, kGrey, 0, Glyph::None, nullptr},
    {"ComboBox.png", SkinKind::ComboPieces, 151, 110, kBrand, kGrey, 0, Glyph::None, nullptr},
    {"btn_filter_nor.png", SkinKind::Glyph, 24, 24, kBrand, kWhite, 0, Glyph::Search, nullptr},
    {"btn_filter_over.png", SkinKind::Glyph, 24, 24, kBrandLight, kWhite, 0, Glyph::Search, nullptr},
    // Address control faces (its style sheet names them) and the menu background.
    {"bg_ipedit_nor.png", SkinKind::EditFrame, 200, 25, kWhite, kGrey, 0, Glyph::None, nullptr},
    {"bg_ipedit_dis.png", SkinKind::EditFrame, 200, 25, 0xFFE6E6E6, kGrey, 0, Glyph::None, nullptr},
    {"menu_bg.png", SkinKind::Solid, 8, 8, kWhite, 0, 0, Glyph::None, nullptr},
    // Network settings and device initialisation: radios, result marks, progress, separators.
    {"background.png", SkinKind::Solid, 8, 8, kWhite, 0, 0, Glyph::None, nullptr},
    {"border.png", SkinKind::Solid, 8, 2, kGrey, 0, 0, Glyph::None, nullptr},
    {"radio_check.png", SkinKind::Radio, 16, 16, kBrand, kWhite, 1, Glyph::None, nullptr},
    {"radio_uncheck.png", SkinKind::Radio, 16, 16, 0xFF8C96A3, kWhite, 0, Glyph::None, nullptr},
    {"Select_UnableCheck.png", SkinKind::Check, 16, 16, kGrey, kWhite, 1, Glyph::None, nullptr},
    {"Select_UnableUnCheck.png", SkinKind::Check, 16, 16, 0xFFEEEEEE, kGrey, 2, Glyph::None, nullptr},
    {"ok.png", SkinKind::Check, 16, 16, 0xFF2EA44F, kWhite, 1, Glyph::None, nullptr},
    {"ok_hover.png", SkinKind::Check, 16, 16, 0xFF3FBF62, kWhite, 1, Glyph::None, nullptr},
    {"ok_press.png", SkinKind::Check, 16, 16, 0xFF22803D, kWhite, 1, Glyph::None, nullptr},
    {"error.png", SkinKind::Glyph, 16, 16, kRed, kWhite, 0, Glyph::Close, nullptr},
    {"erro_hover.png", SkinKind::Glyph, 16, 16, 0xFFF06A6E, kWhite, 0, Glyph::Close, nullptr},
    {"erro_press.png", SkinKind::Glyph, 16, 16, kRedDark, kWhite, 0, Glyph::Close, nullptr},
    {"progress_active.png", SkinKind::Solid, 8, 6, kBrand, 0, 0, Glyph::None, nullptr},
    {"progress_maskleft.png", SkinKind::Solid, 3, 6, kNone, 0, 0, Glyph::None, nullptr},
    {"progress_maskright.png", SkinKind::Solid, 3, 6, kNone, 0, 0, Glyph::None, nullptr},
    // Pictures.
    {"logo.png", SkinKind::Banner, 68, 68, kNone, kBrand, 0, Glyph::Camera, "Vantyx"},
    {"AboutPic.png", SkinKind::Banner, 356, 58, kBrand, kWhite, 1, Glyph::Camera, "Vantyx Config Tool"},
    {"hand_pointing.png", SkinKind::Pointer, 32, 32, kWhite, 0xFF1B2430, 0, Glyph::None, nullptr},
    {"main.ico", SkinKind::Glyph, 32, 32, kBrand, kWhite, 0, Glyph::Camera, nullptr},
    // Upgrade page: batch button and row buttons (text drawn by the control).
    SKIN_PAGE_BUTTON("batchupgrade", 160, Glyph::Upgrade),
    {"upgrade_n.png", SkinKind::Button, 76, 23, kBrand, kBrand, 0, Glyph::None, nullptr},
    {"upgrade_h.png", SkinKind::Button, 76, 23, kBrandLight, kBrandLight, 0, Glyph::None, nullptr},
    {"upgrade_p.png", SkinKind::Button, 76, 23, kBrandDark, kBrandDark, 0, Glyph::None, nullptr},
    {"upgrade_d.png", SkinKind::Button, 76, 23, kGrey, kGrey, 0, Glyph::None, nullptr},
    // System configuration page and its password-reset dialogs.
    {"scrollbar.png", SkinKind::Solid, 8, 8, kGrey, 0, 0, Glyph::None, nullptr},
    {"treeState.png", SkinKind::Solid, 8, 8, kWhite, 0, 0, Glyph::None, nullptr},
    {"treeCheckbox.png", SkinKind::Check, 16, 16, kBrand, kWhite, 1, Glyph::None, nullptr},
    {"mac_close_nor.png", SkinKind::Glyph, 16, 16, kNone, kGreyText, 0, Glyph::Close, nullptr},
    {"button_h.png", SkinKind::Button, 145, 35, kBrand, kBrandDark, 0, Glyph::None, nullptr},
    {"button_p.png", SkinKind::Button, 145, 35, kBrandDark, kBrandDark, 0, Glyph::None, nullptr},
    {"button_d.png", SkinKind::Button, 145, 35, kGrey, kEdgeOff, 0, Glyph::None, nullptr},
    {"ComboBox_big.png", SkinKind::ComboStrip, 500, 88, kBrand, kGrey, 0, Glyph::None, nullptr},
    {"bg_time_noal.png", SkinKind::SlicedFrame, 181, 104, kWhite, kGrey, 0, Glyph::None, nullptr},
    {"step1.png", SkinKind::Solid, 630, 40, kFaceHover, 0, 0, Glyph::None, nullptr},
    {"step2.png", SkinKind::Solid, 630, 40, kFaceHover, 0, 0, Glyph::None, nullptr},
    {"step3.png", SkinKind::Solid, 630, 40, kFaceHover, 0, 0, Glyph::None, nullptr},
    // Full screen of the live video: enter and restore.
    {"max_press.png", SkinKind::Glyph, 24, 24, kShade, kWhite, 0, Glyph::Enlarge, nullptr},
    {"max_hover.png", SkinKind::Glyph, 24, 24, kBrandLight, kWhite, 0, Glyph::Enlarge, nullptr},
    {"max_disabled.png", SkinKind::Glyph, 24, 24, kNone, kGreyText, 0, Glyph::Enlarge, nullptr},
    {"min_press.png", SkinKind::Glyph, 24, 24, kShade, kWhite, 0, Glyph::Reduce, nullptr},
    {"min_hover.png", SkinKind::Glyph, 24, 24, kBrandLight, kWhite, 0, Glyph::Reduce, nullptr},
    {"min_disabled.png", SkinKind::Glyph, 24, 24, kNone, kGreyText, 0, Glyph::Reduce, nullptr},
    // Device configuration window: no device open yet, and a device that could not be read.
    {"start.png", SkinKind::Glyph, 240, 241, kNone, 0xFFB4C6DC, 0, Glyph::Camera, nullptr},
    {"btn_filter_down.png", SkinKind::Glyph, 24, 24, kBrandDark, kWhite, 0, Glyph::Search, nullptr},
    {"loadfaile.png", SkinKind::Glyph, 240, 241, kNone, 0xFFF0A0A3, 0, Glyph::Info, nullptr},
    // Manual Add: its wide add type list and the OK button's disabled face.
    {"ComboBox_long.png", SkinKind::ComboPieces, 271, 110, kBrand, kGrey, 0, Glyph::None, nullptr},
    {"btn-dis.png", SkinKind::Button, 80, 28, 0xFFEEEEEE, 0xFFD0D0D0, 0, Glyph::None, nullptr},
    // Add-on tool page: tool tiles (labels drawn by the page at the right), add tile, delete marks,
    // the edit toggle's checked faces and the tiles' default pictures.
    {"bgColorOtherTool.png", SkinKind::Solid, 8, 8, kWhite, 0, 0, Glyph::None, nullptr},
    {"loadmode_nor.png", SkinKind::Button, 230, 90, kFace, kEdge, 0, Glyph::None, nullptr},
    {"loadmode_over.png", SkinKind::Button, 230, 90, kFaceHover, kBrand, 0, Glyph::None, nullptr},
    {"loadmode_down.png", SkinKind::Button, 230, 90, kFaceDown, kBrandDark, 0, Glyph::None, nullptr},
    {"loadmode_dis.png", SkinKind::Button, 230, 90, kFaceOff, kEdgeOff, 0, Glyph::None, nullptr},
    {"appDefault_nor.png", SkinKind::Button, 230, 90, kFace, kEdge, 0, Glyph::Package, nullptr},
    {"appDefault_hov.png", SkinKind::Button, 230, 90, kFaceHover, kBrand, 0, Glyph::Package, nullptr},
    {"appDefault_pre.png", SkinKind::Button, 230, 90, kFaceDown, kBrandDark, 0, Glyph::Package, nullptr},
    {"appDefault_dis.png", SkinKind::Button, 230, 90, kFaceOff, kEdgeOff, 0, Glyph::Package, nullptr},
    {"add_nor.png", SkinKind::Button, 230, 90, kWhite, kEdge, 0, Glyph::Plus, nullptr},
    {"add_hov.png", SkinKind::Button, 230, 90, kFaceHover, kBrand, 0, Glyph::Plus, nullptr},
    {"add_pre.png", SkinKind::Button, 230, 90, kFaceDown, kBrandDark, 0, Glyph::Plus, nullptr},
    {"add_dis.png", SkinKind::Button, 230, 90, kFaceOff, kEdgeOff, 0, Glyph::Plus, nullptr},
    {"delete_nor.png", SkinKind::Glyph, 26, 26, kRed, kWhite, 0, Glyph::Close, nullptr},
    {"delete_hover.png", SkinKind::Glyph, 26, 26, 0xFFF06A6E, kWhite, 0, Glyph::Close, nullptr},
    {"delete_press.png", SkinKind::Glyph, 26, 26, kRedDark, kWhite, 0, Glyph::Close, nullptr},
    {"down_nor.png", SkinKind::Button, 78, 30, kBrand, kBrand, 0, Glyph::Edit, nullptr},
    {"down_hover.png", SkinKind::Button, 78, 30, kBrandLight, kBrandLight, 0, Glyph::Edit, nullptr},
    {"down_press.png", SkinKind::Button, 78, 30, kBrandDark, kBrandDark, 0, Glyph::Edit, nullptr},
    {"down_dis.png", SkinKind::Button, 78, 30, kFaceOff, kEdgeOff, 0, Glyph::Edit, nullptr},
    // Template manager: new-template tile, type buttons and the icons of the two mode buttons.
    {"addmode_nor.png", SkinKind::Button, 230, 90, kFace, kEdge, 0, Glyph::None, nullptr},
    {"addmode_over.png", SkinKind::Button, 230, 90, kFaceHover, kBrand, 0, Glyph::None, nullptr},
    {"addmode_down.png", SkinKind::Button, 230, 90, kFaceDown, kBrandDark, 0, Glyph::None, nullptr},
    {"addmode_dis.png", SkinKind::Button, 230, 90, kFaceOff, kEdgeOff, 0, Glyph::None, nullptr},
    {"TmpType_Check.png", SkinKind::Button, 165, 39, kFaceDown, kBrand, 0, Glyph::None, nullptr},
    {"TmpType_unCheck.png", SkinKind::Button, 165, 39, kFace, kEdge, 0, Glyph::None, nullptr},
    {"mode_edit.png", SkinKind::Icon, 26, 26, kNone, kWhite, 0, Glyph::Edit, nullptr},
    // Pictures on the manager's two start tiles (the tiles' faces are plain).
    {"tmpmode_load.png", SkinKind::Icon, 56, 56, kNone, 0xFF6B7A8F, 0, Glyph::Import, nullptr},
    {"tmpmode_new.png", SkinKind::Icon, 56, 56, kNone, 0xFF6B7A8F, 0, Glyph::Plus, nullptr},
    {"mode_using.png", SkinKind::Icon, 26, 26, kNone, kWhite, 0, Glyph::Template, nullptr},
    // Template apply result rows: section applied, section failed.
    {"ok_32x32.png", SkinKind::Check, 20, 20, 0xFF2EA44F, kWhite, 1, Glyph::None, nullptr},
    {"error_32x32.png", SkinKind::Glyph, 20, 20, kRed, kWhite, 0, Glyph::Close, nullptr},
    // Template apply panel: the arrow between its halves and its bottom bar buttons.
    {"toRight.png", SkinKind::Icon, 40, 40, kNone, kGrey, 0, Glyph::Export, nullptr},
    {"btnTem_nor.png", SkinKind::Button, 155, 45, kBrand, kBrand, 0, Glyph::None, nullptr},
    {"btnTem_over.png", SkinKind::Button, 155, 45, kBrandLight, kBrandLight, 0, Glyph::None, nullptr},
    {"btnTem_down.png", SkinKind::Button, 155, 45, kBrandDark, kBrandDark, 0, Glyph::None, nullptr},
    {"btnTem_dis.png", SkinKind::Button, 155, 45, kGrey, kGrey, 0, Glyph::None, nullptr},
    // Cloud upgrade page: import and export buttons, a list row's re-check button.
    {"cloud_get_n.png", SkinKind::Button, 78, 30, kFace, kEdge, 0, Glyph::Import, nullptr},
    {"cloud_get_h.png", SkinKind::Button, 78, 30, kFaceHover, kBrand, 0, Glyph::Import, nullptr},
    {"cloud_get_p.png", SkinKind::Button, 78, 30, kFaceDown, kBrandDark, 0, Glyph::Import, nullptr},
    {"cloud_get_d.png", SkinKind::Button, 78, 30, kFaceOff, kEdgeOff, 0, Glyph::Import, nullptr},
    {"cloud_save_n.png", SkinKind::Button, 78, 30, kFace, kEdge, 0, Glyph::Export, nullptr},
    {"cloud_save_h.png", SkinKind::Button, 78, 30, kFaceHover, kBrand, 0, Glyph::Export, nullptr},
    {"cloud_save_p.png", SkinKind::Button, 78, 30, kFaceDown, kBrandDark, 0, Glyph::Export, nullptr},
    {"cloud_save_d.png", SkinKind::Button, 78, 30, kFaceOff, kEdgeOff, 0, Glyph::Export, nullptr},
    {"uodate_nor.png", SkinKind::Glyph, 16, 16, kBrand, kWhite, 0, Glyph::Refresh, nullptr},
    {"uodate_hov.png", SkinKind::Glyph, 16, 16, kBrandLight, kWhite, 0, Glyph::Refresh, nullptr},
    {"uodate_pre.png", SkinKind::Glyph, 16, 16, kBrandDark, kWhite, 0, Glyph::Refresh, nullptr},
};
}  // namespace

const SkinImage* SkinTable(int* count)
{
    *count = static_cast<int>(sizeof(kTable) / sizeof(kTable[0]));
    return kTable;
}
