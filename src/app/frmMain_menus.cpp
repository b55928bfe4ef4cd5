// The main window's menu bar and its pop-up menus.
#include "app/frmMain.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *addMenu(QWidget *owner, QMenu *parentMenu, const char *name, const QString &caption)
{
    QMenu *menu = parentMenu ? parentMenu->addMenu(caption) : new QMenu(caption, owner);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("_Action"));
    return menu;
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption, bool checkable = false)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (checkable) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    return action;
}

// A menu-item array: item 0 is the hidden template from which the items of each view are made.
QList<QAction *> addItemArray(QMenu *menu, const char *name, const QString &templateCaption)
{
    QAction *item = menu->addAction(templateCaption);
    item->setObjectName(QLatin1String(name) + QStringLiteral("_0"));
    item->setVisible(false);
    return {item};
}

} // namespace

void frmMain::createMenus()
{
    QMenuBar *bar = menuBar();

    mnuFile = addMenu(this, nullptr, "mnuFile", QStringLiteral("&Dati"));
    mnuFileNew = addItem(mnuFile, "mnuFileNew", QStringLiteral("&Nuovo..."));
    mnuFileProperties = addItem(mnuFile, "mnuFileProperties", QStringLiteral("&Modifica..."));
    mnuFileDelete = addItem(mnuFile, "mnuFileDelete", QStringLiteral("&Elimina"));
    mnuFile->addSeparator();
    mnuViewWebBrowser = addItem(mnuFile, "mnuViewWebBrowser", QStringLiteral("&Web Browser..."));
    mnuSave = addItem(mnuFile, "mnuSave", QStringLiteral("&Esporta dati..."));
    mnuImport = addItem(mnuFile, "mnuImport", QStringLiteral("&Importa da archivio..."));
    mnuFile->addSeparator();
    mnuFileClose = addItem(mnuFile, "mnuFileClose", QStringLiteral("Chiudi"));
    bar->addMenu(mnuFile);

    mnuView = addMenu(this, nullptr, "mnuView", QStringLiteral("&Visualizza"));
    mnuViewToolbar = addItem(mnuView, "mnuViewToolbar", QStringLiteral("&Barra degli strumenti"), true);
    mnuViewStatusBar = addItem(mnuView, "mnuViewStatusBar", QStringLiteral("Barra di &Stato"), true);
    mnuHideSection = addItem(mnuView, "mnuHideSection", QStringLiteral("&Sezione"), true);
    mnuView->addSeparator();
    mnuViewRefresh = addItem(mnuView, "mnuViewRefresh", QStringLiteral("&Aggiorna"));
    mnuViewCurrencyConversion =
        addItem(mnuView, "mnuViewCurrencyConversion", QStringLiteral("&Importi in Euro"), true);
    mnuViewCurrencyConversion->setChecked(false); // follows the configuration once the database is open
    bar->addMenu(mnuView);

    createDataMenus();
    createToolMenus();

    mnuHelp = addMenu(this, nullptr, "mnuHelp", QStringLiteral("&Guida"));
    mnuHelpContents = addItem(mnuHelp, "mnuHelpContents", QStringLiteral("&Sommario"));
    mnuHelpContents->setShortcut(QKeySequence::HelpContents);
    mnuHelpSearchForHelpOn = addItem(mnuHelp, "mnuHelpSearchForHelpOn", QStringLiteral("&Cerca nella guida..."));
    mnuHelp->addSeparator();
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&Informazioni su Cobrelle..."));
    bar->addMenu(mnuHelp);

    // Pop-up of the notification-area icon; not part of the menu bar.
    mnuPopUp = addMenu(this, nullptr, "mnuPopUp", QStringLiteral("PopUp"));
    mnuActivate = addItem(mnuPopUp, "mnuActivate", QStringLiteral("&Visualizza"));
    mnuClose = addItem(mnuPopUp, "mnuClose", QStringLiteral("&Chiudi"));
}

