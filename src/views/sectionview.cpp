#include "views/sectionview.h"

#include "views/dateselectioncaption.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/types.h"

std::shared_ptr<objdb::DataSource> OpenSectionView(objdb::DataContext &context, const SectionViewRequest &request)
{
    QString condition = request.query.condition;
    if (request.periodFrom && request.periodTo)
        condition = WithPeriod(condition, *request.periodFrom, *request.periodTo);
    condition = WithDateSelection(condition, request.query.dateField, request.selection, request.selectionDate,
                                  request.selectionEnd);

    objdb::OpenOptions options;
    options.notify = request.notify;
    options.fieldList = request.query.fieldList;
    options.convertCurrency = request.convertCurrency;
    return context.Tables().Item(request.query.table).OpenDataSource(condition, request.sort, options);
}

FieldMenuEntries FieldMenuEntriesFor(const objdb::DataSource &ds)
{
    FieldMenuEntries entries;
    for (int i = 1; i <= ds.FieldCount(); ++i) {
        const objdb::FieldDef &field = ds.Field(i);
        if (field.secret)
            continue;
        if (field.type == objdb::TypeText || field.type == objdb::TypeLongText || field.type == objdb::TypeReference) {
            entries.search.append({field.caption, field.name});
            entries.filter.append({field.caption, field.name});
            // Searches start on the first text of a useful length: not a code, not a note.
            if (entries.findDefault == 0 && field.size > 16 && field.size < 129)
                entries.findDefault = int(entries.search.size());
        }
        // The keys the grid hides (OID, OID_Movimenti) are not offered.
        if (!field.noOrder && field.display > 0)
            entries.order.append({field.caption, field.name});
        const bool numeric = field.type == objdb::TypeInteger || field.type == objdb::TypeFloat
            || field.type == objdb::TypeAmount;
        if (numeric && !field.name.startsWith(QLatin1String("OID")) && !field.noOrder && field.display > 0)
            entries.total.append({field.caption, field.name});
    }
    if (entries.findDefault == 0 && !entries.search.isEmpty())
        entries.findDefault = 1;
    return entries;
}

QString SectionViewTitle(const QString &nodeText, const SectionViewRequest &request)
{
    if (request.periodFrom && request.periodTo)
        return ViewTitle(nodeText, DateSelection::Period, *request.periodFrom, *request.periodTo);
    if (request.query.dateField.isEmpty())
        return ViewTitle(nodeText);
    return ViewTitle(nodeText, request.selection, request.selectionDate, request.selectionEnd);
}
