// The output commands of the window: the current view handed to its report, the browser page and
// the data export.
#include "app/frmMain.h"

#include "desktop/modOSWinUtil.h"
#include "objdb/datasource.h"
#include "objdb/grid/viewutility.h"
#include "output/browserpage.h"
#include "output/dataexport.h"
#include "output/printcurrentdata.h"
#include "output/viewinfo.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QAction>
#include <QPushButton>
#include <QTableView>

output::ViewInfo frmMain::outputView() const
{
    output::ViewInfo view;
    view.title = selectedNodeText();
    if (currentSectionKey() == QLatin1String("Mov. per Collaboratori"))
        view.period = m_view->periodCaption();
    else if (!cmdDateSel->isHidden() && m_view->dateSelection() != DateSelection::All)
        view.period = cmdDateSel->toolTip(); // "Dati del giorno 07/03/2005 relativi a Data"
    view.owner = const_cast<frmMain *>(this);
    view.openDocument = [](const QString &file) { return modOSWinUtil::ShellOpenDocument(file); };
    return view;
}

void frmMain::PrintCurrentData(QObject *p_objSource, int p_Func, const QString &p_sTitle)
{
    auto *ds = qobject_cast<objdb::DataSource *>(p_objSource);
    if (!ds) {
        MessageService::beep();
        return;
    }
    output::PrintCurrentData(*ds, p_Func, p_sTitle, outputView());
}

void frmMain::mnuPrint_Click()
{
    if (dgView->isHidden() || !m_view->m_objCurDS) {
        MessageService::beep();
        return;
    }
    PrintCurrentData(m_view->m_objCurDS.get(), output::PrintModePrint, currentSectionKey());
}

void frmMain::mnuPreview_Click()
{
    if (dgView->isHidden() || !m_view->m_objCurDS) {
        MessageService::beep();
        return;
    }
    PrintCurrentData(m_view->m_objCurDS.get(), output::PrintModePreview, currentSectionKey());
}

void frmMain::mnuPrintExport_Click()
{
    if (dgView->isHidden() || !m_view->m_objCurDS) {
        MessageService::beep();
        return;
    }
    PrintCurrentData(m_view->m_objCurDS.get(), output::PrintModeExport, currentSectionKey());
}

void frmMain::mnuViewWebBrowser_Click()
{
    if (dgView->isHidden() || !m_view->m_objCurDS) {
        MessageService::beep();
        return;
    }
    output::ShowInBrowser(*m_view->m_objCurDS, QString(), outputView());
}

void frmMain::mnuSave_Click()
{
    if (dgView->isHidden() || !m_view->m_objCurDS) {
        MessageService::beep();
        return;
    }
    const objdb::GridSetting *setting = m_view->gridSetting();
    output::ExportData(*m_view->m_objCurDS, setting ? setting->FieldSequence() : QString(), outputView());
}
