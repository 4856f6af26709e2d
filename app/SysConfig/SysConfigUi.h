// Small builders shared by the system configuration page and its dialogs: rectangles, skins,
// labels, and the password fields with their "input error" labels and strength bars.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFRect.h"
#include "Widgets/SkinRecords.h"
#include "Widgets/SFStatic.h"

class CSFDialog;
class ISFDialogEvent;

namespace sysui {

// Colours in the framework's 0x00BBGGRR form.
constexpr UINT kGreyBar = 0xBEBEBE;
constexpr UINT kGreenBar = 0x41BE47;
constexpr UINT kRed = 0x0000FF;
constexpr UINT kHintGrey = 0x969696;
constexpr UINT kNoteRed = 0x3636B9;
constexpr UINT kBand = 0xF5EFED;


ImageButtonStyle PlainButtonSkin();   // btn_nor / btn_over / btn_down / btn_dis
ImageButtonStyle BigButtonSkin();     // button_h / button_h / button_p / button_d
// The skin shared by the reset and password dialogs.
void StandardDialogSkin(DialogStyle& style);
// A dialog in that skin: titled, of the given size, centred and hidden; null when it cannot be made.
CSFDialog* CreateStandardDialog(ISFDialogEvent* sink, void* parent, const wchar_t* title, int width, int height);

// A label (translated text) with alignment flags; null sink.
CSFStatic* Label(const wchar_t* text, RECT rc, void* parent, UINT align, UINT colour = 0, bool colourSet = false);
CSFButton* Button(const wchar_t* text, RECT rc, void* parent, UINT id, const ImageButtonStyle& skin,
                  ISFButtonEvent* sink = nullptr);
// The close button of a skinned dialog at (R-25, 2, R-1, 26).
CSFButton* CloseButton(int right, void* parent, ISFButtonEvent* sink = nullptr);

// New and confirm password fields with error labels and three strength bars.
struct PasswordFields {
    CSFEditCtrl* newEdit = nullptr;
    CSFEditCtrl* confirmEdit = nullptr;
    CSFStatic* newError = nullptr;
    CSFStatic* confirmError = nullptr;
    CSFStatic* bars[3] = {};
    CSFStatic* words[3] = {};

    // Builds the bars with their words over them at x0, x0+62, x0+124 (60 wide).
    void BuildBars(void* parent, int x0, int barTop, int wordTop);
    void PaintBars(int strength);
    // Field rule while typing (ids 1151 and 1152): at most 32 characters, the first forbidden
    // character removed with the error label shown, the text put back; bars for the new field.
    void OnTextChange(UINT id, const wchar_t* text);
    void Clear();
    void ShowAll(int show);
};

// A white field with a thin grey border, whatever its width.
void FrameEdit(CSFEditCtrl* edit, bool enabled = true);
// Enables or disables a field and keeps its border.
void EnableEdit(CSFEditCtrl* edit, bool enable);
// Reads at most max characters of an edit.
std::wstring EditText(const CSFEditCtrl* edit, int max);
// The first failing password rule as its message key, or null when new and confirm pass.
// old is compared only when compareOld is set.
const wchar_t* PasswordProblem(const std::wstring& newPwd, const std::wstring& confirm, const std::wstring& old,
                               bool compareOld);

// Chooses a folder (mode 0) or an existing file matching filter (mode 1); empty when cancelled.
// Tests replace it.
extern std::function<std::wstring(int mode, const std::wstring& filter, void* parent)> ChooseFile;

} // namespace sysui

class CMsgDlgEventImp;

namespace sysui {

// A message box without buttons shown while the dialog waits for the devices.
class WaitBox {
public:
    WaitBox();
    ~WaitBox();
    void CreateBox(const wchar_t* waitText, void* parent);
    void Show(bool show);
    // Deletes the box; call before its parent dialog goes.
    void Destroy();
    bool IsShown() const { return m_bShown; }

private:
    std::unique_ptr<CMsgDlgEventImp> m_sink;
    CSFDialog* m_pDialog = nullptr;
    bool m_bShown = false;
};

} // namespace sysui
