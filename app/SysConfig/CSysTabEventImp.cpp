// The tab page: controls, layout and section switching. Commands, field rules and parameters
// are in SysTabActions.cpp.
#include "SysConfig/CSysTabEventImp.h"

#include <cstdio>

#include "Common/AppSettings.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"


namespace {

enum {
    ID_TAB_TIMING = 1065, ID_TAB_REBOOT = 1066, ID_TAB_RESTORE = 1067, ID_TAB_MODIFY = 1148, ID_TAB_RESET = 1167,
    ID_SYNC_PC = 1068, ID_MANUAL_SYNC = 1069, ID_MANUAL_DATE = 1070, ID_MANUAL_TIME = 1071, ID_DST_ENABLE = 1012,
    ID_DATE = 1135, ID_WEEK = 1136, ID_START_MONTH = 1138, ID_END_MONTH = 1139, ID_DST_SAVE = 1137,
    ID_NTP_SAVE = 1146, ID_SERVER = 1155, ID_PORT = 1154, ID_PERIOD = 1153, ID_AUTO_REBOOT = 1010,
    ID_REBOOT_DAY = 1021, ID_REBOOT_TIME = 1073, ID_REBOOT_OK = 1074, ID_REBOOT = 1075, ID_FACTORY = 1076,
    ID_OLD = 1150, ID_NEW = 1151, ID_CONFIRM = 1152, ID_PWD_OK = 505, ID_RESET = 605, ID_CONTINUE = 610,
    ID_NTP_ENABLE = 1147,
};

const int kTabIds[CSysTabEventImp::kSections] = {ID_TAB_TIMING, ID_TAB_REBOOT, ID_TAB_RESTORE, ID_TAB_MODIFY,
                                                 ID_TAB_RESET};
const wchar_t* const kTabTexts[CSysTabEventImp::kSections] = {L"Timing", L"Reboot", L"Restore", L"PasswordModify",
                                                              L"PasswordReset"};
const wchar_t* const kMonths[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                    L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const kWeeks[5] = {L"1st", L"2nd", L"3rd", L"4th", L"LastWeek"};
const wchar_t* const kDays[8] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                 L"Thursday", L"Friday", L"Saturday", L"Everyday"};
const int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const wchar_t* const kZones[33] = {
    L"GMT+00:00", L"GMT+01:00", L"GMT+02:00", L"GMT+03:00", L"GMT+03:30", L"GMT+04:00", L"GMT+04:30",
    L"GMT+05:00", L"GMT+05:30", L"GMT+05:45", L"GMT+06:00", L"GMT+06:30", L"GMT+07:00", L"GMT+08:00",
    L"GMT+09:00", L"GMT+09:30", L"GMT+10:00", L"GMT+11:00", L"GMT+12:00", L"GMT+13:00", L"GMT-01:00",
    L"GMT-02:00", L"GMT-03:00", L"GMT-03:30", L"GMT-04:00", L"GMT-05:00", L"GMT-06:00", L"GMT-07:00",
    L"GMT-08:00", L"GMT-09:00", L"GMT-10:00", L"GMT-11:00", L"GMT-12:00"};
constexpr const wchar_t* kDefaultNtpServer = L"pool.ntp.org";

ImageComboBoxStyle SmallListSkin()
{
    ImageComboBoxStyle s;
    s.strImage = L"ComboBox_small.png";
    s.strNormalRect = s.strHoverRect = L"0,0,88,21";
    s.strDropDownRect = L"0,66,88,22";
    s.strDropUpRect = L"0,44,88,22";
    s.strDisabledRect = L"0,22,88,22";
    return s;
}

ImageComboBoxStyle WideListSkin()
{
    ImageComboBoxStyle s;
    s.strImage = L"ComboBox.png";
    s.strNormalRect = L"0,2,150,22";
    s.strHoverRect = L"0,58,150,22";
    s.strDropDownRect = L"0,86,150,23";
    s.strDropUpRect = L"0,58,150,23";
    s.strDisabledRect = L"0,30,150,22";
    return s;
}

ImageDateTimeStyle TimeSkin()
{
    ImageDateTimeStyle s;
    s.strSpare1 = s.strFrameImage = L"bg_time_noal.png";
    s.strDownImage = L"0,0,181,26";
    s.strDownHoverImage = L"0,26,181,26";
    s.strDownPressedImage = L"0,52,181,26";
    s.strDownDisabledImage = L"0,72,181,26";
    s.strSpare2 = L"161,0,20,26";
    s.strSpare3 = L"161,13,20,13";
    s.strSpare4 = L"161,0,20,13";
    return s;
}

void Show(CSFStatic* c, int s) { if (c) c->ShowWindow(s); }
void Show(CSFButton* c, int s) { if (c) c->ShowWindow(s); }
void Show(CSFRadioBox* c, int s) { if (c) c->ShowWindow(s); }
void Show(CSFComboBox* c, int s) { if (c) c->ShowWindow(s); }
void Show(CSFDateTimeCtrl* c, int s) { if (c) c->ShowWindow(s); }
void Show(CSFEditCtrl* c, int s) { if (c) c->ShowWindow(s); }
void Show(CSFPictureCtrl* c, int s) { if (c) c->ShowWindow(s); }
template <class T> void Move(T* c, RECT rc) { if (c) c->MoveWindow(&rc); }

} // namespace

