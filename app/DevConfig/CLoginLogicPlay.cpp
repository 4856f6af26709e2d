// Worker: live view into the player, the first-data notice, the focus assistant and the hand-over
// of decoded pictures to the GUI thread.
#include "DevConfig/CLoginLogic.h"

#include "Common/SynSmartPtr.h"
#include "Common/YuvConvert.h"
#include "DevConfig/DebugOut.h"
#include "DevConfig/LoginPost.h"
#include "devsdk/CfgSdk.h"

#include <cstring>
#include <vector>

using namespace devconfig;

void RealDataCallBack(LONG, DWORD, BYTE* pBuffer, DWORD dwBufSize, LONG, void* dwUser)
{
    auto* self = static_cast<CLoginLogic*>(dwUser);
    if (!self)
        return;
    if (self->m_nFirstDataPending.load() == 0) {
        PlayerInputData(self->m_lPlayPort.load(), pBuffer, dwBufSize);
        return;
    }
    // The first block of a live view only announces that data flows.
    if (self->m_nNotifyOnFirstData.exchange(0) == 1)
        self->PostUi([](CLoginUILogic& ui) { ui.UpdateEnable(); }, "&CLoginUILogic::UpdateEnable",
                     "RealDataCallBack", __LINE__);
    self->m_nFirstDataPending = 0;
}

void CLoginLogic::Task_StartPlay(int channel, HWND window)
{
    // A live view still running is ended first, so that its stream cannot feed the new port.
    if (m_lPlayPort.load() || m_lRealHandle) {
        if (m_lRealHandle) {
            SdkStopRealPlay(m_lRealHandle);
            SdkSetRealDataCallBack(m_lRealHandle, nullptr, this, kRealDataTypeMask);
        }
        ReleasePlayPort();
    }
    LONG real = SdkStartRealPlay(m_lLoginID, channel, nullptr);
    if (real == 0)
        DevConfigDebug("Error type:%ld", long(SdkGetLastError()));
    m_lRealHandle = real;
    m_nLiveChannel = channel;
    PostUi([real](CLoginUILogic& ui) { ui.Task_StartPlay_Ret(real); }, "&CLoginUILogic::Task_StartPlay_Ret",
           "CLoginLogic::Task_StartPlay", __LINE__);
    m_nFirstDataPending = 1;
    m_nNotifyOnFirstData = 1;
    char reason[256] = "";
    if (!PlayerDecoderLoaded(reason, sizeof reason)) {
        // No picture can be decoded: the video area says so instead.
        DevConfigDebug("Video decoder not loaded: %s", reason);
        PostUi([](CLoginUILogic& ui) { ui.Task_DecoderMissing(); }, "&CLoginUILogic::Task_DecoderMissing",
               "CLoginLogic::Task_StartPlay", __LINE__);
        return;
    }
    LONG port = 0;
    PlayerGetFreePort(&port);
    m_lPlayPort = port;
    SdkSetRealDataCallBack(real, RealDataCallBack, this, kRealDataTypeMask);
    PlayerOpenStream(port, nullptr, 0, kPlayerBufferBytes);
    PlayerPlay(port, window);
    // Pictures reach the video window through the hand-over below (no native window here).
    m_bFramePathOpen = true;
    PlayerSetDecodeCallBack(port, DecodeCallBack, this);
}

void CLoginLogic::Task_StopPlay(long handle)
{
    if (handle > 0) {
        SdkStopRealPlay(m_lRealHandle);
        SdkSetRealDataCallBack(m_lRealHandle, nullptr, this, kRealDataTypeMask);
        m_lRealHandle = 0;
    }
    ReleasePlayPort();
}

void CLoginLogic::Task_VideoInFocus()
{
    DevConfigDebug("VideoInFocus LoginID: %ld", long(m_lLoginID));
    const char* caller = "CLoginLogic::Task_VideoInFocus";
    auto fail = [&] {
        PostUi([](CLoginUILogic& ui) { ui.Task_VideoInFocus_Ret(false); }, "&CLoginUILogic::Task_VideoInFocus_Ret",
               caller, __LINE__);
    };
    std::vector<char> text(kVideoInOptionsTextBytes, '\0');
    int error = 0, restart = 0;
    if (!SdkGetNewConfig(m_lLoginID, "VideoInOptions", m_nLiveChannel, text.data(), DWORD(text.size()), &error,
                         3000))
        return fail();
    std::vector<unsigned char> record(kVideoInOptionsRecordBytes, 0);
    if (!SdkCfgParse("VideoInOptions", text.data(), record.data(), DWORD(record.size()), nullptr))
        return fail();
    if (record[kFocusSwitchOffset] != 1) {
        record[kFocusSwitchOffset] = 1;
        std::fill(text.begin(), text.end(), '\0');
        if (!SdkCfgPack("VideoInOptions", record.data(), DWORD(record.size()), text.data(), DWORD(text.size())))
            return fail();
        if (!SdkSetNewConfig(m_lLoginID, "VideoInOptions", m_nLiveChannel, text.data(), DWORD(text.size()), &error,
                             &restart, 3000))
            return fail();
    }
    PlayerSetInfoCallBack(m_lPlayPort.load(), FocusStatusCallBack, this);
    m_nFirstDataPending = 0;
    PostUi([](CLoginUILogic& ui) { ui.Task_VideoInFocus_Ret(true); }, "&CLoginUILogic::Task_VideoInFocus_Ret", caller,
           __LINE__);
}

