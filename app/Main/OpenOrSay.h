// The shell's "open" of a manual, a web site or a device's web page, with a word to the user
// when nothing could be started for it.
#pragma once

// Opens the target (UTF-8 path or address); when no program starts for it, a message box over
// `parent` names the target and what to install. Answers whether it opened.
bool OpenOrSay(const char* target, void* parent);

// Saves the settings; when that fails, a message box over `parent` names the settings file.
// Answers whether they were saved.
bool SaveSettingsOrSay(void* parent);
