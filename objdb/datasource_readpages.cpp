// Reading a whole view in order for exports and reports, one page of rows at a time.
#include "objdb/datasource.h"

#include "objdb/datacontext.h"
#include "objdb/statementcache.h"

namespace objdb {

namespace {
// Leaves the statement's loop when the reader has had enough; the statement is reset on the way out.
struct ReadingStopped {};
} // namespace

void DataSource::readPages(int pageSize, const std::function<bool(const QList<QVariantList> &)> &onPage) const
{
    pageSize = qMax(1, pageSize);
    const Sql where = whereClause();
    const QString sql = QStringLiteral("SELECT ") + m_fieldSet->selectColumns.join(QStringLiteral(", "))
                        + QStringLiteral(" FROM ") + m_schema->fromClause() + where.text + orderClause().text;
    QList<QVariantList> page;
    page.reserve(pageSize);
    const auto db = database();
    try {
        m_context->statements().select(*db, sql, m_fieldBinds + where.binds, [&](const StoredRow &stored) {
            page.append(storedValues(stored, 0));
            if (page.size() < pageSize)
                return;
            const bool more = onPage(page);
            page.clear();
            if (!more)
                throw ReadingStopped{};
        });
    } catch (const ReadingStopped &) {
        return;
    }
    if (!page.isEmpty())
        onPage(page);
}

} // namespace objdb
