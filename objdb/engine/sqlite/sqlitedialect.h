#pragma once
// SQLite's SQL where it differs from what the engines share.

#include "objdb/sqldialect.h"

namespace objdb {

class SqliteDialect final : public SqlDialect {
public:
    QString floatSum(const QString &expression) const override { return QStringLiteral("TOTAL(%1)").arg(expression); }
    QString temporarySchema() const override { return QStringLiteral("temp"); }
    QString caseInsensitiveOrder(const QString &expression) const override { return expression + QStringLiteral(" COLLATE NOCASE"); }
    QString keyScan() const override { return QStringLiteral(" NOT INDEXED"); }
};

} // namespace objdb
