// Unattended run for the screenshot test and the start-up benchmark. With VX_SELFTEST_SCREENSHOT
// set to a PNG path, the program writes "first-paint-epoch-ms=<ms>" to stderr at the main
// window's first paint, saves what the screen shows of the main window to that path after
// VX_SELFTEST_DELAY_MS (default 1500) ms, clicks the tool bar's close button and, once the
// window has closed, writes "peak-rss-kib=<KiB>". Without the variable nothing happens.
#pragma once

#include <memory>

class CMainFrameEventImp;

// Arms the run when the variable is set; answers whether it did.
bool ArmShellSelfTest(const std::shared_ptr<CMainFrameEventImp>& mainFrame);
// Writes the peak memory line when a run is armed.
void FinishShellSelfTest();