void FocusStatusCallBack(const char* pJson, LONG, LONG, LONG, LONG, void* pUser)
{
    auto* self = static_cast<CLoginLogic*>(pUser);
    if (!pJson || !self)
        return;
    size_t len = strnlen(pJson, 4096);
    Json::CharReaderBuilder b;
    b["collectComments"] = false;
    b["stackLimit"] = 16;
    std::unique_ptr<Json::CharReader> reader(b.newCharReader());
    Json::Value root;
    std::string errs;
    try {
        if (!reader->parse(pJson, pJson + len, &root, &errs))
            return;
    } catch (const std::exception&) {
        return;
    }
    // A report of another shape is dropped: only an object with a numeric peak counts.
    if (!root.isObject())
        return;
    const Json::Value& status = root["FocusStatus"];
    if (!status.isObject())
        return;
    const Json::Value& peak = status["AutofocusPeak"];
    if (!peak.isNumeric() || peak.asDouble() < -2147483648.0 || peak.asDouble() > 2147483647.0)
        return;
    const int value = peak.asInt();
    DevConfigDebug("FocusStatus:%d", value);
    self->Task_FocusAF(value);
}

void CLoginLogic::Task_FocusAF(int value)
{
    PostUi([value](CLoginUILogic& ui) { ui.Task_FocusAF_Ret(value); }, "&CLoginUILogic::Task_FocusAF_Ret",
           "CLoginLogic::Task_FocusAF", __LINE__);
}

void CLoginLogic::Task_CancelInFocus() { PlayerSetInfoCallBack(m_lPlayPort.load(), nullptr, this); }

void DecodeCallBack(LONG nPort, char* pBuf, LONG nSize, FRAME_INFO* pFrameInfo, void* pUser, LONG)
{
    if (!pFrameInfo || pFrameInfo->nType != T_YV12 || !pUser)
        return;
    static std::atomic<int> s_lastTime{0};
    int t = PlayerQueryTime(nPort);
    if (s_lastTime.exchange(t) != t) {
        DevConfigDebug("time:%d", t);
    }
    static_cast<CLoginLogic*>(pUser)->OnVisibleDec(pBuf, nSize, pFrameInfo->nWidth, pFrameInfo->nHeight);
}

void CLoginLogic::OnVisibleDec(const char* data, long length, int width, int height)
{
    std::shared_ptr<CLoginUILogic> ui = m_wpUILogic.lock();
    if (!ui || !data || width <= 0 || height <= 0 || (width & 1) || (height & 1))
        return;
    const size_t pixels = size_t(width) * size_t(height);
    if (length < 0 || size_t(length) < pixels * 3 / 2)
        return; // not a whole 4:2:0 picture
    // The worker waits until the GUI let go of the previous frame before it overwrites the buffer.
    while (m_bFramePathOpen.load() && m_pRenderEvent->Wait(100) != SF_SOFT_BASE::SF_WAIT_OBJECT_0) {
    }
    if (!m_bFramePathOpen.load())
        return;
    if (width != m_nFrameWidth || height != m_nFrameHeight || !m_pFrameBuffer) {
        m_nFrameWidth = width;
        m_nFrameHeight = height;
        m_pFrameBuffer = std::make_shared<std::string>(pixels * 4, '\0');
        m_pSpareFrame.reset();
    }
    // A buffer the GUI still holds is not written: the spare one takes the frame, or a fresh one.
    if (m_pFrameBuffer.use_count() > 1) {
        std::swap(m_pFrameBuffer, m_pSpareFrame);
        if (!m_pFrameBuffer || m_pFrameBuffer.use_count() > 1)
            m_pFrameBuffer = std::make_shared<std::string>(pixels * 4, '\0');
    }
    const auto* y = reinterpret_cast<const uint8_t*>(data);
    Yuv420ToRgb32(reinterpret_cast<uint32_t*>(&(*m_pFrameBuffer)[0]), width, y, y + pixels, y + pixels * 5 / 4,
                  width, width / 2, width, height);
    auto syn = std::make_shared<SynSmartPtr>(m_pRenderEvent);
    std::shared_ptr<std::string> frame = m_pFrameBuffer;
    const int w = width, h = height;
    PostUi([frame, w, h, syn](CLoginUILogic& ui) mutable {
               ui.OnQTRenderSubWin(frame, w, h, syn);
           },
           "&CLoginUILogic::OnQTRenderSubWin", "CLoginLogic::OnVisibleDec", __LINE__);
}
