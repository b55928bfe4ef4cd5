// Text search in a column of the grid: the column items of "Cerca", "Cerca successivo" and the
// right-click "Cerca valore successivo"; the archive finds the match, the grid moves to it.
#include "app/frmMain.h"

#include "grid/columnfilters.h"
#include "grid/frmSearchText.h"
#include "services/errorreport.h"
#include "services/messageservice.h"

#include "objdb/datasource.h"
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
    if (!findInGrid(criterion, frmSearchText::bNext, field))
        MessageService::inform(QStringLiteral(" '") + text + QStringLiteral("' non trovato"), MessageService::Icon::Information,
                               QStringLiteral("Ricerca in ") + item->text(), this);
}

bool frmMain::findInGrid(const QString &criterion, bool next, const QString &field)
{
    // The search continues from the row the user stands on.
    const qint64 current = currentGridBookmark();
    if (next && current != 0)
        m_objCurDS->FindOID(current);
    if (!m_objCurDS->Find(criterion, next && current != 0))
        return false;
    dgView->clearSelection();
    QCoreApplication::processEvents();
    auto *model = objdb::ViewUtility::modelOf(dgView);
    const int row = model ? model->rowOfBookmark(m_objCurDS->Bookmark()) : -1;
    if (row >= 0) {
        // The match is shown in the column searched; a field the grid does not show keeps the column.
        const int searched = model->columnOfField(field);
        const int column = searched >= 0 && !dgView->isColumnHidden(searched) ? searched : qMax(0, dgView->currentIndex().column());
        const QModelIndex target = model->index(row, column);
        dgView->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
        dgView->scrollTo(target);
    }
    return true;
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
    if (!findInGrid(m_objCurDS->BuildCriterion(field, cellText, QStringLiteral("%")), true, field)) {
        const objdb::FieldDef *def = m_objCurDS->Field(field);
        MessageService::inform(QStringLiteral(" '") + cellText + QStringLiteral("' non trovato"), MessageService::Icon::Information,
                               QStringLiteral("Ricerca in ") + (def ? def->caption : field), this);
    }
    frmSearchText::sLastValue.clear();
    frmSearchText::sSearchText.clear();
}
