#pragma once
// The section tree: its nodes by operator level, and the lookups by node index and section key.
// Node indices are 1-based in the order the nodes were added, counting only the nodes present.

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace objdb {
class DataContext;
}

namespace SectionTree {

// Fills the tree with the sections the operator may see; table nodes are titled with the table
// captions of the data context. Throws when the context cannot give a caption.
void Fill(QTreeWidget *tree, objdb::DataContext &context, bool administrator);
// Fills the tree anew for the context's operator, the node of the same index selected as before
// (the index, not the section: for another operator it may name another node). Without a context,
// or when Fill throws, the tree is left empty and the failure thrown.
void Refill(QTreeWidget *tree, objdb::DataContext *context);

QTreeWidgetItem *NodeByIndex(const QTreeWidget *tree, int index);
QTreeWidgetItem *NodeByKey(const QTreeWidget *tree, const QString &key);
// The node a tag names: a node index, or else a section key.
QTreeWidgetItem *NodeByTag(const QTreeWidget *tree, const QString &tag);
int IndexOf(const QTreeWidgetItem *node);
// The section key of a node: a table name or a report name; empty for a grouping node.
QString KeyOf(const QTreeWidgetItem *node);
QTreeWidgetItem *SelectedNode(const QTreeWidget *tree);

} // namespace SectionTree
