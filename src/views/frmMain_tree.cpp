// The section tree of the main window: its nodes, the current section and the section buttons.
#include "core/frmMain.h"

#include "core/errorreport.h"
#include "core/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int IndexRole = Qt::UserRole + 2;

// A standard pixmap with a coloured dot in its corner, to tell apart images of the same kind.
QIcon markedIcon(QStyle::StandardPixmap base, const QColor &mark)
{
    QPixmap pixmap = QApplication::style()->standardPixmap(base).scaled(32, 32);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawEllipse(QRect(18, 18, 13, 13));
    return QIcon(pixmap);
}

// The tree's image list, by image key.
QIcon treeImage(const QString &key)
{
    static const QHash<QString, QIcon> images{
        {QStringLiteral("PrintNode"), markedIcon(QStyle::SP_DirIcon, QColor(90, 90, 90))},
        {QStringLiteral("PrintElement"), markedIcon(QStyle::SP_FileIcon, QColor(90, 90, 90))},
        {QStringLiteral("Archive"), markedIcon(QStyle::SP_DriveHDIcon, QColor(200, 160, 40))},
        {QStringLiteral("Pagamenti"), markedIcon(QStyle::SP_FileDialogDetailedView, QColor(40, 150, 60))},
        {QStringLiteral("BluUser"), markedIcon(QStyle::SP_DirHomeIcon, QColor(30, 80, 220))},
        {QStringLiteral("RedUser"), markedIcon(QStyle::SP_DirHomeIcon, QColor(220, 40, 40))},
        {QStringLiteral("Oper"), markedIcon(QStyle::SP_ComputerIcon, QColor(140, 60, 180))},
    };
    return images.value(key);
}

class TreeBuilder {
public:
    explicit TreeBuilder(QTreeWidget *tree) : m_tree(tree) {}

    QTreeWidgetItem *add(QTreeWidgetItem *parent, const QString &key, const QString &text, const QString &image)
    {
        auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        node->setText(0, text);
        node->setData(0, KeyRole, key);
        node->setData(0, ImageRole, image);
        node->setData(0, IndexRole, ++m_count);
        node->setIcon(0, treeImage(image));
        return node;
    }

    // A node of an archive table: keyed by the table's name, titled with its display caption.
    QTreeWidgetItem *addTable(QTreeWidgetItem *parent, const QString &table, const QString &image)
    {
        const QString caption = modGlobal::g_objDataContext->Tables().Item(table).Caption();
        return add(parent, table, caption, image);
    }

private:
    QTreeWidget *m_tree;
    int m_count = 0;
};

bool isAdministrator()
{
    return modGlobal::g_objDataContext->UserLevel == 1;
}

// Moving through the tree with the keyboard opens the section reached, as a click does.
class TreeKeyNavigation : public QObject {
public:
    TreeKeyNavigation(QTreeWidget *tree, frmMain *form) : QObject(tree), m_tree(tree), m_form(form) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QTreeWidgetItem *before = m_tree->currentItem();
            QTimer::singleShot(0, m_form, [tree = m_tree, form = m_form, before] {
                if (tree->currentItem() != before)
                    RunReportingFailures([form] { form->tvTreeView_Click(); });
            });
        }
        return false;
    }

private:
    QTreeWidget *m_tree;
    frmMain *m_form;
};

} // namespace

void frmMain::connectViewCommands()
{
    connect(tvTreeView, &QTreeWidget::itemClicked, this, Guarded(this, &frmMain::tvTreeView_Click));
    tvTreeView->installEventFilter(new TreeKeyNavigation(tvTreeView, this));
    connect(cmdDateSel, &QPushButton::clicked, this, &frmMain::cmdDateSel_Click);
    const QList<QPair<QAction *, void (frmMain::*)()>> selectionCommands{
        {mnuSelAll, &frmMain::mnuSelAll_Click},
        {mnuSelDate, &frmMain::mnuSelDate_Click},
        {mnuSelMonth, &frmMain::mnuSelMonth_Click},
    };
    for (const auto &[item, handler] : selectionCommands) {
        item->setCheckable(true);
        // Triggering has already toggled the check mark; the handlers decide on the mark as it
        // was, and UpdateDateSelectionCaption sets the new one.
        connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
            item->setChecked(!checked);
            RunReportingFailures([&] { (this->*handler)(); });
        });
    }
}

