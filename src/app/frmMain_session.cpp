// The session commands of the main window: the login of the operator and the change of his
// password, options, the dropping of the open archive, the currency shown, help.

#include "app/frmMain.h"

#include "app/mainwindowcommands.h"
#include "desktop/frmAbout.h"
#include "desktop/helpguide.h"
#include "maintenance/optionslauncher.h"
#include "objdb/datacontext.h"
#include "objdb/viewer/datawindow.h"
#include "services/administratoronly.h"
#include "views/currentview.h"

#include <QAction>
#include <QCoreApplication>

void frmMain::mnuToolsOptions_Click()
{
    ShowOptionsDialog(this, [this] { ReloadDatabase(); }, {[this] { ReleaseDatabase(); }, this, {}, &m_objSession});
}

void frmMain::mnuChangeUser_Click()
{
    // Cancelled or refused, the change leaves the session as it was.
    if (!UserLogin(true, false))
        return;
    SetTreeViewNodes();
    RefreshDetailView(QString());
}

void frmMain::mnuChangePwd_Click()
{
    UserLogin(false, true);
}

void frmMain::mnuHelpContents_Click()
{
    HelpGuide::Open(this);
}

void frmMain::mnuHelpSearchForHelpOn_Click()
{
    // The guide's index of topics; the browser's own search covers the rest.
    HelpGuide::Open(this, QStringLiteral("indice"));
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::ReloadDatabase()
{
    // The view of the dropped archive goes too: nothing may read it any more. The next activation
    // opens the new archive and shows the view again.
    ReleaseDatabase();
}

void frmMain::ReleaseDatabase()
{
    // Nothing made over the archive may outlive it: the next view would read a closed archive.
    m_view->release();
    clearFieldMenus();
    BuildAssociatedMenus(nullptr, true);
    MainWindowCommands::enableDataCommands(*this, false);
    objdb::ReleaseDataWindow();
    m_objSession.close();
}

void frmMain::mnuViewCurrencyConversion_Click()
{
    // Triggering the item has already inverted its check mark: the mark is the new choice.
    m_view->setCurrencyConversion(mnuViewCurrencyConversion->isChecked());
    RefreshDetailView();
    mnuViewCurrencyConversion->setChecked(m_view->currencyConversion());
    m_view->writeSettings();
}

void frmMain::UpdateCurrencyMenu()
{
    const auto currency = m_objSession.dataContext ? m_objSession.dataContext->ConversionCurrency() : nullptr;
    mnuViewCurrencyConversion->setVisible(currency != nullptr);
    if (!currency)
        return;
    mnuViewCurrencyConversion->setText(QStringLiteral("&Importi in ") + currency->Name(-1));
    mnuViewCurrencyConversion->setChecked(m_view->currencyConversion());
}

bool frmMain::UserLogin(bool p_blnChangeUser, bool p_blnChangePwd)
{
    QCoreApplication::processEvents();
    // A change cancelled or refused keeps the operator, his title and his rights.
    if (!m_objLogin.Run(m_objSession, p_blnChangeUser, p_blnChangePwd))
        return false;
    m_strOperatore = m_objSession.operatorName;
    SetAppTitle();
    UpdateAdministratorCommands();
    return true;
}

void frmMain::UpdateAdministratorCommands()
{
    const bool administrator = IsAdministrator(m_objSession);
    for (QAction *item : {mnuDeletePayment, mnuVerifyArchive, mnuDeletionLog, mnuImport, mnuTransferToServer})
        item->setEnabled(administrator);
}
