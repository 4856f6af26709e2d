// The cloud upgrade page's download and upgrade commands.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

void CCloudUpgradeEventImp::OnBtnDownLoadFile() {}
void CCloudUpgradeEventImp::OnBtnKeyUpgrade() {}
void CCloudUpgradeEventImp::OnRowDownload(int) {}
void CCloudUpgradeEventImp::OnRowUpgrade(int) {}
void CCloudUpgradeEventImp::OnRowUpgradeResult(int) {}
