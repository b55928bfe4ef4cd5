#include "objdb/source/sourcescope.h"

#include "objdb/database.h"
#include "objdb/error.h"

namespace objdb::source {

std::shared_ptr<Database> SourceScope::database() const
{
    auto db = archive.lock();
    if (!db || !db->IsOpen())
        fail(QStringLiteral("L'archivio non è più aperto."));
    return db;
}

const FieldDef *SourceScope::field(const QString &name) const
{
    for (const auto &f : fieldSet->fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QString SourceScope::captionOf(const QString &column) const
{
    const FieldDef *f = field(column);
    return f ? f->caption : column;
}

} // namespace objdb::source
