// The grid layout menu of the main window, also popped up by the button on the grid's corner.
#include "app/frmMain.h"

#include "grid/gridlayout.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "objdb/grid/viewutility.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

void frmMain::connectGridLayoutCommands()
{
    connect(cmdGridSetting, &QPushButton::clicked, this, &frmMain::cmdGridSetting_Click);
    connect(mnuGridFldAll, &QAction::triggered, this, Guarded(this, &frmMain::mnuGridFldAll_Click));
    connect(mnuGridFldSequence, &QAction::triggered, this, Guarded(this, &frmMain::mnuGridFldSequence_Click));
    connect(mnuGridCancel, &QAction::triggered, this, Guarded(this, &frmMain::mnuGridCancel_Click));
}

bool frmMain::gridLayoutApplies() const
{
    if (!dgView->isHidden() && isViewBound() && m_objGridSetting)
        return true;
    MessageService::beep();
    return false;
}

void frmMain::UpdateFieldSequenceMark()
{
    mnuGridFldSequence->setChecked(m_objGridSetting && !m_objGridSetting->FieldSequence().isEmpty());
}

void frmMain::cmdGridSetting_Click()
{
    mnuGridSetting->popup(cmdGridSetting->mapToGlobal(QPoint(0, cmdGridSetting->height())));
}

void frmMain::mnuGridFldAll_Click()
{
    if (gridLayoutApplies())
        ShowAllFieldsOnce(m_objCurDS, *dgView, *m_objGridSetting);
}

void frmMain::mnuGridFldSequence_Click()
{
    // Triggering has already inverted the check mark: it is put right before anything can fail.
    UpdateFieldSequenceMark();
    if (gridLayoutApplies() && EditGridFieldSequence(m_objCurDS, *dgView, *m_objGridSetting, this))
        UpdateFieldSequenceMark();
}

void frmMain::mnuGridCancel_Click()
{
    if (gridLayoutApplies() && ResetGridLayout(m_objCurDS, *dgView, *m_objGridSetting, this))
        UpdateFieldSequenceMark();
}
