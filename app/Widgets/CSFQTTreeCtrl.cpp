#include "Widgets/CSFQTTreeCtrl.h"

#include <new>

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
enum { kCheckBoxArea = 20 };
}

CSFQTTreeCtrl::CSFQTTreeCtrl(ISFTreeCtrlEvent* sink) : QTreeWidget(nullptr), CSFTreeCtrl(sink)
{
    setColumnCount(1);
    header()->hide();
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setFocusPolicy(Qt::ClickFocus);
    setAnimated(true);
    setIconSize(QSize(50, 50));
    setMouseTracking(true);
    connect(this, &QTreeWidget::itemChanged, this, &CSFQTTreeCtrl::OnItemChanged);
    connect(this, &QTreeWidget::itemClicked, this, &CSFQTTreeCtrl::OnItemClick);
    connect(this, &QTreeWidget::currentItemChanged, this, &CSFQTTreeCtrl::OnCurItemChanged);
}

QTreeWidgetItem* CSFQTTreeCtrl::Item(void* handle)
{
    // The special handles are never items.
    if (handle == SF_TVI_ROOT || handle == SF_TVI_LAST)
        return nullptr;
    return static_cast<QTreeWidgetItem*>(handle);
}

int CSFQTTreeCtrl::Create(DWORD style, const RECT& rect, void* parent, UINT id, int, int checkBoxes)
{
    setParent(static_cast<QWidget*>(parent));
    setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    m_nId = id;
    m_bCheckBoxes = checkBoxes != 0;
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

int CSFQTTreeCtrl::SetSkin(UITreeCtrlStyle* style)
{
    if (!style)
        return 1;
    m_normal = SFParseColor(style->strTextColor);
    m_highlight = SFParseColor(style->strHighlightColor);
    m_iconA = SFSkinIcon(SFSkinPath(style->strIconA));
    m_iconB = SFSkinIcon(SFSkinPath(style->strIconB));
    return 1;
}

void CSFQTTreeCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTTreeCtrl::GetClientRect(RECT* rect)
{
    if (rect)
        *rect = RECT{0, 0, width() - 1, height() - 1};
}

void CSFQTTreeCtrl::SetEnable(int enable)
{
    setEnabled(enable != 0);
    if (enable == 1)
        setFocus();
}

void CSFQTTreeCtrl::SetObjectName(const wchar_t* name)
{
    setObjectName(SFFromWide(name));
}

// ---- Items -----------------------------------------------------------------------------------

void* CSFQTTreeCtrl::InsertItem(const wchar_t* text, void* parent, void* after)
{
    if (!parent)
        return nullptr;
    Quiet quiet(this);
    auto* item = new QTreeWidgetItem;
    item->setText(0, SFFromWide(text));
    if (m_bCheckBoxes)
        item->setCheckState(0, Qt::Unchecked);
    else
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    item->setForeground(0, m_normal);
    if (parent == SF_TVI_ROOT) {
        if (after == SF_TVI_LAST) {
            insertTopLevelItem(0, item);
        } else {
            const int at = indexOfTopLevelItem(Item(after));
            insertTopLevelItem(at + 1, item);
        }
    } else {
        QTreeWidgetItem* owner = static_cast<QTreeWidgetItem*>(parent);
        if (after == SF_TVI_LAST)
            owner->addChild(item);
        else
            owner->insertChild(owner->indexOfChild(Item(after)) + 1, item);
    }
    return item;
}

void CSFQTTreeCtrl::ForgetHighlights(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i)
        ForgetHighlights(item->child(i));
    m_highlighted.remove(item);
    if (m_pLastCheckItem == item)
        m_pLastCheckItem = nullptr;
}

int CSFQTTreeCtrl::DeleteItem(void* handle)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return 0;
    Quiet quiet(this);
    ForgetHighlights(item);
    delete item;
    return 1;
}

int CSFQTTreeCtrl::DeleteAllItems()
{
    Quiet quiet(this);
    while (QTreeWidgetItem* first = topLevelItem(0)) {
        ForgetHighlights(first);
        delete first;
    }
    m_highlighted.clear();
    m_pLastCheckItem = nullptr;
    return 1;
}

