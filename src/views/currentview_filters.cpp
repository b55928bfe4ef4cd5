// The filters of the view: the column filters, the complex filter and the section's predefined
// selection, a condition stored per section (by the text of its tree node) and asked for before the
// section's data is read.
#include "views/currentview.h"

#include "grid/columnfilters.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/filter/filter.h"
#include "objdb/filter/filtereditor.h"
#include "objdb/grid/viewutility.h"
#include "services/errorreport.h"
#include "services/messageservice.h"

#include <QApplication>

namespace {

const QString kSelectionTitle = QStringLiteral("Selezioni predefinite");

// The complex filter made of `filter`'s conditions put in force by apply; conditions that cannot be
// applied are taken back to `before`, so that they never spoil the filters after them.
void applyOrTakeBack(objdb::Filter &filter, const QList<objdb::FilterCondition> &before,
                     const std::function<void()> &apply)
{
    try {
        apply();
    } catch (...) {
        filter.setConditions(before);
        throw;
    }
}

} // namespace

void CurrentView::applyColumnFilters(const QList<ColumnFilters::Item> &items)
{
    try {
        const ColumnFilters::Combined combined = ColumnFilters::combine(items);
        emit filtersChanged(!combined.applied.isEmpty(), false);
        emit statusMessage(ColumnFilters::statusText(combined));
        m_objCurDS->SetFilter(combined.applied);
    } catch (const std::exception &) {
        const PendingError error = PendingError::current();
        ShowErrorReport(QStringLiteral("Errore nell'impostazione del filtro: \n\n") + error.description, error);
    }
}

void CurrentView::cancelFilters()
{
    m_objCurDS->SetFilter(QString());
    // The complex filter's conditions go too: the next filter starts from none.
    m_objComplexFilter.reset();
    objdb::ViewUtility::Binding(m_objCurDS).BindGrid(&m_grid, m_objGridSetting.get());
    watchGridBusy();
    emit filtersChanged(false, false);
    emit statusMessage(QStringLiteral("Disattivato filtro"));
}

void CurrentView::filterInComplex(const QString &field, const QString &value, bool cancelOnly)
{
    if (cancelOnly && !m_objComplexFilter)
        return;
    objdb::Filter &filter = complexFilter();
    const QList<objdb::FilterCondition> before = filter.conditions();
    filter.RemoveConditions(field);
    if (!cancelOnly && !value.isEmpty())
        filter.AddCondition(field, value);
    applyOrTakeBack(filter, before, [this] { applyComplexFilter(); });
}

objdb::Filter &CurrentView::complexFilter()
{
    if (!m_objComplexFilter || m_objComplexFilter->TableName() != m_objCurDS->TableName())
        m_objComplexFilter = m_objCurDS->NewFilter();
    return *m_objComplexFilter;
}

void CurrentView::applyComplexFilter()
{
    const QString criterion = m_objComplexFilter ? m_objComplexFilter->Criterion() : QString();
    m_objCurDS->SetFilter(criterion);
    emit filtersChanged(!criterion.isEmpty(), !criterion.isEmpty());
}

void CurrentView::editComplexFilter(const QString &savedName)
{
    if (!m_objCurDS)
        return;
    // The editor works on a draft: the filter in force changes only once the draft is applied.
    objdb::Filter draft = complexFilter();
    if (!savedName.isEmpty() && !draft.Load(savedName, false)) {
        MessageService::inform(QStringLiteral("Un filtro con questo nome non è presente!"), MessageService::Icon::None,
                               QString(), &m_owner);
        return;
    }
    // The view may have changed while the editor was open: the draft then belongs to none.
    if (objdb::ViewUtility::FilterEditor(draft, &m_owner, objdb::FilterEditorDialog::complexTitle(), &m_notify) && m_objCurDS
        && m_objCurDS->TableName() == draft.TableName()) {
        objdb::Filter &filter = complexFilter();
        const QList<objdb::FilterCondition> before = filter.conditions();
        filter.setConditions(draft.conditions());
        applyOrTakeBack(filter, before, [this] { applyComplexFilter(); });
    }
    emit complexFilterNamesChanged();
}

