#include "platform/controls/TabBar.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QToolButton>

namespace {

class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    TabAccessible(TabBar* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_bar.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        const QString name = m_bar->accessibleTabName(m_index);
        return name.isEmpty() ? QString(m_bar->tabText(m_index)).remove(u'&') : name;
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid() || !m_bar->isVisible())
            return {};
        const QRect r = m_bar->tabRect(m_index);
        return {m_bar->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.invisible = !m_bar->isVisible();
        s.disabled = !m_bar->isTabEnabled(m_index);
        s.focusable = m_bar->focusPolicy() != Qt::NoFocus;
        s.selectable = true;
        s.selected = m_index == m_bar->currentIndex();
        s.focused = s.selected && m_bar->hasFocus();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (isValid() && action == pressAction())
            m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TabBar> m_bar;
    int m_index;
};

// The tabs first, then the bar's child buttons (the scroll arrows).
class TabBarAccessible : public QAccessibleWidget
{
public:
    explicit TabBarAccessible(TabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~TabBarAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return bar()->count() + int(buttons().size()); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0)
            return nullptr;
        if (index < bar()->count()) {
            if (index >= m_tabs.size() || !QAccessible::accessibleInterface(m_tabs.at(index))) {
                while (m_tabs.size() <= index)
                    m_tabs.append(QAccessible::registerAccessibleInterface(
                        new TabAccessible(bar(), int(m_tabs.size()))));
            }
            return QAccessible::accessibleInterface(m_tabs.at(index));
        }
        const QList<QToolButton*> arrows = buttons();
        const int i = index - bar()->count();
        return i < arrows.size() ? QAccessible::queryAccessibleInterface(arrows.at(i)) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }

private:
    TabBar* bar() const { return static_cast<TabBar*>(widget()); }
    QList<QToolButton*> buttons() const
    {
        return bar()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    }

    mutable QList<QAccessible::Id> m_tabs;
};

QAccessibleInterface* tabBarFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(TabBar::staticMetaObject.className()))
        if (auto* bar = qobject_cast<TabBar*>(object))
            return new TabBarAccessible(bar);
    return nullptr;
}

} // namespace

TabBar::TabBar(QWidget* parent) : QTabBar(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(tabBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
