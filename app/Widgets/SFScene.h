// Graphics scene interfaces of the video widgets.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageHorizontalStyle;
struct ImageVericalStyle;
struct ImageSimulationlStyle;

class ISFVerticalSceneEvent {};
class ISFVerticalSceneCEvent {};

class CSFHorizontalScene {
public:
    CSFHorizontalScene() {}
    CSFHorizontalScene(const CSFHorizontalScene&) = default;
    CSFHorizontalScene& operator=(const CSFHorizontalScene&) = default;
    virtual ~CSFHorizontalScene() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 1; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageHorizontalStyle*) { return 1; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void ChangeAngle(double) {}
    virtual void ChangeDis(double, double, double, double, int) {}
};

class CSFVerticalScene {
public:
    explicit CSFVerticalScene(ISFVerticalSceneEvent* sink = nullptr) : m_pSink(sink) {}
    CSFVerticalScene(const CSFVerticalScene&) = default;
    CSFVerticalScene& operator=(const CSFVerticalScene&) = default;
    virtual ~CSFVerticalScene() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 1; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageVericalStyle*) { return 1; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetObjectDW(int, int) {}
    virtual void SetRealXY(int, int) {}
    virtual void SetVirtualHeight(double) {}
    virtual void SetRes(int, int) {}

protected:
    ISFVerticalSceneEvent* m_pSink;
};

class CSFVerticalSceneC {
public:
    explicit CSFVerticalSceneC(ISFVerticalSceneCEvent* sink = nullptr) : m_pSink(sink) {}
    CSFVerticalSceneC(const CSFVerticalSceneC&) = default;
    CSFVerticalSceneC& operator=(const CSFVerticalSceneC&) = default;
    virtual ~CSFVerticalSceneC() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 1; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageVericalStyle*) { return 1; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetObjectDW(int, int) {}
    virtual void SetRealXY(int, int) {}
    virtual void SetVirtualHeight(double) {}
    virtual void SetRes(int, int) {}
    virtual void SetParam(double, double, double) {}

protected:
    ISFVerticalSceneCEvent* m_pSink;
};

class CSFSimulationScene {
public:
    CSFSimulationScene() {}
    CSFSimulationScene(const CSFSimulationScene&) = default;
    CSFSimulationScene& operator=(const CSFSimulationScene&) = default;
    virtual ~CSFSimulationScene() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 1; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageSimulationlStyle*) { return 1; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void ChangeScale(double, double, double, double) {}
};