void frmMain::SetTreeViewNodes()
{
    const int selectedIndex = selectedNode() ? indexOfNode(selectedNode()) : 1;
    tvTreeView->clear();
    TreeBuilder tree(tvTreeView);
    try {
        if (!modGlobal::g_objDataContext)
            objdb::fail(QStringLiteral("Il database non è aperto."));

        QTreeWidgetItem *prints = tree.add(nullptr, QString(), QStringLiteral("Stampe"), QStringLiteral("PrintNode"));
        for (const QString &report : {QStringLiteral("Statistiche"), QStringLiteral("Sospesi"),
                                      QStringLiteral("Mov. per Collaboratori")})
            tree.add(prints, report, report, QStringLiteral("PrintElement"));
        prints->setExpanded(true);

        QTreeWidgetItem *archive = tree.add(nullptr, QString(), QStringLiteral("Archivio"), QStringLiteral("Archive"));
        QTreeWidgetItem *payments = tree.addTable(archive, QStringLiteral("Pagamenti"), QStringLiteral("Pagamenti"));
        if (isAdministrator())
            tree.addTable(payments, QStringLiteral("Movimenti"), QStringLiteral("Pagamenti"));
        tree.addTable(archive, QStringLiteral("Compagnie"), QStringLiteral("BluUser"));
        tree.addTable(archive, QStringLiteral("Collaboratori"), QStringLiteral("RedUser"));
        QTreeWidgetItem *configuration =
            tree.add(archive, QString(), QStringLiteral("Configurazione"), QStringLiteral("Archive"));
        tree.addTable(configuration, QStringLiteral("TipiOperazione"), QStringLiteral("Archive"));
        if (isAdministrator())
            tree.addTable(configuration, QStringLiteral("Operatori"), QStringLiteral("Oper"));
        archive->setExpanded(true);
    } catch (const std::exception &error) {
        ShowErrorReport(QString(), PendingError(error));
        return;
    }

    // The index is restored, not the section: after a change of operator it may name another node.
    if (QTreeWidgetItem *node = nodeByIndex(selectedIndex)) {
        tvTreeView->setCurrentItem(node);
    } else {
        tvTreeView->setCurrentItem(nullptr);
        tvTreeView->clearSelection();
    }
}

QTreeWidgetItem *frmMain::nodeByIndex(int index) const
{
    for (QTreeWidgetItemIterator it(tvTreeView); *it; ++it)
        if ((*it)->data(0, IndexRole).toInt() == index)
            return *it;
    return nullptr;
}

int frmMain::indexOfNode(QTreeWidgetItem *node) const
{
    return node ? node->data(0, IndexRole).toInt() : 0;
}

QTreeWidgetItem *frmMain::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = tvTreeView->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QString frmMain::selectedNodeKey() const
{
    const QTreeWidgetItem *node = selectedNode();
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString frmMain::selectedNodeText() const
{
    const QTreeWidgetItem *node = selectedNode();
    return node ? node->text(0) : QString();
}

void frmMain::tvTreeView_Click()
{
    RefreshDetailView(QString());
}

void frmMain::acmdSectionItem_Click(int index)
{
    if (index >= 0 && index < acmdSectionItem.size()) {
        const QString tag = acmdSectionItem[index]->property("tag").toString();
        bool numeric = false;
        const int nodeIndex = tag.toInt(&numeric);
        QTreeWidgetItem *target = nullptr;
        if (numeric) {
            target = nodeByIndex(nodeIndex);
        } else if (!tag.isEmpty()) {
            for (QTreeWidgetItemIterator it(tvTreeView); *it && !target; ++it)
                if ((*it)->data(0, KeyRole).toString() == tag)
                    target = *it;
        }
        // A tag that names no node leaves the selection as it was.
        if (target)
            tvTreeView->setCurrentItem(target);
    }
    RefreshDetailView(QString());
}
