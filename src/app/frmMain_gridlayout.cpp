// The grid layout menu of the main window, also popped up by the button on the grid's corner.
#include "app/frmMain.h"

#include "services/errorreport.h"
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

void frmMain::connectGridLayoutCommands()
{
    connect(cmdGridSetting, &QPushButton::clicked, this, &frmMain::cmdGridSetting_Click);
    connect(mnuGridFldAll, &QAction::triggered, this, Guarded(this, &frmMain::mnuGridFldAll_Click));
    connect(mnuGridFldSequence, &QAction::triggered, this, Guarded(this, &frmMain::mnuGridFldSequence_Click));
    connect(mnuGridCancel, &QAction::triggered, this, Guarded(this, &frmMain::mnuGridCancel_Click));
}

bool frmMain::gridLayoutApplies() const
{
    if (m_view->layoutApplies())
        return true;
    MessageService::beep();
    return false;
}

void frmMain::UpdateFieldSequenceMark()
{
    mnuGridFldSequence->setChecked(m_view->hasFieldSequence());
}

void frmMain::cmdGridSetting_Click()
{
    mnuGridSetting->popup(cmdGridSetting->mapToGlobal(QPoint(0, cmdGridSetting->height())));
}

void frmMain::mnuGridFldAll_Click()
{
    if (gridLayoutApplies())
        m_view->showAllFields();
}

void frmMain::mnuGridFldSequence_Click()
{
    // Triggering has already inverted the check mark: it is put right before anything can fail.
    UpdateFieldSequenceMark();
    if (gridLayoutApplies() && m_view->editFieldSequence())
        UpdateFieldSequenceMark();
}

void frmMain::mnuGridCancel_Click()
{
    if (gridLayoutApplies() && m_view->resetLayout())
        UpdateFieldSequenceMark();
}
