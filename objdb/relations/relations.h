#pragma once
// The related data of a row as the schema links tables: the rows a row refers to (its references),
// the rows that refer to it (other tables' references and children's parent links), and the rows
// that share its container (its parent row). A child table also offers the relations of its parent
// table, for the current row's parent, and so on up the chain of parents; a parent table in that
// chain leaves out the link back to the child it was reached from.
//
// The relations are numbered as one list from 1: the references first, then the referencing
// relations, then the containers; hidden references take no number. Menus and the commands they
// post resolve a number through the same list, so they cannot disagree.

#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace objdb {

class DataSource;

enum class RelationKind { References, Referencing, Containers };

struct Relation {
    RelationKind kind = RelationKind::References;
    QString Name;          // the reference's name; the parent table's name for parent links and containers
    QString Description;   // "Compagnia (Compagnie)": the name and the caption of the table it leads to
    QString TableCaption;  // caption of the table whose rows it shows (the holder of a referencing link)
    QString RelatedTable;  // the table at the other end: referenced, referencing or containing
    QString SourceCaption; // caption of the table the relation starts from
    bool Usable = true;    // false while the table of its rows is empty
    bool Plural = false;   // true when one row at the other end has many here

    // Where the relation starts: the table and how many parent links up from the view's table.
    QString sourceTable;
    int depth = 0;
    bool parentLink = false; // a referencing relation through a child's parent link
};

namespace Relations {

// Every relation the data source's table offers, hidden ones left out, in number order.
QList<Relation> Numbered(const DataSource &ds);
// The relation numbered n (from 1), if there is one.
std::optional<Relation> RelationByNumber(const DataSource &ds, int n);
// Whether the current row may lead to related data now: there is a stored row in hand, not new and
// without unsaved changes.
bool CanNavigate(const DataSource &ds);
// A read-only data source of the rows related to the current row by the relation. Throws
// objdb::Error when the current row cannot navigate.
std::shared_ptr<DataSource> RelatedDataSource(const DataSource &ds, const Relation &relation);

} // namespace Relations

} // namespace objdb
