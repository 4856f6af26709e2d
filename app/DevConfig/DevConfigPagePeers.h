// The configuration logic's peers in the running program: the device configuration page, its
// configuration window and the main window.
#pragma once

#include <memory>

#include "DevConfig/DevConfigPeers.h"

class CDevConfigEventImp;

std::shared_ptr<IDevConfigPeers> CreateDevConfigPagePeers(std::weak_ptr<CDevConfigEventImp> page,
                                                          std::weak_ptr<CMainFrameEventImp> mainFrame);