void frmMain::createDataMenus()
{
    QMenuBar *bar = menuBar();

    mnuSearch = addMenu(this, nullptr, "mnuSearch", QStringLiteral("&Cerca"));
    mnuSearchNext = addItem(mnuSearch, "mnuSearchNext", QStringLiteral("Cerca &successivo"));
    mnuSearch->addSeparator();
    mnuSearchItems = addItemArray(mnuSearch, "mnuSearchItems", QStringLiteral("Cerca in..."));
    bar->addMenu(mnuSearch);

    mnuFilter = addMenu(this, nullptr, "mnuFilter", QStringLiteral("&Filtra"));
    mnuFilterShort = addMenu(this, mnuFilter, "mnuFilterShort", QStringLiteral("Filtra colonna"));
    mnuFilterItems = addItemArray(mnuFilterShort, "mnuFilterItems", QStringLiteral("Filtra per..."));
    mnuFilterComplex = mnuFilter->addAction(QStringLiteral("Imposta &filtro complesso..."));
    mnuFilterComplex->setObjectName(QStringLiteral("mnuFilterComplex"));
    mnuFilterComplex->setCheckable(true);
    mnuFilterComplexItems = addItemArray(mnuFilter, "mnuFilterComplexItems", QStringLiteral("Filtra con..."));
    mnuFilter->addSeparator();
    mnuFilterCancel = addItem(mnuFilter, "mnuFilterCancel", QStringLiteral("&Annulla filtro"));
    bar->addMenu(mnuFilter);

    mnuOrder = addMenu(this, nullptr, "mnuOrder", QStringLiteral("&Ordina"));
    mnuOrderShort = addMenu(this, mnuOrder, "mnuOrderShort", QStringLiteral("Ordina colonna"));
    mnuOrderItems = addItemArray(mnuOrderShort, "mnuOrderItems", QStringLiteral("Ordina per..."));
    mnuOrderCancel = addItem(mnuOrder, "mnuOrderCancel", QStringLiteral("&Annulla ordinamento"));
    mnuOrderComplex = addItem(mnuOrder, "mnuOrderComplex", QStringLiteral("&Ordinamento combinato..."));
    bar->addMenu(mnuOrder);

    mnuSelection = addMenu(this, nullptr, "mnuSelection", QStringLiteral("Selezioni in data"));
    mnuSelAll = addItem(mnuSelection, "mnuSelAll", QStringLiteral("&Tutti"));
    mnuSelDate = addItem(mnuSelection, "mnuSelDate", QStringLiteral("&Imposta data..."));
    mnuSelMonth = addItem(mnuSelection, "mnuSelMonth", QStringLiteral("Imposta &Mese..."));
    mnuSelPeriod = addItem(mnuSelection, "mnuSelPeriod", QStringLiteral("Imposta &Periodo..."));
    mnuSelection->addSeparator();
    // Captions follow the selection (days or months); see UpdateDateSelectionCaption.
    mnuSelPrevious = addItem(mnuSelection, "mnuSelPrevious", QStringLiteral("Giorno p&recedente\tAlt+Sinistra"));
    mnuSelNext = addItem(mnuSelection, "mnuSelNext", QStringLiteral("Giorno &successivo\tAlt+Destra"));
    mnuSelToday = addItem(mnuSelection, "mnuSelToday", QStringLiteral("&Oggi\tAlt+Home"));
    bar->addMenu(mnuSelection);

    mnuAssociation = addMenu(this, nullptr, "mnuAssociation", QStringLiteral("Dati &associati"));
    mnuReferencedItem = addItemArray(mnuAssociation, "mnuReferencedItem", QStringLiteral("Dati riferiti"));
    mnuRefItem = addItemArray(mnuAssociation, "mnuRefItem", QStringLiteral("Riferimento"));
    mnuContItem = addItemArray(mnuAssociation, "mnuContItem", QStringLiteral("Contenuto"));
    bar->addMenu(mnuAssociation);
}

