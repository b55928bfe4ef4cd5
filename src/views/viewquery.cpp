#include "views/viewquery.h"

namespace {

QString criterionDate(const QDate &date)
{
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

} // namespace

const char *const kBalanceFieldList =
    "*, TipiOperazione.TipoSospeso ,((Contanti + Assegno + Anticipo)) AS SaldoCassa, ((Bonifico_Bancomat)) AS SaldoBanca";

QString GetSectionTable(const QString &key)
{
    return key == QLatin1String("Statistiche") ? QStringLiteral("Pagamenti") : key;
}

QString GetTableDateField(const QString &table)
{
    return table == QLatin1String("Pagamenti") ? QStringLiteral("Data") : QString();
}

SectionQuery SectionQueryFor(const QString &key)
{
    SectionQuery q;
    q.table = GetSectionTable(key);
    q.dateField = GetTableDateField(q.table);
    if (q.table == QLatin1String("Pagamenti"))
        q.fieldList = QStringLiteral("*, Movimenti.Descrizione AS DescrizionePagamento, Movimenti.Importo AS ImportoPagamento");
    if (key == QLatin1String("Statistiche")) {
        q.fieldList = QString::fromLatin1(kBalanceFieldList);
    } else if (key == QLatin1String("Sospesi")) {
        q.table = QStringLiteral("Pagamenti");
        q.fieldList = QString::fromLatin1(kBalanceFieldList);
        q.condition = QStringLiteral("Pagato= False");
        q.dateField.clear();
    } else if (key == QLatin1String("Mov. per Collaboratori")) {
        q.table = QStringLiteral("Pagamenti");
        q.fieldList = QStringLiteral("*, TipiOperazione.TipoSospeso");
        q.condition = QStringLiteral("Pagato= True and Collaboratori.Codice <> '00'");
        q.dateField.clear();
    }
    return q;
}

QString WithPeriod(const QString &condition, const QDate &from, const QDate &to)
{
    return condition + QStringLiteral("And Data >= #") + criterionDate(from) + QStringLiteral("# AND Data < #")
        + criterionDate(to.addDays(1)) + QLatin1Char('#');
}

QString PeriodCaptionFor(const QDate &from, const QDate &to)
{
    return QStringLiteral("Da data: ") + from.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" A Data: ")
        + to.toString(QStringLiteral("dd/MM/yyyy"));
}

QString WithDateSelection(const QString &condition, const QString &dateField, DateSelection selection,
                          const QDate &reference, const QDate &periodEnd)
{
    if (dateField.isEmpty() || selection == DateSelection::All)
        return condition;
    const bool empty = condition.trimmed().isEmpty();
    if (selection == DateSelection::Month) {
        const QString clause = QStringLiteral("Month(%1) = %2 AND Year(%1) = %3")
                                   .arg(dateField)
                                   .arg(reference.month())
                                   .arg(reference.year());
        return empty ? clause : condition + QStringLiteral(" And ") + clause;
    }
    const QDate last = selection == DateSelection::Period ? periodEnd : reference;
    const QString clause = QStringLiteral("%1 >= #%2# AND %1 < #%3#")
                               .arg(dateField, criterionDate(reference), criterionDate(last.addDays(1)));
    return empty ? clause : condition + QStringLiteral("And ") + clause;
}
