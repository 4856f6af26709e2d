// The frame skin shared by the apply progress and apply result dialogs.
#pragma once

struct DialogStyle;

void FillTemplateApplyDialogStyle(DialogStyle* style);
