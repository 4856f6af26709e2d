// Skin records that many pages and dialogs build the same way.
#pragma once

#include "Widgets/SFSkinStyle.h"

// The framed dialog on the tiled "background.png" body, white title, close button at 11,41.
void FillFramedDialogSkin(DialogStyle& style);
// The plain dialog on the tiled "bgColorWhite.png" body: a title band titleHeight pixels high
// (27 for message boxes, 30 for notices and settings), white title, close button at 11,41.
void FillWhiteDialogSkin(DialogStyle& style, int titleHeight);
// Normal, hover, pressed and disabled images of a button.
ImageButtonStyle MakeButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                                const wchar_t* disabled);
// Check-style radio images: three checked, three unchecked, then the two disabled ones.
ImageRadioBox MakeRadioSkin(const wchar_t* checked, const wchar_t* unchecked, const wchar_t* disabledChecked,
                            const wchar_t* disabledUnchecked);
