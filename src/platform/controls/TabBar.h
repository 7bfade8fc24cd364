#pragma once

#include <QTabBar>

// A tab bar that a screen reader reads with a name of its own. Qt reads a tab
// bar by its current tab's text, so the bar and that tab sound alike; this
// one is read by its accessible name, its tabs by their texts, and its scroll
// arrows as the child buttons they are.
class TabBar : public QTabBar
{
    Q_OBJECT
public:
    explicit TabBar(QWidget* parent = nullptr);
};
