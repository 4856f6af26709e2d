// Picture control interfaces.
#pragma once

#include <QPointF>
#include <QString>
#include <QVector>

#include "Widgets/SFTypes.h"

class QMouseEvent;
class QWheelEvent;
class QKeyEvent;

class ISFPictureCtrlEvent {
public:
    virtual void PICTRL_OnLButtonDown(UINT /*id*/, UINT /*flags*/, POINT) {}
    virtual void PICTRL_OnLButtonUp(UINT /*id*/, UINT /*flags*/, POINT) {}
    virtual void PICTRL_OnMouseMove(UINT /*id*/, UINT /*flags*/, POINT) {}
    virtual void PICTRL_SendPos(UINT, UINT, QPointF) {}
    virtual void PICTRL_WheelEvent(UINT, UINT, int, QPointF) {}
    virtual void PICTRL_DragEvent(UINT, UINT, int, int) {}
    virtual void PICTRL_SetShowXY(UINT, UINT, int, int) {}
};

class CSFPictureCtrl {
public:
    explicit CSFPictureCtrl(ISFPictureCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFPictureCtrl(const CSFPictureCtrl&) = default;
    CSFPictureCtrl& operator=(const CSFPictureCtrl&) = default;
    virtual ~CSFPictureCtrl() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetImage(const wchar_t* /*image*/, bool /*fit*/) {}
    virtual void SetImageWithPath(const wchar_t*) {}
    virtual void SetDrawPicture(int) {}
    virtual void SetDrawEnable(int enable) { m_bDrawEnable = enable != 0; }
    virtual void SetDragEnable(int) {}
    virtual void SetFullScreenEnable(int enable) { m_bFullScreenEnable = enable != 0; }
    virtual void SetWheelEnable(int enable) { m_bWheelEnable = enable != 0; }
    virtual void* GetHWnd() { return nullptr; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void ShowFullScreen(bool) {}
    virtual void mouseDoubleClickEvent(QMouseEvent*) {}
    virtual void mousePressEvent(QMouseEvent*) {}
    virtual void mouseMoveEvent(QMouseEvent*) {}
    virtual void mouseReleaseEvent(QMouseEvent*) {}
    virtual void wheelEvent(QWheelEvent*) {}
    virtual void keyPressEvent(QKeyEvent*) {}
    virtual void setCurrentPos(QPointF) {}
    virtual void addPos(QPointF) {}
    virtual void deletePos(QPointF) {}
    virtual void clearPos() {}
    virtual void setPos(QVector<QPointF>) {}
    virtual bool isHaveImg() { return m_bHaveImage; }
    virtual void refresh() {}
    virtual void drawPoint(QPointF) {}
    virtual void setScaleValue(int, QPointF) {}
    virtual void setMovedXY(int, int) {}
    virtual void setShowXY(int, int) {}
    virtual QString getImgPath() { return m_strImagePath; }
    virtual void SetMaxHeight(int) {}
    virtual void SetMaxWidth(int) {}
    virtual void SetMinWidth(int) {}

protected:
    ISFPictureCtrlEvent* m_pSink;
    bool m_bDrawEnable = false;
    bool m_bFullScreenEnable = false;
    bool m_bWheelEnable = false;
    bool m_bHaveImage = false;
    bool m_bFlag = false;
    QString m_strImagePath;
};
