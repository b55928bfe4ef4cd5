#pragma once
// What the output commands take from the window that asks for them.

#include <QString>
#include <functional>

class CurrentView;
class QWidget;

namespace output {

struct ViewInfo {
    QString title;   // the view's name: heads the browser page and the exported page
    QString period;  // the period the view shows, "" for none; the collaborators' report prints it
    QWidget *owner = nullptr; // the progress window and the dialogs stand over it
    // Hands a written page to the user's browser; true when the desktop took it.
    std::function<bool(const QString &file)> openDocument;
};

// The period the output of a view names: the collaborators' period for their section, otherwise the
// date selection as the date button's tip tells it ("" for a hidden button), none with all dates.
QString ViewPeriodOf(const CurrentView &view, const QString &sectionKey, const QString &dateButtonTip);

} // namespace output
