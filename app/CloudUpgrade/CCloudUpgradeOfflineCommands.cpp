// Import and export commands of the cloud upgrade page: the offline exchange of device information
// is joined here.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

void CCloudUpgradeEventImp::OnBtnGetIngfo() {}
void CCloudUpgradeEventImp::OnBtnSaveInfo() {}
