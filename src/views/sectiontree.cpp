// The section tree's nodes: reports, archive tables and configuration, by operator level.
#include "views/sectiontree.h"

#include "objdb/error.h"

#include "objdb/datacontext.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
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
    TreeBuilder(QTreeWidget *tree, objdb::DataContext &context) : m_tree(tree), m_context(context) {}

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
        const QString caption = m_context.Tables().Item(table).Caption();
        return add(parent, table, caption, image);
    }

private:
    QTreeWidget *m_tree;
    objdb::DataContext &m_context;
    int m_count = 0;
};

} // namespace

namespace SectionTree {

void Fill(QTreeWidget *tree, objdb::DataContext &context, bool administrator)
{
    tree->clear();
    TreeBuilder builder(tree, context);
    QTreeWidgetItem *prints = builder.add(nullptr, QString(), QStringLiteral("Stampe"), QStringLiteral("PrintNode"));
    for (const QString &report : {QStringLiteral("Statistiche"), QStringLiteral("Sospesi"),
                                  QStringLiteral("Mov. per Collaboratori")})
        builder.add(prints, report, report, QStringLiteral("PrintElement"));
    prints->setExpanded(true);

    QTreeWidgetItem *archive = builder.add(nullptr, QString(), QStringLiteral("Archivio"), QStringLiteral("Archive"));
    QTreeWidgetItem *payments = builder.addTable(archive, QStringLiteral("Pagamenti"), QStringLiteral("Pagamenti"));
    if (administrator)
        builder.addTable(payments, QStringLiteral("Movimenti"), QStringLiteral("Pagamenti"));
    builder.addTable(archive, QStringLiteral("Compagnie"), QStringLiteral("BluUser"));
    builder.addTable(archive, QStringLiteral("Collaboratori"), QStringLiteral("RedUser"));
    QTreeWidgetItem *configuration =
        builder.add(archive, QString(), QStringLiteral("Configurazione"), QStringLiteral("Archive"));
    builder.addTable(configuration, QStringLiteral("TipiOperazione"), QStringLiteral("Archive"));
    if (administrator)
        builder.addTable(configuration, QStringLiteral("Operatori"), QStringLiteral("Oper"));
    archive->setExpanded(true);
}

QTreeWidgetItem *NodeByIndex(const QTreeWidget *tree, int index)
{
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it)
        if ((*it)->data(0, IndexRole).toInt() == index)
            return *it;
    return nullptr;
}

QTreeWidgetItem *NodeByKey(const QTreeWidget *tree, const QString &key)
{
    if (key.isEmpty())
        return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it)
        if ((*it)->data(0, KeyRole).toString() == key)
            return *it;
    return nullptr;
}

int IndexOf(const QTreeWidgetItem *node)
{
    return node ? node->data(0, IndexRole).toInt() : 0;
}

QString KeyOf(const QTreeWidgetItem *node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QTreeWidgetItem *SelectedNode(const QTreeWidget *tree)
{
    const QList<QTreeWidgetItem *> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void Refill(QTreeWidget *tree, objdb::DataContext *context)
{
    const QTreeWidgetItem *selected = SelectedNode(tree);
    const int selectedIndex = selected ? IndexOf(selected) : 1;
    tree->clear();
    if (!context)
        objdb::fail(QStringLiteral("Il database non è aperto."));
    Fill(tree, *context, context->UserLevel == 1);
    if (QTreeWidgetItem *node = NodeByIndex(tree, selectedIndex)) {
        tree->setCurrentItem(node);
    } else {
        tree->setCurrentItem(nullptr);
        tree->clearSelection();
    }
}

QTreeWidgetItem *NodeByTag(const QTreeWidget *tree, const QString &tag)
{
    bool numeric = false;
    const int index = tag.toInt(&numeric);
    return numeric ? NodeByIndex(tree, index) : NodeByKey(tree, tag);
}

} // namespace SectionTree
