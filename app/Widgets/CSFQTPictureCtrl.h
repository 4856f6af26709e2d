// Label that draws one image scaled to its area with a centred text, behind CSFPictureCtrl.
#pragma once

#include <QLabel>
#include <QPixmap>

#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFSkin.h"

class CSFQTPictureCtrl : public QLabel, public CSFPictureCtrl {
    Q_OBJECT
public:
    explicit CSFQTPictureCtrl(ISFPictureCtrlEvent* sink);

    int Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin() override { return 1; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetImage(const wchar_t* name, bool fullPath) override;
    void SetImageWithPath(const wchar_t* path) override;
    void SetDrawPicture(int) override {}
    void* GetHWnd() override { return static_cast<QWidget*>(this); }
    void SetWindowTextW(const wchar_t* text) override;
    void SetMaxHeight(int h) override { setMaximumHeight(h); }
    void SetMaxWidth(int w) override { setMaximumWidth(w); }
    void SetMinWidth(int w) override { setMinimumWidth(w); }

    // Decoded when first drawn (or asked for here).
    const QPixmap& Image() const { return m_image.Get(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SFLazySkinImage m_image;
    int m_nId = -1;
};
