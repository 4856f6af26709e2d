// The application directory (forward slashes, no trailing slash).
#pragma once

#include <string>

class QCoreApplication;

// While an application is remembered: its directory, read and stored on each call. Otherwise the last
// stored value (empty before any).
std::wstring SFGetAppPath();
void SFRememberApplication(QCoreApplication* app);
// Stores a directory and forgets the remembered application.
void SFSetAppPathForTest(const std::wstring& path);