SF_BEGIN_MESSAGE_MAP(CSysTabEventImp)
SF_ON_COMMAND(ID_SYNC_PC, OnSyncPc)
SF_ON_COMMAND(ID_MANUAL_SYNC, OnManualSync)
SF_ON_COMMAND(ID_REBOOT_OK, OnAutoRebootOk)
SF_ON_COMMAND(ID_REBOOT, OnReboot)
SF_ON_COMMAND(ID_FACTORY, OnFactoryDefault)
SF_ON_COMMAND(ID_DST_SAVE, OnDstSave)
SF_ON_COMMAND(ID_NTP_SAVE, OnNtpSave)
SF_ON_COMMAND(ID_RESET, OnPasswordReset)
SF_ON_COMMAND(ID_PWD_OK, OnPasswordModifyOk)
SF_ON_COMMAND(ID_CONTINUE, OnContinueXmlReset)
SF_END_MESSAGE_MAP()

CSysTabEventImp::CSysTabEventImp(std::weak_ptr<CSysConfigEventImp> owner) : m_wpOwner(std::move(owner)) {}

CSysTabEventImp::~CSysTabEventImp() {}

std::shared_ptr<CSysTabEventImp> CSysTabEventImp::Create(std::weak_ptr<CSysConfigEventImp> owner)
{
    auto page = std::make_shared<CSysTabEventImp>(std::move(owner));
    page->Init();
    return page;
}

void CSysTabEventImp::Init()
{
    std::shared_ptr<CSysConfigEventImp> owner = Owner();
    m_pView = CreateSFView(this);
    if (!m_pView || !owner)
        return;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    m_pView->Create(L"", L"SysTab", 0x50000000, SFRectLTRB(100, 0, 1000, 62), owner->GetUIWnd(), 113);
}

int CSysTabEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    const RECT zero = SFRectXYWH(0, 0, 10, 10);
    auto picture = [&](const wchar_t* image) {
        CSFPictureCtrl* p = CreateSFPictureCtrl(nullptr);
        if (p) {
            p->Create(L"", 0x50000000, zero, wnd, static_cast<UINT>(-1));
            p->SetImage(image, false);
        }
        return p;
    };
    auto label = [&](const wchar_t* text, UINT align = 36) {
        CSFStatic* s = sysui::Label(text, zero, wnd, align);
        if (s)
            s->SetTextSize(14);
        return s;
    };
    auto heading = [&](const wchar_t* text) {
        CSFStatic* s = label(text, 37);
        if (s)
            s->SetBgColor(sysui::kBand, 1);
        return s;
    };
    auto radio = [&](const wchar_t* text, UINT id, const ImageRadioBox& skin, int offset) {
        CSFRadioBox* r = CreateSFRadioBox(this);
        if (r) {
            ImageRadioBox copy = skin;
            r->SetSkin(&copy);
            r->Create(Tr(text), 0x10010000, zero, wnd, id);
            r->SetTextOffset(offset);
        }
        return r;
    };
    auto list = [&](UINT id, const ImageComboBoxStyle& skin) {
        CSFComboBox* c = CreateSFComboBox(this);
        if (c) {
            c->Create(0x50010000, zero, wnd, id);
            ImageComboBoxStyle copy = skin;
            c->SetSkin(&copy);
        }
        return c;
    };
    auto timeCtrl = [&](int kind, UINT id) {
        CSFDateTimeCtrl* t = CreateSFDateTimeCtrl(this, kind);
        if (t) {
            t->Create(0x50010000, zero, wnd, id);
            ImageDateTimeStyle skin = TimeSkin();
            t->SetSkin(&skin);
        }
        return t;
    };
    auto edit = [&](UINT id, bool password, int max) {
        CSFEditCtrl* e = CreateSFEditCtrl(this);
        if (e) {
            e->Create(0x50810000, zero, wnd, id, password);
            sysui::FrameEdit(e);
            e->SetMaxLength(max);
        }
        return e;
    };
    const ImageButtonStyle plain = sysui::PlainButtonSkin();
    const ImageButtonStyle big = sysui::BigButtonSkin();
    const ImageRadioBox tabSkin =
        MakeRadioSkin(L"tabAll_Check.png", L"tabAll_unCheck.png", L"tabAll_Check.png", L"tabAll_unCheck.png");
    const ImageRadioBox checkSkin =
        MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_Unable.png", L"Select_Unable.png");
    const ImageRadioBox pairSkin =
        MakeRadioSkin(L"radio_check.png", L"radio_uncheck.png", L"radio_check.png", L"radio_uncheck.png");

    m_pTabLine = picture(L"border.png");
    for (int i = 0; i < kSections; ++i) {
        m_pTabs[i] = radio(kTabTexts[i], UINT(kTabIds[i]), tabSkin, i < 3 ? -130 : -120);
        // The tab images are narrower than a tab: the rest of the tab takes their colours.
        if (m_pTabs[i])
            m_pTabs[i]->SetBkColor(0xEF882D, 0xFCF8F5);
    }
    m_pBand = sysui::Label(L"", zero, wnd, 36);
    if (m_pBand) {
        m_pBand->SetTextSize(17);
        m_pBand->SetTextColor(sysui::kNoteRed);
        m_pBand->SetBgColor(sysui::kBand, 1);
    }

    // Timing
    m_pPcLabel = label(L"PC Time");
    m_pPcDate = CreateSFStatic(nullptr);
    m_pPcTime = CreateSFStatic(nullptr);
    for (CSFStatic* s : {m_pPcDate, m_pPcTime})
        if (s) {
            s->Create(s == m_pPcDate ? L"2015-8-23" : L"10:23:33", 0x50000000, zero, wnd, static_cast<UINT>(-1));
            s->SetTextAlignFlag(36);
            s->SetTextSize(14);
        }
    m_pSyncPc = sysui::Button(L"Sync PC", zero, wnd, ID_SYNC_PC, plain);
    m_pManualDate = timeCtrl(0, ID_MANUAL_DATE);
    m_pManualTime = timeCtrl(1, ID_MANUAL_TIME);
    if (m_pManualDate && m_pManualTime) {
        _SF_SYSTEMTIME first{2000, 1, 0, 1, 0, 0, 0, 0}, last{2037, 12, 0, 31, 0, 0, 0, 0};
        _SF_SYSTEMTIME* lo = &first;
        _SF_SYSTEMTIME* hi = &last;
        m_pManualDate->SetDateRange(lo, hi);
        const CSFTime now = CSFTime::GetCurrentTime();
        _SF_SYSTEMTIME t{WORD(now.m_nYear), WORD(now.m_nMonth), 0, WORD(now.m_nDay), WORD(now.m_nHour),
                         WORD(now.m_nMinute), WORD(now.m_nSecond), 0};
        m_pManualDate->SetDate(&t);
        m_pManualTime->SetTime(&t);
    }
    m_pManualSync = sysui::Button(L"Manual Sync", zero, wnd, ID_MANUAL_SYNC, plain);
    m_pDstHeading = heading(L"NTP/DST");
    m_pDstLine = picture(L"border.png");
    m_pDstEnable = radio(L"DST Enable", ID_DST_ENABLE, checkSkin, -20);
    m_pDstType = label(L"DST Type");
    m_pDate = radio(L"Date", ID_DATE, pairSkin, 0);
    m_pWeek = radio(L"Week", ID_WEEK, pairSkin, 0);
    if (m_pDate)
        m_pDate->SetCheck(1);
    m_pStartLabel = label(L"Start Time");
    m_pEndLabel = label(L"End Time");
    m_pStartMonth = list(ID_START_MONTH, SmallListSkin());
    m_pEndMonth = list(ID_END_MONTH, SmallListSkin());
    m_pStartWeek = list(0, SmallListSkin());
    m_pEndWeek = list(0, SmallListSkin());
    for (CSFComboBox* c : {m_pStartMonth, m_pEndMonth})
        if (c)
            for (const wchar_t* m : kMonths)
                c->AddString(Tr(m));
    if (m_pEndMonth)
        m_pEndMonth->SetCurSel(1);
    for (CSFComboBox* c : {m_pStartWeek, m_pEndWeek})
        if (c)
            for (const wchar_t* w : kWeeks)
                c->AddString(Tr(w));
    m_pStartDay = list(0, SmallListSkin());
    m_pEndDay = list(0, SmallListSkin());
    FillDstDayList(false, false);
    FillDstDayList(true, false);
    m_pStartTime = timeCtrl(2, 0);
    m_pEndTime = timeCtrl(2, 0);
    for (CSFDateTimeCtrl* t : {m_pStartTime, m_pEndTime})
        if (t) {
            _SF_SYSTEMTIME midnight{2000, 1, 0, 1, 0, 0, 0, 0};
            t->SetTime(&midnight);
        }
    m_pDstSave = sysui::Button(L"Save", zero, wnd, ID_DST_SAVE, plain);

    // Reboot
    m_pAutoHeading = heading(L"Auto Reboot");
    m_pAutoLine = picture(L"border.png");
    m_pAutoReboot = radio(L"Auto Reboot", ID_AUTO_REBOOT, checkSkin, -20);
    if (m_pAutoReboot)
        m_pAutoReboot->SetCheck(1);
    m_pRebootDay = list(ID_REBOOT_DAY, WideListSkin());
    if (m_pRebootDay)
        for (const wchar_t* d : kDays)
            m_pRebootDay->AddString(Tr(d));
    m_pRebootTime = timeCtrl(2, ID_REBOOT_TIME);
    if (m_pRebootTime) {
        _SF_SYSTEMTIME midnight{2000, 1, 0, 1, 0, 0, 0, 0};
        m_pRebootTime->SetTime(&midnight);
    }
    m_pRebootOk = sysui::Button(L"OK", zero, wnd, ID_REBOOT_OK, plain);
    m_pManualHeading = heading(L"Manual Reboot");
    m_pManualLine = picture(L"border.png");
    m_pReboot = sysui::Button(L"Reboot", zero, wnd, ID_REBOOT, big);
    if (m_pReboot)
        m_pReboot->SetTextColor(0xFFFFFF);

    // Restore
    m_pFactory = sysui::Button(L"Factory Default", zero, wnd, ID_FACTORY, big);
    if (m_pFactory)
        m_pFactory->SetTextColor(0xFFFFFF);

    // PasswordModify
    m_pOldLabel = label(L"Old Password", 0);
    m_pOldEdit = edit(ID_OLD, true, 32);
    m_pOldError = sysui::Label(L"input error", zero, wnd, 36, sysui::kRed, true);
    m_pNewLabel = label(L"New Password", 0);
    m_pwd.newEdit = edit(ID_NEW, true, 32);
    m_pwd.newError = sysui::Label(L"input error", zero, wnd, 36, sysui::kRed, true);
    m_pwd.BuildBars(wnd, 152, 190, 183);
    m_pConfirmLabel = label(L"Confirm Password", 0);
    m_pwd.confirmEdit = edit(ID_CONFIRM, true, 32);
    m_pwd.confirmError = sysui::Label(L"input error", zero, wnd, 36, sysui::kRed, true);
    m_pRule = sysui::Label(L"Please input 8~32 bytes from letters or numbers or symbols.", zero, wnd, 8212,
                           sysui::kHintGrey, true);
    m_pNote = sysui::Label(L"*After you have set new password, please set password again in Search Setup.", zero,
                           wnd, 8212, sysui::kNoteRed, true);
    m_pPwdOk = sysui::Button(L"OK", zero, wnd, ID_PWD_OK, plain);

    // PasswordReset
    m_pResetBtn = sysui::Button(L"PasswordReset", zero, wnd, ID_RESET, big);
    if (m_pResetBtn)
        m_pResetBtn->SetTextColor(0xFFFFFF);
    m_pResetNote = sysui::Label(L"Note: To find password, please connect device to LAN of the host!", zero, wnd, 36,
                                sysui::kNoteRed, true);
    m_pContinue = CreateSFButton(nullptr);
    if (m_pContinue) {
        m_pContinue->Create(Tr(L"Continue modify password,please import xml file"), 0x10010000, zero, wnd,
                            ID_CONTINUE);
        m_pContinue->SetTextColor(sysui::kHintGrey);
        m_pContinue->SetTextAlign(0);
    }

    // NTP part of Timing
    m_pNtpLine = picture(L"border.png");
    m_pZoneLabel = label(L"NTP");
    m_pTimeZone = list(0, WideListSkin());
    if (m_pTimeZone)
        for (const wchar_t* z : kZones)
            m_pTimeZone->AddString(z);
    m_pNtpEnable = radio(L"Synchronize with NTP", ID_NTP_ENABLE, checkSkin, 10);
    if (m_pNtpEnable)
        m_pNtpEnable->SetTextAlign(0);
    m_pServerLabel = label(L"NTP Server");
    m_pServer = edit(ID_SERVER, false, 255);
    m_pPortLabel = label(L"NTP Port");
    m_pPort = edit(ID_PORT, false, 32);
    m_pPortRange = label(L"(0~65535)");
    m_pPeriodLabel = label(L"Update period");
    m_pPeriod = edit(ID_PERIOD, false, 32);
    m_pPeriodRange = label(L"Mintues(0~65535)");
    m_pNtpSave = sysui::Button(L"Save", zero, wnd, ID_NTP_SAVE, plain);

    if (m_pTabs[kTiming])
        m_pTabs[kTiming]->SetCheck(1);
    if (m_pServer)
        m_pServer->SetWindowTextW(kDefaultNtpServer);
    if (m_pPeriod)
        m_pPeriod->SetWindowTextW(L"10");
    if (m_pPort)
        m_pPort->SetWindowTextW(L"123");
    if (m_pTimeZone)
        m_pTimeZone->SetCurSel(13);
    ShowRebootSection(0);
    ShowRestoreSection(0);
    ShowPasswordModifySection(0);
    ShowPasswordResetSection(0);
    return 1;
}

