// The frame skin and the window steps shared by the apply progress and apply result dialogs.
#pragma once

#include <memory>

#include "Widgets/SFTypes.h"

struct DialogStyle;
class CSFDialog;
class CSFStatic;
class ISFDialogEvent;
class ISFStaticEvent;
class ITemplateApplyRun;

void FillTemplateApplyDialogStyle(DialogStyle* style);

// Makes the hidden, centred dialog into dialog, a window of the owner's page when the owner is one.
void CreateTemplateApplyDialog(ISFDialogEvent* sink, const std::weak_ptr<ITemplateApplyRun>& owner,
                               const wchar_t* title, int width, int height, CSFDialog*& dialog);

// Destroys the dialog unless it went with its parent (the sink's window is then already gone).
void DestroyTemplateApplyDialog(ISFDialogEvent* sink, CSFDialog*& dialog);

// The empty text at rect whose words wrap, anywhere if they must.
CSFStatic* CreateTemplateApplyText(ISFStaticEvent* sink, const RECT& rect, void* wnd);
