// The section overview page: a heading and one large button per item of the selected grouping node,
// in the place of the grid. Measures in twips.
#include "app/frmMain.h"

#include "views/sectiontree.h"

#include "services/twips.h"
#include "services/errorreport.h"

#include <QPushButton>
#include <QTreeWidget>

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

} // namespace

QString frmMain::SectionHeading(const QString &section)
{
    return QStringLiteral("VOCI PRINCIPALI PER LA SEZIONE ") + section.toUpper() + QStringLiteral(" :");
}

void frmMain::BuildSectionPage()
{
    QPushButton *const templateButton = acmdSectionItem.first();
    // A button may be the one whose click led here: it goes once its click has been handled.
    while (acmdSectionItem.size() >= 2) {
        QPushButton *button = acmdSectionItem.takeLast();
        button->hide();
        button->deleteLater();
    }
    cmdHideTree->setEnabled(true);

    const QTreeWidgetItem *section = selectedNode();
    if (!section || !selectedNodeKey().isEmpty())
        return;

    QWidget *page = templateButton->parentWidget();
    const double treeTop = Twips::fromPixelsY(tvTreeView->y());
    const double innerWidth = Twips::fromPixelsX(page->width());
    const double innerHeight = Twips::fromPixelsY(page->height());
    double x = Twips::fromPixelsX(imgSplitter->x()) + kLeftGap;
    double y = treeTop + kTopGap;

    if (section->childCount() > 0) {
        auto *heading = new QPushButton(page);
        heading->setObjectName(QStringLiteral("acmdSectionItem_1"));
        heading->setFocusPolicy(Qt::NoFocus);
        heading->setText(SectionHeading(section->text(0)));
        heading->setEnabled(false);
        QPalette grey = heading->palette();
        grey.setColor(QPalette::Button, kHeadingColour);
        heading->setPalette(grey);
        heading->setAutoFillBackground(true);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        const double headingHeight = kItemHeight / 2;
        placeTwips(heading, x, y, std::max(0.0, innerWidth - x - kHeadingRightMargin), headingHeight);
        heading->show();
        acmdSectionItem.append(heading);
        y += headingHeight + kVerticalGap;
        const double columnTop = y;

        for (int i = 0; i < section->childCount(); ++i) {
            QTreeWidgetItem *child = section->child(i);
            if (child->text(0).isEmpty())
                continue;
            const int element = int(acmdSectionItem.size());
            auto *button = new QPushButton(page);
            button->setObjectName(QStringLiteral("acmdSectionItem_%1").arg(element));
            button->setText(child->text(0));
            const QString key = SectionTree::KeyOf(child);
            button->setProperty("tag", key.isEmpty() ? QString::number(indexOfNode(child)) : key);
            button->setToolTip(QStringLiteral("Apre la sezione <") + child->text(0)
                               + QStringLiteral("> per la Visualizzazione/Modifica dei dati oppure per la Stampa..."));
            if (!child->icon(0).isNull()) {
                button->setIcon(child->icon(0));
                button->setIconSize(QSize(32, 32));
            }
            if (y + kItemHeight >= innerHeight - kBottomMargin) {
                x += kItemWidth + kColumnGap;
                y = columnTop;
            }
            placeTwips(button, x, y, kItemWidth, kItemHeight);
            button->show();
            connect(button, &QPushButton::clicked, this,
                    [this, element] { RunReportingFailures([&] { acmdSectionItem_Click(element); }); });
            acmdSectionItem.append(button);
            y += kItemHeight + kVerticalGap;
        }
        // The tree cannot be hidden while its section is shown here.
        cmdHideTree->setEnabled(false);
    }
}