void frmMain::createToolMenus()
{
    QMenuBar *bar = menuBar();

    mnuTools = addMenu(this, nullptr, "mnuTools", QStringLiteral("&Strumenti"));
    mnuToolsOptions = addItem(mnuTools, "mnuToolsOptions", QStringLiteral("&Opzioni..."));
    mnuChangeUser = addItem(mnuTools, "mnuChangeUser", QStringLiteral("&Cambia Operatore..."));
    mnuChangePwd = addItem(mnuTools, "mnuChangePwd", QStringLiteral("Cambio &Password..."));
    mnuClosingSummary = addItem(mnuTools, "mnuClosingSummary", QStringLiteral("C&hiusura giornata..."));
    mnuTools->addSeparator();
    mnuDeletePayment = addItem(mnuTools, "mnuDeletePayment", QStringLiteral("&Elimina pagamenti saldati..."));
    mnuVerifyArchive = addItem(mnuTools, "mnuVerifyArchive", QStringLiteral("&Verifica archivio..."));
    mnuDeletionLog = addItem(mnuTools, "mnuDeletionLog", QStringLiteral("&Registro eliminazioni..."));
    mnuTools->addSeparator();
    mnuToolsTotal = addMenu(this, mnuTools, "mnuToolsTotal", QStringLiteral("&Totalizza"));
    mnuTotalItems = addItemArray(mnuToolsTotal, "mnuTotalItems", QStringLiteral("Totalizza in..."));
    mnuToolsAverage = addMenu(this, mnuTools, "mnuToolsAverage", QStringLiteral("&Media"));
    mnuAverageItems = addItemArray(mnuToolsAverage, "mnuAverageItems", QStringLiteral("Media in..."));
    bar->addMenu(mnuTools);

    mnuPrintFunc = addMenu(this, nullptr, "mnuPrintFunc", QStringLiteral("&Stampa dati"));
    mnuPrint = addItem(mnuPrintFunc, "mnuPrint", QStringLiteral("&Stampa"));
    mnuPreview = addItem(mnuPrintFunc, "mnuPreview", QStringLiteral("&Anteprima..."));
    mnuPrintExport = addItem(mnuPrintFunc, "mnuPrintExport", QStringLiteral("&Esporta stampa"));
    bar->addMenu(mnuPrintFunc);

    mnuFieldFuncs = addMenu(this, nullptr, "mnuFieldFuncs", QStringLiteral("Funzioni su campo corrente (Click destro)"));
    mnuFieldFilter = addItem(mnuFieldFuncs, "mnuFieldFilter", QStringLiteral("&Filtra colonna con stesso valore..."));
    mnuFieldFilterCancel = addItem(mnuFieldFuncs, "mnuFieldFilterCancel", QStringLiteral("&Annulla filtro colonna"));
    mnuFieldFilterCancelAll = addItem(mnuFieldFuncs, "mnuFieldFilterCancelAll", QStringLiteral("Annulla &tutti i filtri"));
    mnuFieldSearchNext = addItem(mnuFieldFuncs, "mnuFieldSearchNext", QStringLiteral("&Cerca valore successivo"));
    mnuFieldTotal = addItem(mnuFieldFuncs, "mnuFieldTotal", QStringLiteral("&Totalizza colonna"));
    mnuFieldAverage = addItem(mnuFieldFuncs, "mnuFieldAverage", QStringLiteral("&Media colonna"));
    // The current row's associated data, also from a right click on a cell.
    mnuFieldFuncs->addSeparator();
    mnuFieldFuncs->addMenu(mnuAssociation);
    bar->addMenu(mnuFieldFuncs);

    mnuDataSelection = addMenu(this, nullptr, "mnuDataSelection", QStringLiteral("Selezioni predefinite"));
    mnuDataSelBeforeQuery = addItem(mnuDataSelection, "mnuDataSelBeforeQuery",
                                    QStringLiteral("Richiedi selezioni prima di visualizzare i dati..."));
    mnuDataSelBeforeQuery->setCheckable(true);
    mnuDataSelCancel = addItem(mnuDataSelection, "mnuDataSelCancel", QStringLiteral("Elimina selezioni"));
    bar->addMenu(mnuDataSelection);

    mnuGridSetting = addMenu(this, nullptr, "mnuGridSetting", QStringLiteral("&Griglia"));
    mnuGridFldAll = addItem(mnuGridSetting, "mnuGridFldAll", QStringLiteral("Visualizza &tutti i campi"));
    mnuGridFldSequence = addItem(mnuGridSetting, "mnuGridFldSequence", QStringLiteral("Imposta &sequenza campi..."), true);
    mnuGridFldSequence->setChecked(false);
    mnuGridCancel = addItem(mnuGridSetting, "mnuGridCancel", QStringLiteral("Annulla sequenza campi e dimensioni"));
    bar->addMenu(mnuGridSetting);
}
