// The import of another archive's rows into the table of the current view.
#include "app/frmMain.h"

#include "maintenance/archiveimport.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "services/administratoronly.h"
#include "services/errorreport.h"
#include "services/messageservice.h"
#include "views/currentview.h"

#include <QAction>

void frmMain::mnuImport_Click()
{
    if (RefuseNonAdministrator(m_objSession, this))
        return;
    if (!m_view->m_objCurDS) {
        MessageService::beep();
        return;
    }
    const QString caption = m_view->m_objCurDS->GetTable().Caption();
    if (!MessageService::askYesNo(QStringLiteral("Questa funzione permette di importare < ") + caption
                                      + QStringLiteral(" > nell'archivio corrente.\n\nATTENZIONE!\nL'operazione deve essere "
                                                       "guidata da personale tecnico!\n\nContinuare ?"),
                                  MessageService::Icon::Exclamation, MessageService::Answer::No, QString(), this))
        return;
    const QString fileName = ChooseArchiveToImport(this);
    if (fileName.isEmpty())
        return;
    if (ImportArchive(fileName, m_view->m_objCurDS, this, this))
        RefreshDetailView(QString());
}
