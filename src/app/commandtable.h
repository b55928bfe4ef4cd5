#pragma once
// Menu items wired to the main window's handlers by table, each handler run through
// RunReportingFailures so that a failure is reported rather than thrown into the event loop.

#include "services/errorreport.h"

#include <QAction>
#include <QMenu>
#include <QVariant>
#include <initializer_list>
#include <utility>

template <typename Window>
void ConnectCommands(Window *window, std::initializer_list<std::pair<QAction *, void (Window::*)()>> commands)
{
    for (const auto &[action, handler] : commands)
        QObject::connect(action, &QAction::triggered, window, Guarded(window, handler));
}

// A menu of numbered items: the item's "index" names it to the handler.
template <typename Window>
void ConnectNumberedItems(QMenu *menu, Window *window, void (Window::*handler)(int))
{
    QObject::connect(menu, &QMenu::triggered, window, [window, handler](QAction *item) {
        const QVariant index = item->property("index");
        if (index.isValid())
            RunReportingFailures([&] { (window->*handler)(index.toInt()); });
    });
}