int CSFQTTreeCtrl::SetItemData(void* handle, DWORD data)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return 0;
    item->setData(0, Qt::UserRole, static_cast<uint>(data));
    return 1;
}

DWORD CSFQTTreeCtrl::GetItemData(void* handle) const
{
    const QTreeWidgetItem* item = Item(handle);
    return item ? static_cast<DWORD>(item->data(0, Qt::UserRole).toUInt()) : static_cast<DWORD>(-1);
}

int CSFQTTreeCtrl::GetTreeItemText(void* handle, wchar_t* buffer, int size)
{
    const QTreeWidgetItem* item = handle == SF_TVI_ROOT ? topLevelItem(0) : Item(handle);
    if (!item)
        return -1;
    return SFCopyText(item->text(0), buffer, size);
}

void CSFQTTreeCtrl::SetToolTipText(void* handle, const wchar_t* text)
{
    if (QTreeWidgetItem* item = Item(handle))
        item->setToolTip(0, SFFromWide(text));
}

int CSFQTTreeCtrl::SetItemIcon(void* handle, const wchar_t* name)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return 0;
    item->setIcon(0, SFSkinIcon(SFSkinPath(name ? std::wstring(name) : std::wstring())));
    return 1;
}

int CSFQTTreeCtrl::SetItemIcon(DWORD data, int which)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        QTreeWidgetItem* found = nullptr;
        if (top->data(0, Qt::UserRole).toUInt() == data) {
            found = top;
        } else {
            for (int c = 0; c < top->childCount() && !found; ++c) {
                if (top->child(c)->data(0, Qt::UserRole).toUInt() == data)
                    found = top->child(c);
            }
        }
        if (found) {
            found->setIcon(0, which ? m_iconA : m_iconB);
            return 1;
        }
    }
    return 0;
}

void CSFQTTreeCtrl::SetItemIconBack(void* handle, const wchar_t* name)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return;
    const std::wstring n = name ? std::wstring(name) : std::wstring();
    if (n.empty()) {
        item->setIcon(1, QIcon());
        return;
    }
    if (columnCount() < 2)
        setColumnCount(2);
    item->setIcon(1, SFSkinIcon(SFSkinPath(n)));
}

int CSFQTTreeCtrl::SetItemEnable(void* handle, int flag)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return 0;
    Quiet quiet(this);
    if (flag) {
        item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        item->setForeground(0, QColor(0, 255, 0));
    } else {
        item->setFlags(item->flags() | Qt::ItemIsEnabled);
        item->setForeground(0, QColor(255, 0, 0));
    }
    return 1;
}

void CSFQTTreeCtrl::SetItemHilight(void* handle, int on)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return;
    Quiet quiet(this);
    if (on) {
        item->setForeground(0, m_highlight);
        m_highlighted.insert(item, m_highlight);
        scrollToItem(item);
    } else {
        item->setForeground(0, m_normal);
        m_highlighted.remove(item);
    }
}

int CSFQTTreeCtrl::IsItemHilight(void* handle)
{
    QTreeWidgetItem* item = Item(handle);
    return item && m_highlighted.contains(item) ? 1 : 0;
}

int CSFQTTreeCtrl::IsAnyChildItemHilight(void* handle)
{
    if (handle == SF_TVI_ROOT) {
        for (int i = 0; i < topLevelItemCount(); ++i) {
            if (m_highlighted.contains(topLevelItem(i)))
                return 1;
        }
        return 0;
    }
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return 0;
    for (int i = 0; i < item->childCount(); ++i) {
        if (m_highlighted.contains(item->child(i)))
            return 1;
    }
    return 0;
}

// ---- Navigation ------------------------------------------------------------------------------

void* CSFQTTreeCtrl::GetRootItem() const
{
    return topLevelItem(0);
}

void* CSFQTTreeCtrl::GetChildItem(void* handle) const
{
    if (handle == SF_TVI_ROOT)
        return topLevelItem(0);
    QTreeWidgetItem* item = Item(handle);
    return item ? item->child(0) : nullptr;
}

void* CSFQTTreeCtrl::GetNextSiblingItem(void* handle) const
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return nullptr;
    if (QTreeWidgetItem* parent = item->parent())
        return parent->child(parent->indexOfChild(item) + 1);
    return topLevelItem(indexOfTopLevelItem(item) + 1);
}