bool CurrentView::complexFilterExists(const QString &name)
{
    if (complexFilter().Exists(name, false))
        return true;
    MessageService::inform(QStringLiteral("Un filtro con questo nome non è presente!"), MessageService::Icon::None,
                           QString(), &m_owner);
    return false;
}

QStringList CurrentView::complexFilterNames()
{
    const QString names = m_objCurDS ? complexFilter().SavedNames() : QString();
    return names.isEmpty() ? QStringList() : names.split(QLatin1Char('|'));
}

QString CurrentView::applyPredefinedSelection(objdb::DataContext &context, const QString &nodeText,
                                              SectionViewRequest &request)
{
    if (m_objCurSelection && m_objCurSelection->Name() != nodeText)
        m_objCurSelection.reset();
    if (!m_objCurSelection)
        m_objCurSelection = context.Tables().Item(request.query.table).NewFilter();
    m_selectionStored = m_objCurSelection->Exists(nodeText, true);
    if (m_selectionStored && m_objCurSelection->Name() != nodeText)
        m_objCurSelection->Load(nodeText, true);
    if (!m_selectionStored || !request.query.condition.isEmpty() || request.periodFrom)
        return QString();

    QApplication::restoreOverrideCursor();
    const bool confirmed = objdb::ViewUtility::FilterEditor(*m_objCurSelection, &m_owner, kSelectionTitle, &m_notify);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (confirmed) {
        const QString criterion = m_objCurSelection->Criterion();
        if (!criterion.isEmpty()) {
            // In parentheses, so that an Or of the selection does not swallow the date clause.
            request.query.condition = QLatin1Char('(') + criterion + QLatin1Char(')');
            // A selection on the date field replaces the date selection.
            if (!request.query.dateField.isEmpty() && m_objCurSelection->HasConditionOn(request.query.dateField))
                request.query.dateField.clear();
            return QStringLiteral("  [selezioni impostate]");
        }
        m_objCurSelection.reset();
    } else if (!MessageService::askYesNo(QStringLiteral("Selezioni predefinite annullate...\n\nVuoi visualizzare tutti i dati?"),
                                         MessageService::Icon::Question, MessageService::Answer::No, QString(), &m_owner)) {
        request.query.condition = objdb::Table::NoRowsCriterion();
        return QStringLiteral("  [nessun dato richiesto]");
    }
    return QString();
}

objdb::Filter &CurrentView::selectionOfSection(const QString &nodeText)
{
    if (m_objCurSelection && m_objCurSelection->Name() != nodeText)
        m_objCurSelection.reset();
    // Of the table's own fields, as the view reads it before its field list is known.
    if (!m_objCurSelection)
        m_objCurSelection = m_objCurDS->GetTable().NewFilter();
    return *m_objCurSelection;
}

bool CurrentView::editPredefinedSelection(const QString &nodeText)
{
    objdb::Filter &selection = selectionOfSection(nodeText);
    if (selection.Name() != nodeText)
        selection.Load(nodeText, true);
    if (!objdb::ViewUtility::FilterEditor(selection, &m_owner, kSelectionTitle, &m_notify))
        return false;
    selection.Save(nodeText, true, true);
    MessageService::inform(QStringLiteral("Selezioni predefinite impostate.\n\nN.B.: Tali impostazioni vengono considerate solo "
                                          "se i dati che si stanno visualizzando non prevedono ulteriori selezioni (Data.., etc.)"),
                           MessageService::Icon::Information, QString(), &m_owner);
    return true;
}

void CurrentView::deletePredefinedSelection(const QString &nodeText)
{
    objdb::Filter &selection = selectionOfSection(nodeText);
    if (selection.Delete(nodeText, true))
        MessageService::inform(QStringLiteral("Selezioni predefinite eliminate."), MessageService::Icon::None, QString(), &m_owner);
    m_objCurSelection.reset();
}