void CSysTabEventImp::OnSize(UINT, int cx, int)
{
    if (!m_pTabLine)
        return;
    for (int i = 0; i < kSections; ++i)
        Move(m_pTabs[i], SFRectXYWH(119 * i, 0, 120, 30));
    Move(m_pTabLine, SFRectXYWH(0, 28, cx - 2, 2));
    Move(m_pBand, SFRectXYWH(20, 50, cx - 40, 24));
    const int lineW = cx - 40;
    // Timing
    Move(m_pPcLabel, SFRectXYWH(20, 84, 120, 24));
    Move(m_pPcDate, SFRectXYWH(140, 84, 120, 24));
    Move(m_pPcTime, SFRectXYWH(270, 84, 120, 24));
    Move(m_pSyncPc, SFRectXYWH(422, 84, 82, 24));
    Move(m_pManualDate, SFRectXYWH(138, 134, 122, 26));
    Move(m_pManualTime, SFRectXYWH(270, 134, 122, 26));
    Move(m_pManualSync, SFRectXYWH(422, 134, 82, 24));
    Move(m_pDstHeading, SFRectXYWH(20, 170, 120, 24));
    Move(m_pDstLine, SFRectXYWH(20, 194, lineW, 1));
    Move(m_pDstEnable, SFRectXYWH(20, 204, 130, 24));
    Move(m_pDstType, SFRectXYWH(20, 238, 100, 24));
    Move(m_pDate, SFRectXYWH(150, 238, 80, 24));
    Move(m_pWeek, SFRectXYWH(260, 238, 80, 24));
    Move(m_pStartLabel, SFRectXYWH(20, 272, 100, 24));
    Move(m_pStartMonth, SFRectXYWH(150, 272, 88, 22));
    Move(m_pStartWeek, SFRectXYWH(248, 272, 88, 22));
    Move(m_pEndLabel, SFRectXYWH(20, 306, 100, 24));
    Move(m_pEndMonth, SFRectXYWH(150, 306, 88, 22));
    Move(m_pEndWeek, SFRectXYWH(248, 306, 88, 22));
    m_ptWeekAnchor = POINT{248, 272};
    const bool week = m_pWeek && m_pWeek->GetCheck();
    PlaceDayLists(week);
    Move(m_pDstSave, SFRectXYWH(552, 335, 82, 24));
    Move(m_pNtpLine, SFRectXYWH(20, 364, lineW, 1));
    Move(m_pZoneLabel, SFRectXYWH(20, 374, 100, 24));
    Move(m_pTimeZone, SFRectXYWH(150, 374, 150, 22));
    Move(m_pNtpEnable, SFRectXYWH(20, 408, 170, 24));
    Move(m_pServerLabel, SFRectXYWH(20, 442, 100, 24));
    Move(m_pServer, SFRectXYWH(150, 442, 150, 22));
    Move(m_pPortLabel, SFRectXYWH(20, 476, 100, 24));
    Move(m_pPort, SFRectXYWH(150, 476, 150, 22));
    Move(m_pPortRange, SFRectXYWH(305, 476, 100, 22));
    Move(m_pPeriodLabel, SFRectXYWH(20, 510, 100, 24));
    Move(m_pPeriod, SFRectXYWH(150, 510, 75, 22));
    Move(m_pPeriodRange, SFRectXYWH(230, 510, 140, 22));
    Move(m_pNtpSave, SFRectXYWH(552, 562, 82, 24));
    // Reboot
    Move(m_pAutoHeading, SFRectXYWH(20, 84, 120, 24));
    Move(m_pAutoLine, SFRectXYWH(20, 108, lineW, 1));
    Move(m_pAutoReboot, SFRectXYWH(20, 159, 130, 24));
    Move(m_pRebootDay, SFRectXYWH(150, 159, 150, 22));
    Move(m_pRebootTime, SFRectXYWH(330, 159, 150, 22));
    Move(m_pRebootOk, SFRectXYWH(530, 159, 82, 24));
    Move(m_pManualHeading, SFRectXYWH(20, 231, 120, 24));
    Move(m_pManualLine, SFRectXYWH(20, 255, lineW, 1));
    Move(m_pReboot, SFRectXYWH(20, 286, 145, 35));
    // Restore
    Move(m_pFactory, SFRectXYWH(20, 104, 145, 35));
    // PasswordModify
    Move(m_pOldLabel, SFRectXYWH(20, 100, 120, 25));
    Move(m_pOldEdit, SFRectXYWH(150, 95, 200, 28));
    Move(m_pOldError, SFRectXYWH(355, 97, 70, 20));
    Move(m_pNewLabel, SFRectXYWH(20, 150, 120, 25));
    Move(m_pwd.newEdit, SFRectXYWH(150, 145, 200, 28));
    Move(m_pwd.newError, SFRectXYWH(355, 147, 70, 20));
    for (int i = 0; i < 3; ++i) {
        Move(m_pwd.bars[i], SFRectXYWH(152 + 62 * i, 190, 60, 8));
        Move(m_pwd.words[i], SFRectXYWH(152 + 62 * i, 183, 60, 16));
    }
    Move(m_pConfirmLabel, SFRectXYWH(20, 228, 128, 25));
    Move(m_pwd.confirmEdit, SFRectXYWH(150, 225, 200, 25));
    Move(m_pwd.confirmError, SFRectXYWH(355, 227, 70, 20));
    Move(m_pRule, SFRectXYWH(152, 260, 198, 80));
    Move(m_pNote, SFRectXYWH(20, 370, 340, 27));
    Move(m_pPwdOk, SFRectXYWH(270, 390, 80, 30));
    // PasswordReset
    Move(m_pResetBtn, SFRectXYWH(20, 104, 145, 35));
    Move(m_pResetNote, SFRectXYWH(20, 154, 450, 24));
    Move(m_pContinue, SFRectXYWH(20, 203, 350, 24));
    const int show = GetCurrentSection() == kTiming && week ? 1 : 0;
    Show(m_pStartWeek, show);
    Show(m_pEndWeek, show);
}

