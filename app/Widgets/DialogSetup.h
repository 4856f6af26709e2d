// The steps most skinned dialogs take to come up: the hidden, centred window and its usual
// buttons.
#pragma once

#include "Widgets/SFTypes.h"

struct DialogStyle;
class CSFButton;
class CSFDialog;
class ISFButtonEvent;

// When the dialog gets its size: after Create, or before it for dialogs that lay their controls
// out from their client rectangle while Create builds them.
enum class DialogSizing { AfterCreate, BeforeCreate };

// Skins a dialog just made by CreateSFDialog (nothing when null), titles it with the translation
// of title, sizes it width x height, centres and hides it. Its Create builds the sink's controls
// on the way, so the caller keeps the dialog before this is called.
void SetUpSkinnedDialog(CSFDialog* dialog, DialogStyle& style, const wchar_t* title, int width, int height,
                        DialogSizing sizing = DialogSizing::AfterCreate);

// The 24x24 close button at the top right of a dialog whose right edge is at right.
CSFButton* CreateCloseButton(ISFButtonEvent* sink, void* wnd, int right, UINT id);

// A button on the plain text-button images, with the translation of text.
CSFButton* CreateTextButton(ISFButtonEvent* sink, const wchar_t* text, DWORD style, const RECT& rect, void* wnd,
                            UINT id);
