// Text search in a column of the grid: the column items of "Cerca", "Cerca successivo" and the
// right-click "Cerca valore successivo"; the archive finds the match, the grid moves to it.
#include "app/frmMain.h"

#include "grid/columnfilters.h"
#include "grid/frmSearchText.h"
#include "services/busymark.h"
#include "services/errorreport.h"
#include "services/messageservice.h"

#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"
#include "objdb/query/criterion.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>

void frmMain::connectSearchCommands()
{
    connect(mnuSearch, &QMenu::triggered, this, [this](QAction *item) {
        const QVariant index = item->property("index");
        if (index.isValid() && mnuSearchItems.value(index.toInt()) == item)
            RunReportingFailures([&] { mnuSearchItems_Click(index.toInt()); });
    });
    connect(mnuSearchNext, &QAction::triggered, this, Guarded(this, &frmMain::mnuSearchNext_Click));
    connect(mnuFieldSearchNext, &QAction::triggered, this, Guarded(this, &frmMain::mnuFieldSearchNext_Click));
}

void frmMain::mnuSearchItems_Click(int Index)
{
    if (Index <= 0 || Index >= mnuSearchItems.size())
        return;
    if (frmSearchText::GetSelection(this, mnuSearchItems.at(Index)->text(), true, true))
        ExecuteSearch(Index);
}

void frmMain::ExecuteSearch(int Index)
{
    const QAction *item = mnuSearchItems.value(Index);
    if (!m_objCurDS || !item || Index == 0)
        return;
    const QString text = frmSearchText::sSearchText;
    const QString data = objdb::query::likeData(text);
    const QString pattern = frmSearchText::bInternal ? QLatin1Char('*') + data + QLatin1Char('*') : data + QLatin1Char('*');
    const QString field = item->property("tag").toString();
    const QString criterion = field + QStringLiteral(" Like ") + objdb::query::patternLiteral(pattern);
    toolbarAction(QStringLiteral("Find"))->setProperty("tag", QString::number(Index));
    const QString caption = item->text();
    findInGrid(criterion, frmSearchText::bNext, field, [this, text, caption] {
        MessageService::inform(QStringLiteral(" '") + text + QStringLiteral("' non trovato"), MessageService::Icon::Information,
                               QStringLiteral("Ricerca in ") + caption, this);
    });
}

void frmMain::findInGrid(const QString &criterion, bool next, const QString &field, std::function<void()> notFound)
{
    // The search continues from the row the user stands on.
    const qint64 current = next ? currentGridBookmark() : 0;
    // The match is shown in the column searched; a field the grid does not show keeps the column.
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const int searched = model ? model->columnOfField(field) : -1;
    const QString shownField = !model || (searched >= 0 && !dgView->isColumnHidden(searched))
                                   ? field
                                   : model->fieldAt(qMax(0, dgView->currentIndex().column()));
    m_busyMark->set(QStringLiteral("search"), true);
    m_objCurDS->FindApart(
        *m_searchRead, criterion, current,
        [this, shownField, notFound = std::move(notFound)](bool found) {
            m_busyMark->set(QStringLiteral("search"), false);
            if (!found) {
                notFound();
                return;
            }
            dgView->clearSelection();
            objdb::ViewUtility::ShowRowWhenKnown(dgView, m_objCurDS->Bookmark(), shownField);
        },
        [this](const objdb::Error &error) {
            m_busyMark->set(QStringLiteral("search"), false);
            // The rows were read again meanwhile: the search was for a view no longer shown.
            if (error.code() != objdb::kErrStopped)
                ShowErrorReport(QString(), PendingError(error));
        });
}

void frmMain::mnuSearchNext_Click()
{
    bool numeric = false;
    const int index = toolbarAction(QStringLiteral("Find"))->property("tag").toString().toInt(&numeric);
    if (!numeric) {
        mnuSearch->popup(QCursor::pos());
        return;
    }
    if (frmSearchText::sSearchText.isEmpty()) {
        mnuSearchItems_Click(index);
        return;
    }
    frmSearchText::bNext = true;
    ExecuteSearch(index);
}

void frmMain::mnuFieldSearchNext_Click()
{
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const QModelIndex current = dgView->currentIndex();
    if (!m_objCurDS || !model || !current.isValid())
        return;
    const QString field = model->fieldAt(current.column());
    const QString cellText = ColumnFilters::cellValueText(current);
    for (int i = 1; i < mnuSearchItems.size(); ++i) {
        if (mnuSearchItems.at(i)->property("tag").toString() != field)
            continue;
        frmSearchText::sLastName = field;
        frmSearchText::sLastValue = cellText;
        frmSearchText::sSearchText = cellText;
        frmSearchText::bNext = true;
        ExecuteSearch(i);
        return;
    }
    // A column without a search item: the next row holding the same value.
    const objdb::FieldDef *def = m_objCurDS->Field(field);
    const QString caption = def ? def->caption : field;
    findInGrid(m_objCurDS->BuildCriterion(field, cellText, QStringLiteral("%")), true, field, [this, cellText, caption] {
        MessageService::inform(QStringLiteral(" '") + cellText + QStringLiteral("' non trovato"), MessageService::Icon::Information,
                               QStringLiteral("Ricerca in ") + caption, this);
    });
    frmSearchText::sLastValue.clear();
    frmSearchText::sSearchText.clear();
}