void* CSFQTTreeCtrl::GetPrevSiblingItem(void* handle) const
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return nullptr;
    if (QTreeWidgetItem* parent = item->parent()) {
        const int at = parent->indexOfChild(item);
        return at > 0 ? parent->child(at - 1) : nullptr;
    }
    const int at = indexOfTopLevelItem(item);
    return at > 0 ? topLevelItem(at - 1) : nullptr;
}

void* CSFQTTreeCtrl::GetParentItem(void* handle) const
{
    QTreeWidgetItem* item = Item(handle);
    return item ? item->parent() : nullptr;
}

UINT CSFQTTreeCtrl::GetChildrenCount(void* handle) const
{
    QTreeWidgetItem* item = Item(handle);
    return item ? static_cast<UINT>(item->childCount()) : 0;
}

int CSFQTTreeCtrl::ItemHasChildren(void* handle) const
{
    if (handle == SF_TVI_ROOT)
        return topLevelItemCount();
    QTreeWidgetItem* item = Item(handle);
    return item ? item->childCount() : 0;
}

UINT CSFQTTreeCtrl::GetCount() const
{
    UINT count = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* top = topLevelItem(i);
        ++count;
        for (int c = 0; c < top->childCount(); ++c)
            count += 1 + static_cast<UINT>(top->child(c)->childCount());
    }
    return count;
}

void* CSFQTTreeCtrl::FindChildItem(const wchar_t* text, void* parent) const
{
    if (!parent)
        return nullptr;
    const QString wanted = SFFromWide(text);
    if (parent == SF_TVI_ROOT) {
        for (int i = 0; i < topLevelItemCount(); ++i) {
            if (topLevelItem(i)->text(0) == wanted)
                return topLevelItem(i);
        }
        return nullptr;
    }
    QTreeWidgetItem* item = Item(parent);
    if (!item)
        return nullptr;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (child->text(0) == wanted)
            return child;
        for (int g = 0; g < child->childCount(); ++g) {
            if (child->child(g)->text(0) == wanted)
                return child->child(g);
        }
    }
    return nullptr;
}

void CSFQTTreeCtrl::ExpandTreeItem(void* handle, UINT code)
{
    if (QTreeWidgetItem* item = Item(handle))
        item->setExpanded(code != 0);
}

UINT CSFQTTreeCtrl::GetItemState(void* handle, UINT) const
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return static_cast<UINT>(-1);
    return item->isSelected() ? 1 : 0;
}

// ---- Check boxes -----------------------------------------------------------------------------

int CSFQTTreeCtrl::SetCheck(void* handle, int check)
{
    QTreeWidgetItem* item = Item(handle);
    if (!item)
        return 0;
    if (m_bCheckBoxes) {
        Quiet quiet(this);
        item->setCheckState(0, check ? Qt::Checked : Qt::Unchecked);
    }
    return 1;
}

int CSFQTTreeCtrl::GetCheck(void* handle) const
{
    QTreeWidgetItem* item = Item(handle);
    return item && item->checkState(0) != Qt::Unchecked ? 1 : 0;
}

void CSFQTTreeCtrl::SetAllItemCheck(int check)
{
    const Qt::CheckState state = check ? Qt::Checked : Qt::Unchecked;
    QTreeWidgetItemIterator it(this);
    while (*it) {
        (*it)->setCheckState(0, state);
        ++it;
    }
}

int CSFQTTreeCtrl::IsAllItemCheck()
{
    if (topLevelItemCount() == 0)
        return 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->checkState(0) == Qt::Unchecked)
            return 0;
    }
    return 1;
}

void CSFQTTreeCtrl::SetCheckableFlag(QTreeWidgetItem* item, bool on)
{
    if (on)
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    else
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
}

void CSFQTTreeCtrl::SetSubtreeUserCheckable(QTreeWidgetItem* item, bool on)
{
    SetCheckableFlag(item, on);
    for (int i = 0; i < item->childCount(); ++i)
        SetSubtreeUserCheckable(item->child(i), on);
}

void CSFQTTreeCtrl::SetUserCheckable(int on)
{
    m_bUserCheckable = on != 0;
    Quiet quiet(this);
    for (int i = 0; i < topLevelItemCount(); ++i)
        SetSubtreeUserCheckable(topLevelItem(i), m_bUserCheckable);
}

