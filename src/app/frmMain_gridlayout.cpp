// The grid layout menu of the main window, also popped up by the button on the grid's corner.
#include "app/frmMain.h"

#include "app/commandtable.h"
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

void frmMain::connectGridLayoutCommands()
{
    connect(cmdGridSetting, &QPushButton::clicked, this, &frmMain::cmdGridSetting_Click);
    ConnectCommands(this, {{mnuGridFldAll, &frmMain::mnuGridFldAll_Click},
                           {mnuGridFldSequence, &frmMain::mnuGridFldSequence_Click},
                           {mnuGridCancel, &frmMain::mnuGridCancel_Click}});
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
