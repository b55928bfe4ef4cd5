#pragma once
// The section overview page: a heading and one large button per item of a grouping node of the
// section tree, in the place of the grid. Measures in twips.

#include <QList>
#include <QString>

#include <functional>

class QPushButton;
class QTreeWidgetItem;

namespace SectionPage {

// The heading of a section's page.
QString Heading(const QString &section);

// Lets the page's buttons after the template (item 0 of buttons) go, and for a grouping node with
// items puts the heading and a button per item on the template's parent, from left at top, in
// columns that fit its height. A click on button n runs clicked(n). True when the page has buttons.
bool Build(QList<QPushButton *> &buttons, const QTreeWidgetItem *section, double left, double top,
           const std::function<void(int)> &clicked);

} // namespace SectionPage
