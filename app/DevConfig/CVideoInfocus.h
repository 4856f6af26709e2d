// The modal "Focus Assistant": the installer samples the focus values that the camera reports
// while turning the lens to its maximum, then adjusts until the current value sits in the best
// area of the recorded curve. GUI thread only; the host window feeds the values in.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"

class CCodeVideoCfgEventImp;
class CSFStatic;
class CSFVideoInFocus;

class CVideoInfocus : public ISFDialogEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CVideoInfocus)

public:
    enum { ID_CLOSE = 502, ID_STOP = 1108, ID_ADJUST = 1109, ID_SAMPLE = 1110, ID_GRAPH = 1111 };
    enum { ModeIdle = 0, ModeSampling = 1, ModeAdjusting = 2 };

    explicit CVideoInfocus(CCodeVideoCfgEventImp* host);
    ~CVideoInfocus() override;

    void CreateFocusDialog();
    CSFDialog* GetDialog() const { return m_pDialog; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    // The window is going: a parent widget may delete it before this object.
    void Dlg_Destroy() override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnFocusExtra(int) {}

    // A focus value of the device; recorded only while sampling or adjusting.
    void AddFocusValue(int value);
    void SetFocusString(const wchar_t* text, int which);

    // Button reactions: Stop, Sample, Adjust and close.
    void ResetFocus();
    void OnSample();
    void OnAdjust();
    void OnCloseFocus();

    int Mode() const { return m_nMode; }
    CSFVideoInFocus* Graph() const { return m_pGraph; }
    CSFButton* Button(int id) const;

private:
    void EnableButtons(int sample, int adjust, int stop);

    CSFDialog* m_pDialog = nullptr;
    CCodeVideoCfgEventImp* m_pHost = nullptr;
    CSFStatic* m_pSteps[6] = {};
    CSFButton* m_pClose = nullptr;
    CSFButton* m_pSample = nullptr;
    CSFButton* m_pAdjust = nullptr;
    CSFButton* m_pStop = nullptr;
    CSFVideoInFocus* m_pGraph = nullptr;
    int m_nMode = ModeIdle;
};

// Makes the (hidden) focus assistant of a configuration window.
std::shared_ptr<CVideoInfocus> ShowVideoInfocusDlg(CCodeVideoCfgEventImp* host);
