#include "Widgets/CSFQTDialog.h"

#include <new>

#include <QFontMetrics>
#include <QIcon>

#include "Widgets/SFFactory.h"

CSFQTDialog::CSFQTDialog(ISFDialogEvent* sink, void* parent, int /*flags*/) : CSFSkinnedWindow(sink, parent, false)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    connect(this, &CSFQTDialog::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
}

CSFQTDialog::~CSFQTDialog()
{
    if (m_pSink) {
        m_pSink->SFSetUIWnd(nullptr);
        m_pSink->Dlg_Destroy();
    }
}

int CSFQTDialog::DoModalDlg()
{
    setWindowModality(Qt::ApplicationModal);
    setModal(true);
    if (m_pSink)
        m_pSink->Dlg_OnInitDialog(false);
    QWidget::setFocus(Qt::OtherFocusReason);
    const int result = exec();
    return result == 0 ? 2 : result;
}

void CSFQTDialog::CenterWindow(void**)
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    m_centrePos = SFCentredPosition(s->availableGeometry(), m_skin.m_width, m_skin.m_height, m_skin.m_baseWidth,
                                    m_skin.m_baseHeight);
    move(m_centrePos);
}

int CSFQTDialog::ModifyDlgStyleEx(DWORD remove, DWORD add, UINT)
{
    const bool visible = isVisible();
    Qt::WindowFlags f = windowFlags();
    f &= ~Qt::WindowFlags(static_cast<int>(remove));
    f |= Qt::WindowFlags(static_cast<int>(add));
    setWindowFlags(f);
    if (visible)
        show();
    return 1;
}

void CSFQTDialog::SetDlgIcon(const wchar_t* iconFile)
{
    const QIcon icon = SFSkinIcon(SFFromWide(iconFile));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

void CSFQTDialog::accept()
{
    if (m_pSink)
        m_pSink->Dlg_OnOK();
    QDialog::accept();
}

void CSFQTDialog::reject()
{
    if (m_pSink)
        m_pSink->Dlg_OnCancel();
    QDialog::reject();
}

void CSFQTDialog::RequestWindow(WindowRequest request)
{
    switch (request) {
    case RequestClose: emit sgnClose(); break;
    case RequestMaximized: emit sgnMaximized(); break;
    case RequestMinimized: emit sgnMinimized(); break;
    case RequestNormal: emit sgnNormal(); break;
    }
}

void CSFQTDialog::UpdateTitle(const QString& text)
{
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    int x = 15;
    if (m_skin.m_titleAlign == 1)
        x = (width() - 1 - tw) / 2;
    else if (m_skin.m_titleAlign == 2)
        x = width() - 1 - tw;
    QLabel* label = TitleLabelFor(text);
    label->setGeometry(QRect(QPoint(x, 5), QPoint(x + tw + 1, th + 6)));
    if (m_skin.m_titleColor.isValid()) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, m_skin.m_titleColor);
        label->setPalette(pal);
    }
}

CSFDialog* CreateSFDialog(ISFDialogEvent* sink, void* parent, int flags)
{
    return new (std::nothrow) CSFQTDialog(sink, parent, flags);
}

void DestroySFDialog(CSFDialog* dialog)
{
    delete dialog;
}
