#include "Widgets/CSFQTPictureEx.h"

#include <new>

#include <QMovie>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

CSFQTPictureEx::CSFQTPictureEx(ISFPictureExEvent* sink) : QLabel(nullptr), CSFPictureEx(sink)
{
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    // Transparent parts of the animation show the parent's background.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    m_pMovie = new QMovie(this);
}

CSFQTPictureEx::~CSFQTPictureEx()
{
    delete m_pMovie;
}

int CSFQTPictureEx::Create(const wchar_t*, DWORD, const RECT& rect, void* parent, UINT)
{
    setGeometry(SFRectInclusive(rect));
    setParent(static_cast<QWidget*>(parent));
    return 1;
}

void CSFQTPictureEx::ShowWindow(int show)
{
    m_bRun = show != 0;
    setVisible(show != 0);
    if (!show)
        m_pMovie->stop();
    else
        RunIfShown();
}

// The animation is read and played only while it can be seen: reading it loads the image plugin.
void CSFQTPictureEx::RunIfShown()
{
    if (m_bRun && isVisible() && !m_pMovie->fileName().isEmpty() && m_pMovie->state() != QMovie::Running)
        m_pMovie->start();
}

void CSFQTPictureEx::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    RunIfShown();
}

void CSFQTPictureEx::hideEvent(QHideEvent* event)
{
    QLabel::hideEvent(event);
    m_pMovie->stop();
}

void CSFQTPictureEx::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectExclusive(*rect));
}

int CSFQTPictureEx::Load(const wchar_t* name, int)
{
    m_pMovie->stop();
    setMovie(m_pMovie);
    m_pMovie->setFileName(SFSkinPath(name ? std::wstring(name) : std::wstring()));
    m_bRun = true;
    RunIfShown();
    return 1;
}

int CSFQTPictureEx::SetAnimation(int run)
{
    if (!m_pMovie->isValid())
        return 0;
    m_bRun = run != 0;
    if (run)
        RunIfShown();
    else
        m_pMovie->stop();
    return 1;
}

CSFPictureEx* CreateSFPictureEx(ISFPictureExEvent* sink)
{
    return new (std::nothrow) CSFQTPictureEx(sink);
}
