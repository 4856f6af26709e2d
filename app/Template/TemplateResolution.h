// Names of the 44 picture sizes of the shared resolution tables, index for index (untranslated
// keys: show them through Tr).
#pragma once

enum : int { TEMPLATE_RESOLUTION_COUNT = 44 };

// The name at index 0-43; "QQNHD" (the name of index 0) outside that range.
const wchar_t* GetTemplateResolutionName(int index);
// The name of a size in the PAL (standard 0) or NTSC (any other) table; a size in neither gives
// the name of index 0.
const wchar_t* GetTemplateResolutionName(int width, int height, int videoStandard);