void CSFQTTreeCtrl::SetItemUserCheckable(void* handle, int on)
{
    if (QTreeWidgetItem* item = Item(handle)) {
        Quiet quiet(this);
        SetCheckableFlag(item, on != 0);
    }
}

// ---- Events and propagation ------------------------------------------------------------------

bool CSFQTTreeCtrl::IsCheckBoxArea(QTreeWidgetItem* item, const QPoint& pos) const
{
    // A tree without check boxes has no check-box area: the whole row is its text.
    if (!m_bCheckBoxes)
        return false;
    const int left = visualItemRect(item).left();
    return pos.x() >= left && pos.x() < left + kCheckBoxArea;
}

void CSFQTTreeCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (item && event->button() == Qt::LeftButton && m_pSink) {
        if (IsCheckBoxArea(item, pos)) {
            const bool checkable = (item->flags() & Qt::ItemIsUserCheckable) != 0;
            if (checkable)
                m_pLastCheckItem = item;
            m_pSink->OnItemCheckBoxClick(item, checkable ? 1 : 0);
        } else if (item->parent() && !item->icon(1).isNull()) {
            POINT point{pos.x(), pos.y()};
            m_pSink->OnItemDbClick(item, point);
        }
    } else if (item && event->button() == Qt::LeftButton && IsCheckBoxArea(item, pos) &&
               (item->flags() & Qt::ItemIsUserCheckable)) {
        m_pLastCheckItem = item;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CSFQTTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (!item || event->button() != Qt::LeftButton)
        return;
    if (!item->parent()) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (!IsCheckBoxArea(item, pos) && m_pSink &&
        (!m_bCheckBoxes || pos.x() >= visualItemRect(item).left() + kCheckBoxArea)) {
        POINT point{pos.x(), pos.y()};
        m_pSink->OnItemDbClick(item, point);
    }
}

void CSFQTTreeCtrl::keyPressEvent(QKeyEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgKeyDown(static_cast<UINT>(event->modifiers()), static_cast<UINT>(event->key()));
}

void CSFQTTreeCtrl::OnItemChanged(QTreeWidgetItem* item, int)
{
    if (m_nQuiet > 0 || !m_pSink || !item)
        return;
    m_pSink->OnItemCheckStateChanged(item, item->checkState(0) == Qt::Checked ? 1 : 0);
}

void CSFQTTreeCtrl::OnItemClick(QTreeWidgetItem* item, int)
{
    if (!item)
        return;
    if (item == m_pLastCheckItem) {
        Propagate(item);
        return;
    }
    if (m_pSink)
        m_pSink->OnItemClick(item, 0);
}

void CSFQTTreeCtrl::CheckDown(QTreeWidgetItem* item, bool checked)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        const Qt::CheckState state = child->checkState(0);
        if (state == Qt::Checked && !checked)
            child->setCheckState(0, Qt::Unchecked);
        else if (state != Qt::Checked && checked)
            child->setCheckState(0, Qt::Checked);
        CheckDown(child, checked);
    }
}

void CSFQTTreeCtrl::CheckUp(QTreeWidgetItem* item, bool checked)
{
    // Stops at any top-level item: those have no parent to update.
    QTreeWidgetItem* current = item;
    while (QTreeWidgetItem* parent = current->parent()) {
        if (parent->checkState(0) == Qt::Checked) {
            if (checked)
                return;
            parent->setCheckState(0, Qt::Unchecked);
        } else {
            if (!checked)
                return;
            for (int i = 0; i < parent->childCount(); ++i) {
                QTreeWidgetItem* sibling = parent->child(i);
                if (sibling != current && sibling->checkState(0) != Qt::Checked)
                    return;
            }
            parent->setCheckState(0, Qt::Checked);
        }
        current = parent;
    }
}

void CSFQTTreeCtrl::Propagate(QTreeWidgetItem* item)
{
    const bool checked = item->checkState(0) == Qt::Checked;
    CheckDown(item, checked);
    CheckUp(item, checked);
}

CSFTreeCtrl* CreateSFTreeCtrl(ISFTreeCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTTreeCtrl(sink);
}
