#include "Main/OpenOrSay.h"

#include <QString>

#include <string>

#include "Common/AppSettings.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/SFSystem.h"
#include "Common/Translate.h"

bool OpenOrSay(const char* target, void* parent)
{
    if (!target)
        return false;
    if (SF_SOFT_BASE::CSFSystem::OpenFile(target))
        return true;
    std::wstring text = Tr(L"No program could be started to open:");
    text += L"\n" + QString::fromUtf8(target).toStdWString() + L"\n";
    text += Tr(L"Install a PDF viewer or a web browser and try again.");
    ShowMessageBox(text.c_str(), Tr(L"Attention"), parent, 0);
    return false;
}

bool SaveSettingsOrSay(void* parent)
{
    if (CAppSettings::Save())
        return true;
    std::wstring text = Tr(L"Failed to save the settings file.");
    text += L"\n" + QString::fromStdString(CConfigXMLPersistImp::ConfigFilePath()).toStdWString();
    ShowMessageBox(text.c_str(), Tr(L"Attention"), parent, 0);
    return false;
}
