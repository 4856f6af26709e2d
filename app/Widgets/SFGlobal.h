// Global functions of the widget framework (GUI thread, except SFPostCustomEvent).
#pragma once

#include <string>

#include "os/WinTypes.h"

class QApplication;
class QObject;
class QString;

#if __has_include("Common/AppPath.h")
#include "Common/AppPath.h"
#else
class QCoreApplication;
std::wstring SFGetAppPath();
void SFRememberApplication(QCoreApplication* app);
#endif

// Remembers the application and makes its directory the current directory.
void SFInitApplication(QApplication* app);
void SFInitialize();
void SFUninitialize();
// Application object remembered by SFInitApplication, or null.
QApplication* SFGetApplication();
// Stores the skin directory that every SetSkin prefixes image names with.
void SFSetSkinPath(const wchar_t* dir);
// Reads the style sheet file (UTF-8) and applies it to the application; a missing file, or one
// that holds only comments while no sheet is applied, changes nothing.
void SFLoadStyleSheet(std::wstring path);
// Whether a style sheet text holds anything but white space and comments.
bool SFStyleSheetHasRules(const QString& sheet);
// Posts UI message `id` with `data` to the widget `target` (any thread). Dropped when the
// target is null or not a widget; the caller then keeps the data.
void SFPostCustomEvent(void* target, int id, void* data);
// Primary screen rectangle with inclusive right and bottom; zeros before SFInitApplication.
void SFGetScreenRect(RECT* rect);
// Modal file (pickFile != 0) or folder chooser; answers 1 when a choice was made.
int SFFileDialog(void* folderResult, wchar_t* fileBuf, int capacity, int pickFile, const wchar_t* unused1,
                 const wchar_t* mode, const wchar_t* unused2, DWORD flags, const wchar_t* filter, void* parent);
// Converts UTF-8 to the local 8-bit code page (UTF-8 here) into out, with its terminator.
void SFUtf8ToLocal8Bit(const char* utf8, char* out);

// Wide-character position where the folder chooser writes its result.
enum { SF_FOLDER_RESULT_OFFSET = 1040 };
