// Text search in a column of the view: the archive finds the match apart from the window, the grid
// moves to it.
#include "views/currentview.h"

#include "grid/frmSearchText.h"
#include "objdb/backgroundread.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/query/criterion.h"
#include "services/errorreport.h"
#include "services/messageservice.h"

#include <QTableView>

void CurrentView::searchText(const QString &field, const QString &caption)
{
    if (!m_objCurDS)
        return;
    const QString text = frmSearchText::sSearchText;
    const QString data = objdb::query::likeData(text);
    const QString pattern = frmSearchText::bInternal ? QLatin1Char('*') + data + QLatin1Char('*') : data + QLatin1Char('*');
    const QString criterion = field + QStringLiteral(" Like ") + objdb::query::patternLiteral(pattern);
    findInGrid(criterion, frmSearchText::bNext, field, [this, text, caption] {
        MessageService::inform(QStringLiteral(" '") + text + QStringLiteral("' non trovato"), MessageService::Icon::Information,
                               QStringLiteral("Ricerca in ") + caption, &m_owner);
    });
}

void CurrentView::searchSameValue(const QString &field, const QString &cellText)
{
    // "Cerca successivo" does not go on with this search: it has no text of the search dialog.
    frmSearchText::sLastValue.clear();
    frmSearchText::sSearchText.clear();
    const objdb::FieldDef *def = m_objCurDS->Field(field);
    const QString caption = def ? def->caption : field;
    findInGrid(m_objCurDS->BuildCriterion(field, cellText, QStringLiteral("%")), true, field, [this, cellText, caption] {
        MessageService::inform(QStringLiteral(" '") + cellText + QStringLiteral("' non trovato"), MessageService::Icon::Information,
                               QStringLiteral("Ricerca in ") + caption, &m_owner);
    });
}

void CurrentView::findInGrid(const QString &criterion, bool next, const QString &field, std::function<void()> notFound)
{
    // The search continues from the row the user stands on.
    const qint64 current = next ? currentBookmark() : 0;
    // The match is shown in the column searched; a field the grid does not show keeps the column.
    auto *model = objdb::ViewUtility::modelOf(&m_grid);
    const int searched = model ? model->columnOfField(field) : -1;
    const QString shownField = !model || (searched >= 0 && !m_grid.isColumnHidden(searched))
                                   ? field
                                   : model->fieldAt(qMax(0, m_grid.currentIndex().column()));
    emit busyChanged(QStringLiteral("search"), true, true);
    m_objCurDS->FindApart(
        *m_searchRead, criterion, current,
        [this, shownField, notFound = std::move(notFound)](bool found) {
            emit busyChanged(QStringLiteral("search"), false, true);
            if (!found) {
                notFound();
                return;
            }
            m_grid.clearSelection();
            objdb::ViewUtility::ShowRowWhenKnown(&m_grid, m_objCurDS->Bookmark(), shownField);
        },
        [this](const objdb::Error &error) {
            emit busyChanged(QStringLiteral("search"), false, true);
            // The rows were read again meanwhile: the search was for a view no longer shown.
            if (error.code() != objdb::kErrStopped)
                ShowErrorReport(QString(), PendingError(error));
        });
}
