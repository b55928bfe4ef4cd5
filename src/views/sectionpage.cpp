#include "views/sectionpage.h"

#include "views/sectiontree.h"

#include "services/twips.h"

#include <QPushButton>
#include <QTreeWidgetItem>

namespace {

// Designed size of the template button; the heading is half as tall.
constexpr double kItemWidth = 3600;
constexpr double kItemHeight = 660;

constexpr double kLeftGap = 400;     // from the splitter to the first column
constexpr double kTopGap = 150;      // from the top of the tree to the heading
constexpr double kVerticalGap = 150; // between buttons
constexpr double kColumnGap = 400;
constexpr double kBottomMargin = 150;
constexpr double kHeadingRightMargin = 800;

const QColor kHeadingColour(224, 224, 224);

void placeTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width),
                        Twips::toPixelsY(height));
}

QPushButton *heading(QWidget *page, const QString &section)
{
    auto *heading = new QPushButton(page);
    heading->setObjectName(QStringLiteral("acmdSectionItem_1"));
    heading->setFocusPolicy(Qt::NoFocus);
    heading->setText(SectionPage::Heading(section));
    heading->setEnabled(false);
    QPalette grey = heading->palette();
    grey.setColor(QPalette::Button, kHeadingColour);
    heading->setPalette(grey);
    heading->setAutoFillBackground(true);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    return heading;
}

QPushButton *itemButton(QWidget *page, int element, QTreeWidgetItem *child)
{
    auto *button = new QPushButton(page);
    button->setObjectName(QStringLiteral("acmdSectionItem_%1").arg(element));
    button->setText(child->text(0));
    const QString key = SectionTree::KeyOf(child);
    button->setProperty("tag", key.isEmpty() ? QString::number(SectionTree::IndexOf(child)) : key);
    button->setToolTip(QStringLiteral("Apre la sezione <") + child->text(0)
                       + QStringLiteral("> per la Visualizzazione/Modifica dei dati oppure per la Stampa..."));
    if (!child->icon(0).isNull()) {
        button->setIcon(child->icon(0));
        button->setIconSize(QSize(32, 32));
    }
    return button;
}

} // namespace

namespace SectionPage {

QString Heading(const QString &section)
{
    return QStringLiteral("VOCI PRINCIPALI PER LA SEZIONE ") + section.toUpper() + QStringLiteral(" :");
}

bool Build(QList<QPushButton *> &buttons, const QTreeWidgetItem *section, double left, double top,
           const std::function<void(int)> &clicked)
{
    // A button may be the one whose click led here: it goes once its click has been handled.
    while (buttons.size() >= 2) {
        QPushButton *button = buttons.takeLast();
        button->hide();
        button->deleteLater();
    }
    if (!section || section->childCount() == 0)
        return false;

    QWidget *page = buttons.first()->parentWidget();
    const double innerWidth = Twips::fromPixelsX(page->width());
    const double innerHeight = Twips::fromPixelsY(page->height());
    double x = left + kLeftGap;
    double y = top + kTopGap;

    QPushButton *title = heading(page, section->text(0));
    const double headingHeight = kItemHeight / 2;
    placeTwips(title, x, y, std::max(0.0, innerWidth - x - kHeadingRightMargin), headingHeight);
    title->show();
    buttons.append(title);
    y += headingHeight + kVerticalGap;
    const double columnTop = y;

    for (int i = 0; i < section->childCount(); ++i) {
        QTreeWidgetItem *child = section->child(i);
        if (child->text(0).isEmpty())
            continue;
        const int element = int(buttons.size());
        QPushButton *button = itemButton(page, element, child);
        if (y + kItemHeight >= innerHeight - kBottomMargin) {
            x += kItemWidth + kColumnGap;
            y = columnTop;
        }
        placeTwips(button, x, y, kItemWidth, kItemHeight);
        button->show();
        QObject::connect(button, &QPushButton::clicked, button, [clicked, element] { clicked(element); });
        buttons.append(button);
        y += kItemHeight + kVerticalGap;
    }
    return true;
}

} // namespace SectionPage