void CSysTabEventImp::PlaceDayLists(bool weekMode)
{
    const int x = m_ptWeekAnchor.x + (weekMode ? 98 : 0), y = m_ptWeekAnchor.y;
    Move(m_pStartDay, SFRectXYWH(x, y, 110, 22));
    Move(m_pStartTime, SFRectXYWH(x + 120, y, 88, 22));
    Move(m_pEndDay, SFRectXYWH(x, y + 34, 110, 22));
    Move(m_pEndTime, SFRectXYWH(x + 120, y + 34, 88, 22));
}

int CSysTabEventImp::GetCurrentSection() const
{
    for (int i = 0; i < kSections; ++i)
        if (m_pTabs[i] && m_pTabs[i]->GetCheck())
            return i;
    return kTiming;
}

void CSysTabEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id < ID_TAB_TIMING || id > ID_TAB_RESET)
        return;
    for (int i = 0; i < kSections; ++i) {
        if (id != kTabIds[i])
            continue;
        if (!checked) {
            m_pTabs[i]->SetCheck(1);
            return;
        }
        for (int j = 0; j < kSections; ++j)
            if (j != i) {
                if (m_pTabs[j])
                    m_pTabs[j]->SetCheck(0);
                ShowSection(j, 0);
            }
        ShowSection(i, 1);
        if (i == kPasswordModify)
            ClearPasswordFields();
        else if (i == kPasswordReset)
            UpdateXmlResetButton();
        return;
    }
    if (id == ID_DATE && m_pDate && m_pWeek) {
        m_pWeek->SetCheck(m_pDate->GetCheck() ? 0 : 1);
        ShowDstControls(!m_pDate->GetCheck(), 1);
    } else if (id == ID_WEEK && m_pDate && m_pWeek) {
        m_pDate->SetCheck(m_pWeek->GetCheck() ? 0 : 1);
        ShowDstControls(m_pWeek->GetCheck() != 0, 1);
    }
}

