// Predefined selections: a condition stored per section (by the text of its tree node), asked for
// and applied before the section's data is shown.

#include "app/frmMain.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/filter/filter.h"
#include "objdb/filter/filtereditor.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "views/sectionview.h"

#include <QAction>
#include <QApplication>

namespace {
const QString kSelectionTitle = QStringLiteral("Selezioni predefinite");
} // namespace

QString frmMain::applyPredefinedSelection(const QString &nodeText, SectionViewRequest &request)
{
    if (m_objCurSelection && m_objCurSelection->Name() != nodeText)
        m_objCurSelection.reset();
    if (!m_objCurSelection)
        m_objCurSelection = m_objSession.dataContext->Tables().Item(request.query.table).NewFilter();
    if (m_objCurSelection->Exists(nodeText, true)) {
        mnuDataSelBeforeQuery->setChecked(true);
        if (m_objCurSelection->Name() != nodeText)
            m_objCurSelection->Load(nodeText, true);
    }
    if (!mnuDataSelBeforeQuery->isChecked() || !request.query.condition.isEmpty() || request.periodFrom)
        return QString();

    QApplication::restoreOverrideCursor();
    const bool confirmed = objdb::ViewUtility::FilterEditor(*m_objCurSelection, this, kSelectionTitle, this);
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
                                         MessageService::Icon::Question, MessageService::Answer::No, QString(), this)) {
        request.query.condition = objdb::Table::NoRowsCriterion();
        return QStringLiteral("  [nessun dato richiesto]");
    }
    return QString();
}

objdb::Filter &frmMain::selectionOfSection(const QString &nodeText)
{
    if (m_objCurSelection && m_objCurSelection->Name() != nodeText)
        m_objCurSelection.reset();
    // Of the table's own fields, as the view reads it before its field list is known.
    if (!m_objCurSelection)
        m_objCurSelection = m_objCurDS->GetTable().NewFilter();
    return *m_objCurSelection;
}

void frmMain::mnuDataSelBeforeQuery_Click()
{
    // The check mark tells whether a selection is stored, not that the item was chosen.
    mnuDataSelBeforeQuery->setChecked(!mnuDataSelBeforeQuery->isChecked());
    if (!m_objCurDS)
        return;
    const QString nodeText = selectedNodeText();
    objdb::Filter &selection = selectionOfSection(nodeText);
    if (selection.Name() != nodeText)
        selection.Load(nodeText, true);
    if (!objdb::ViewUtility::FilterEditor(selection, this, kSelectionTitle, this))
        return;
    selection.Save(nodeText, true, true);
    mnuDataSelBeforeQuery->setChecked(true);
    MessageService::inform(QStringLiteral("Selezioni predefinite impostate.\n\nN.B.: Tali impostazioni vengono considerate solo "
                                          "se i dati che si stanno visualizzando non prevedono ulteriori selezioni (Data.., etc.)"),
                           MessageService::Icon::Information, QString(), this);
}

void frmMain::mnuDataSelCancel_Click()
{
    if (!m_objCurDS)
        return;
    const QString nodeText = selectedNodeText();
    objdb::Filter &selection = selectionOfSection(nodeText);
    if (selection.Delete(nodeText, true))
        MessageService::inform(QStringLiteral("Selezioni predefinite eliminate."), MessageService::Icon::None, QString(), this);
    m_objCurSelection.reset();
    mnuDataSelBeforeQuery->setChecked(false);
}
