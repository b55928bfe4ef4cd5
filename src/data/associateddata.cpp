#include "data/associateddata.h"

#include "services/messageservice.h"

#include "objdb/datasource.h"
#include "objdb/relations/relations.h"
#include "objdb/viewer/datawindow.h"

using objdb::Relation;
using objdb::RelationKind;

namespace {

QString captionOf(const Relation &relation)
{
    switch (relation.kind) {
    case RelationKind::References: return relation.Description;
    case RelationKind::Referencing: return relation.Name + QStringLiteral(" (") + relation.TableCaption + QLatin1Char(')');
    case RelationKind::Containers:
        if (relation.RelatedTable == relation.sourceTable)
            return relation.TableCaption;
        return relation.SourceCaption + AgreementPhrase(relation.Name, relation.Plural) + relation.Name;
    }
    return {};
}

} // namespace

QString AgreementPhrase(const QString &p_strWord, bool p_blnPlural)
{
    const QChar last = p_strWord.isEmpty() ? QChar() : p_strWord.back().toLower();
    if (last == QLatin1Char('i') || last == QChar(0x00EC))
        return QStringLiteral(" con stessi ");
    if (last == QLatin1Char('a') || last == QChar(0x00E0))
        return QStringLiteral(" con stessa ");
    if (last == QLatin1Char('e') && p_blnPlural)
        return QStringLiteral(" con stesse ");
    return QStringLiteral(" con stesso ");
}

AssociatedItems AssociatedItemsFor(const objdb::DataSource &ds)
{
    AssociatedItems items;
    const QList<Relation> relations = objdb::Relations::Numbered(ds);
    for (int i = 0; i < relations.size(); ++i) {
        const Relation &relation = relations.at(i);
        const AssociatedItem item{captionOf(relation), relation.Usable, i + 1};
        switch (relation.kind) {
        case RelationKind::References: items.referenced.append(item); break;
        case RelationKind::Referencing: items.references.append(item); break;
        case RelationKind::Containers: items.containers.append(item); break;
        }
    }
    return items;
}

void ShowAssociatedData(const objdb::DataSource &ds, RelationKind kind, int number, QWidget *owner)
{
    if (!objdb::Relations::CanNavigate(ds)) {
        MessageService::inform(QStringLiteral("Operazione non abilitata in questa fase"), MessageService::Icon::Information,
                               QString(), owner);
        return;
    }
    const auto relation = objdb::Relations::RelationByNumber(ds, number);
    if (!relation || relation->kind != kind)
        return;
    objdb::ShowDataSource(objdb::Relations::RelatedDataSource(ds, *relation), captionOf(*relation));
}
