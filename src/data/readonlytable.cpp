#include "data/tables.h"

#include "objdb/datasource.h"

void ReadOnlyTable::OnNewRow(objdb::DataSource &p_objDS)
{
    p_objDS.CancelOperation(RefusalText());
}

void ReadOnlyTable::OnBeforeUpdateField(objdb::DataSource &p_objDS, const QString &)
{
    p_objDS.CancelOperation(RefusalText());
}

void ReadOnlyTable::OnDeleteRow(objdb::DataSource &p_objDS)
{
    p_objDS.CancelOperation(RefusalText());
}
