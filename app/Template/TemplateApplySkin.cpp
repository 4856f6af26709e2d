#include "Template/TemplateApplySkin.h"

#include "Main/DeviceListSkins.h"
#include "Widgets/SFSkinStyle.h"

void FillTemplateApplyDialogStyle(DialogStyle* style)
{
    if (style)
        FillCommonDialogSkin(*style);
}
