// What the template export page asks of the editor shell that owns it. The shell implements this
// next to its own page interface (ISFViewEvent), whose window becomes the page's parent. GUI thread.
#pragma once

#include <memory>

class CDeviceListUILogic;
struct tagTEMPLATEINFO;

class ITemplateExportShell {
public:
    virtual ~ITemplateExportShell() = default;
    // Gives the exported record to the editor of the device class (1 IPC, 2 SD, 4 DVR, 8 NVR) and
    // checks that type's button; nonzero when an editor took it.
    virtual int LoadExportedTemplate(int devClass, tagTEMPLATEINFO* info) = 0;
    // Hides the export page and enters editing.
    virtual void EndExport() = 0;
    // The device list (through the template page and the main window); may be empty.
    virtual std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() = 0;
};