void CSysTabEventImp::ShowSection(int section, int show)
{
    switch (section) {
    case kTiming: ShowTimingSection(show); break;
    case kReboot: ShowRebootSection(show); break;
    case kRestore: ShowRestoreSection(show); break;
    case kPasswordModify: ShowPasswordModifySection(show); break;
    default: ShowPasswordResetSection(show); break;
    }
}

void CSysTabEventImp::ShowTimingSection(int show)
{
    if (std::shared_ptr<CSysConfigEventImp> owner = Owner())
        owner->EnablePcTimeRefresh(show != 0);
    for (CSFStatic* s : {m_pPcLabel, m_pPcDate, m_pPcTime, m_pDstHeading, m_pDstType, m_pStartLabel, m_pEndLabel})
        Show(s, show);
    Show(m_pSyncPc, show);
    Show(m_pManualSync, show);
    Show(m_pManualDate, show);
    Show(m_pManualTime, show);
    Show(m_pDstLine, show);
    Show(m_pDstEnable, show);
    Show(m_pDate, show);
    Show(m_pWeek, show);
    Show(m_pStartMonth, show);
    Show(m_pEndMonth, show);
    ShowDstControls(m_pWeek && m_pWeek->GetCheck(), show);
    Show(m_pNtpLine, show);
    Show(m_pZoneLabel, show);
    Show(m_pTimeZone, show);
    Show(m_pNtpEnable, show);
    for (CSFStatic* s : {m_pServerLabel, m_pPortLabel, m_pPortRange, m_pPeriodLabel, m_pPeriodRange})
        Show(s, show);
    Show(m_pServer, show);
    Show(m_pPort, show);
    Show(m_pPeriod, show);
}

