#include "app/windowplacement.h"

#include "app/frmMain.h"
#include "app/minimumsize.h"
#include "services/configuration.h"
#include "services/twips.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionMenuItem>

#include <cmath>

namespace {

enum WindowStateCode { StateNormal = 0, StateMinimised = 1, StateMaximised = 2 };

// The width the bar needs to show every menu in one row, none behind its extension button.
int widthOfAllMenus(const QMenuBar &bar)
{
    bar.ensurePolished();
    const QStyle *style = bar.style();
    const int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, &bar);
    int width = 2 * (style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, &bar)
                     + style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, &bar));
    for (QAction *menu : bar.actions()) {
        if (!menu->isVisible())
            continue;
        QStyleOptionMenuItem option;
        option.initFrom(&bar);
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.text = menu->text();
        const QSize text = bar.fontMetrics().size(Qt::TextShowMnemonic, menu->text());
        width += style->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, &bar).width() + spacing;
    }
    // The date selection's title grows with the view's date field and the date shown.
    return width + bar.fontMetrics().horizontalAdvance(QString(20, QLatin1Char('x')));
}

// About three quarters of the screen, wide enough for every menu and for what the content needs,
// within the screen and centred on it.
QRect firstStartPlacement(frmMain &form)
{
    const QRect available = (form.screen() ? form.screen() : QGuiApplication::primaryScreen())->availableGeometry();
    QSize size = (available.size() * 3 / 4).expandedTo(form.minimumSize());
    size.setWidth(std::max(size.width(), widthOfAllMenus(*form.menuBar())));
    size = size.boundedTo(available.size());
    QRect placement(QPoint(), size);
    placement.moveCenter(available.center());
    return placement;
}

} // namespace

void MainWindowPlacement::restore(frmMain &form)
{
    const double split = Settings::readNumber(QStringLiteral("MainSplit"), 3500);
    const int state = int(Settings::readNumber(QStringLiteral("MainState"), StateNormal));
    UpdateMainWindowMinimumSize(form, split);
    if (std::isnan(Settings::readNumber(QStringLiteral("MainWidth"), qQNaN()))
        && std::isnan(Settings::readNumber(QStringLiteral("MainHeight"), qQNaN()))) {
        form.setGeometry(firstStartPlacement(form));
    } else {
        const double left = Settings::readNumber(QStringLiteral("MainLeft"), 1000);
        const double top = Settings::readNumber(QStringLiteral("MainTop"), 1000);
        const double width = Settings::readNumber(QStringLiteral("MainWidth"), 6500);
        const double height = Settings::readNumber(QStringLiteral("MainHeight"), 6500);
        form.setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width),
                         Twips::toPixelsY(height));
    }
    if (state == StateMaximised)
        form.setWindowState(Qt::WindowMaximized);
    else if (state == StateMinimised)
        form.setWindowState(Qt::WindowMinimized);
    form.imgSplitter->move(Twips::toPixelsX(split), form.imgSplitter->y());
}

void MainWindowPlacement::store(const frmMain &form)
{
    const int state = form.isMinimized() ? StateMinimised : form.isMaximized() ? StateMaximised : StateNormal;
    Settings::writeNumber(QStringLiteral("MainState"), state);
    const QRect normal = state == StateNormal ? form.geometry() : form.normalGeometry();
    Settings::writeNumber(QStringLiteral("MainLeft"), std::round(Twips::fromPixelsX(normal.x())));
    Settings::writeNumber(QStringLiteral("MainTop"), std::round(Twips::fromPixelsY(normal.y())));
    Settings::writeNumber(QStringLiteral("MainWidth"), std::round(Twips::fromPixelsX(normal.width())));
    Settings::writeNumber(QStringLiteral("MainHeight"), std::round(Twips::fromPixelsY(normal.height())));
    const double split = form.splitterTwips();
    if (split > 0)
        Settings::writeNumber(QStringLiteral("MainSplit"), std::round(split));
}
