// Everything a page needs of the widget framework.
#pragma once

#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFTabCtrl.h"