void CSysTabEventImp::ShowRebootSection(int show)
{
    Show(m_pAutoHeading, show);
    Show(m_pManualHeading, show);
    Show(m_pAutoLine, show);
    Show(m_pManualLine, show);
    Show(m_pAutoReboot, show);
    Show(m_pRebootDay, show);
    Show(m_pRebootTime, show);
    Show(m_pRebootOk, show);
    Show(m_pReboot, show);
}

void CSysTabEventImp::ShowRestoreSection(int show) { Show(m_pFactory, show); }

void CSysTabEventImp::ShowPasswordModifySection(int show)
{
    Show(m_pOldLabel, show);
    Show(m_pNewLabel, show);
    Show(m_pConfirmLabel, show);
    Show(m_pOldEdit, show);
    m_pwd.ShowAll(show);
    Show(m_pRule, show);
    Show(m_pNote, show);
    Show(m_pPwdOk, show);
    Show(m_pOldError, show);
    Show(m_pwd.newError, show);
    Show(m_pwd.confirmError, show);
}

void CSysTabEventImp::ShowPasswordResetSection(int show)
{
    Show(m_pResetBtn, show);
    Show(m_pContinue, show);
    Show(m_pResetNote, show);
}

void CSysTabEventImp::UpdateXmlResetButton() { Show(m_pContinue, CAppSettings::PasswordResetXmlFlag ? 1 : 0); }

