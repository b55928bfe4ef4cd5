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
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QPushButton>
#include <QTableView>

output::ViewInfo frmMain::outputView() const
{
    const QString dateTip = cmdDateSel->isHidden() ? QString() : cmdDateSel->toolTip();
    return {selectedNodeText(), output::ViewPeriodOf(*m_view, currentSectionKey(), dateTip), const_cast<frmMain *>(this),
            [](const QString &file) { return modOSWinUtil::ShellOpenDocument(file); }};
}

bool frmMain::outputApplies() const
{
    return MessageService::appliesOrBeep(!dgView->isHidden() && m_view->m_objCurDS);
}

void frmMain::PrintCurrentData(QObject *p_objSource, int p_Func, const QString &p_sTitle)
{
    if (auto *ds = qobject_cast<objdb::DataSource *>(p_objSource))
        output::PrintCurrentData(*ds, p_Func, p_sTitle, outputView());
    else
        MessageService::beep();
}

void frmMain::mnuPrint_Click()
{
    if (outputApplies())
        PrintCurrentData(m_view->m_objCurDS.get(), output::PrintModePrint, currentSectionKey());
}

void frmMain::mnuPreview_Click()
{
    if (outputApplies())
        PrintCurrentData(m_view->m_objCurDS.get(), output::PrintModePreview, currentSectionKey());
}

void frmMain::mnuPrintExport_Click()
{
    if (outputApplies())
        PrintCurrentData(m_view->m_objCurDS.get(), output::PrintModeExport, currentSectionKey());
}

void frmMain::mnuViewWebBrowser_Click()
{
    if (outputApplies())
        output::ShowInBrowser(*m_view->m_objCurDS, QString(), outputView());
}

void frmMain::mnuSave_Click()
{
    if (!outputApplies())
        return;
    const objdb::GridSetting *setting = m_view->gridSetting();
    output::ExportData(*m_view->m_objCurDS, setting ? setting->FieldSequence() : QString(), outputView());
}