void CSysTabEventImp::ClearPasswordFields()
{
    if (m_pOldEdit)
        m_pOldEdit->SetWindowTextW(L"");
    m_pwd.Clear();
    Show(m_pOldError, 0);
}

void CSysTabEventImp::ShowDstControls(bool weekMode, int show)
{
    FillDstDayList(false, weekMode);
    FillDstDayList(true, weekMode);
    Show(m_pStartWeek, weekMode && show ? 1 : 0);
    Show(m_pEndWeek, weekMode && show ? 1 : 0);
    Show(m_pStartDay, show);
    Show(m_pEndDay, show);
    Show(m_pStartTime, show);
    Show(m_pEndTime, show);
    Show(m_pDstSave, show);
    Show(m_pNtpSave, show);
    if (show)
        PlaceDayLists(weekMode);
}

void CSysTabEventImp::FillDstDayList(bool endRow, bool weekMode)
{
    CSFComboBox* days = endRow ? m_pEndDay : m_pStartDay;
    CSFComboBox* month = endRow ? m_pEndMonth : m_pStartMonth;
    if (!days)
        return;
    days->ResetContent();
    if (weekMode) {
        for (int i = 0; i < 7; ++i)
            days->AddString(Tr(kDays[i]));
    } else {
        const int m = month ? month->GetCurSel() : 0;
        const int n = kMonthDays[m >= 0 && m < 12 ? m : 0];
        for (int d = 1; d <= n; ++d)
            days->AddString(std::to_wstring(d).c_str());
    }
    days->SetCurSel(0);
}

void CSysTabEventImp::SelectChanged(int id, int)
{
    if ((id == ID_START_MONTH || id == ID_END_MONTH) && m_pDate && m_pDate->GetCheck())
        FillDstDayList(id == ID_END_MONTH, false);
}

void CSysTabEventImp::SetPcTime(CSFTime t)
{
    char date[64], time[64];
    std::snprintf(date, sizeof date, "%d-%02d-%02d", t.m_nYear, t.m_nMonth, t.m_nDay);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.m_nHour, t.m_nMinute, t.m_nSecond);
    if (m_pPcDate)
        m_pPcDate->SetStaticText(SFUtf8ToWide(date).c_str());
    if (m_pPcTime)
        m_pPcTime->SetStaticText(SFUtf8ToWide(time).c_str());
}

void CSysTabEventImp::SetSelectedCount(int n)
{
    if (!m_pBand)
        return;
    const std::wstring text = std::wstring(Tr(L"You have choose ")) + std::to_wstring(n) + Tr(L" devices");
    m_pBand->SetStaticText(text.c_str());
}

CSFEditCtrl* CSysTabEventImp::Edit(UINT id) const
{
    switch (id) {
    case ID_OLD: return m_pOldEdit;
    case ID_NEW: return m_pwd.newEdit;
    case ID_CONFIRM: return m_pwd.confirmEdit;
    case ID_SERVER: return m_pServer;
    case ID_PORT: return m_pPort;
    case ID_PERIOD: return m_pPeriod;
    default: return nullptr;
    }
}

CSFRadioBox* CSysTabEventImp::Check(UINT id) const
{
    switch (id) {
    case ID_DST_ENABLE: return m_pDstEnable;
    case ID_DATE: return m_pDate;
    case ID_WEEK: return m_pWeek;
    case ID_AUTO_REBOOT: return m_pAutoReboot;
    case ID_NTP_ENABLE: return m_pNtpEnable;
    default: return nullptr;
    }
}

CSFDateTimeCtrl* CSysTabEventImp::TimeCtrl(UINT which) const
{
    switch (which) {
    case ID_MANUAL_DATE: return m_pManualDate;
    case ID_MANUAL_TIME: return m_pManualTime;
    case ID_REBOOT_TIME: return m_pRebootTime;
    case 1: return m_pStartTime;
    case 2: return m_pEndTime;
    default: return nullptr;
    }
}

CSFStatic* CSysTabEventImp::ErrorLabel(UINT id) const
{
    return id == ID_NEW ? m_pwd.newError : id == ID_CONFIRM ? m_pwd.confirmError : m_pOldError;
}
