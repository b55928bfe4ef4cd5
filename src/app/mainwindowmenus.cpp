// The main window's menu bar and its pop-up menus.
#include "app/mainwindowcontrols.h"

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

void MainWindowMenus::create(frmMain &form)
{
    QMenuBar *bar = form.menuBar();

    form.mnuFile = addMenu(&form, nullptr, "mnuFile", QStringLiteral("&Dati"));
    form.mnuFileNew = addItem(form.mnuFile, "mnuFileNew", QStringLiteral("&Nuovo..."));
    form.mnuFileProperties = addItem(form.mnuFile, "mnuFileProperties", QStringLiteral("&Modifica..."));
    form.mnuFileDelete = addItem(form.mnuFile, "mnuFileDelete", QStringLiteral("&Elimina"));
    form.mnuFile->addSeparator();
    form.mnuViewWebBrowser = addItem(form.mnuFile, "mnuViewWebBrowser", QStringLiteral("&Web Browser..."));
    form.mnuSave = addItem(form.mnuFile, "mnuSave", QStringLiteral("&Esporta dati..."));
    form.mnuImport = addItem(form.mnuFile, "mnuImport", QStringLiteral("&Importa da archivio..."));
    form.mnuFile->addSeparator();
    form.mnuFileClose = addItem(form.mnuFile, "mnuFileClose", QStringLiteral("Chiudi"));
    bar->addMenu(form.mnuFile);

    form.mnuView = addMenu(&form, nullptr, "mnuView", QStringLiteral("&Visualizza"));
    form.mnuViewToolbar = addItem(form.mnuView, "mnuViewToolbar", QStringLiteral("&Barra degli strumenti"), true);
    form.mnuViewStatusBar = addItem(form.mnuView, "mnuViewStatusBar", QStringLiteral("Barra di &Stato"), true);
    form.mnuHideSection = addItem(form.mnuView, "mnuHideSection", QStringLiteral("&Sezione"), true);
    form.mnuView->addSeparator();
    form.mnuViewRefresh = addItem(form.mnuView, "mnuViewRefresh", QStringLiteral("&Aggiorna"));
    form.mnuViewCurrencyConversion =
        addItem(form.mnuView, "mnuViewCurrencyConversion", QStringLiteral("&Importi in Euro"), true);
    form.mnuViewCurrencyConversion->setChecked(false); // follows the configuration once the database is open
    bar->addMenu(form.mnuView);

    createDataMenus(form);
    createToolMenus(form);

    form.mnuHelp = addMenu(&form, nullptr, "mnuHelp", QStringLiteral("&Guida"));
    form.mnuHelpContents = addItem(form.mnuHelp, "mnuHelpContents", QStringLiteral("&Sommario"));
    form.mnuHelpContents->setShortcut(QKeySequence::HelpContents);
    form.mnuHelpSearchForHelpOn = addItem(form.mnuHelp, "mnuHelpSearchForHelpOn", QStringLiteral("&Cerca nella guida..."));
    form.mnuHelp->addSeparator();
    form.mnuHelpAbout = addItem(form.mnuHelp, "mnuHelpAbout", QStringLiteral("&Informazioni su Cobrelle..."));
    bar->addMenu(form.mnuHelp);

    // Pop-up of the notification-area icon; not part of the menu bar.
    form.mnuPopUp = addMenu(&form, nullptr, "mnuPopUp", QStringLiteral("PopUp"));
    form.mnuActivate = addItem(form.mnuPopUp, "mnuActivate", QStringLiteral("&Visualizza"));
    form.mnuClose = addItem(form.mnuPopUp, "mnuClose", QStringLiteral("&Chiudi"));
}

void MainWindowMenus::createDataMenus(frmMain &form)
{
    QMenuBar *bar = form.menuBar();

    form.mnuSearch = addMenu(&form, nullptr, "mnuSearch", QStringLiteral("&Cerca"));
    form.mnuSearchNext = addItem(form.mnuSearch, "mnuSearchNext", QStringLiteral("Cerca &successivo"));
    form.mnuSearch->addSeparator();
    form.mnuSearchItems = addItemArray(form.mnuSearch, "mnuSearchItems", QStringLiteral("Cerca in..."));
    bar->addMenu(form.mnuSearch);

    form.mnuFilter = addMenu(&form, nullptr, "mnuFilter", QStringLiteral("&Filtra"));
    form.mnuFilterShort = addMenu(&form, form.mnuFilter, "mnuFilterShort", QStringLiteral("Filtra colonna"));
    form.mnuFilterItems = addItemArray(form.mnuFilterShort, "mnuFilterItems", QStringLiteral("Filtra per..."));
    form.mnuFilterComplex = form.mnuFilter->addAction(QStringLiteral("Imposta &filtro complesso..."));
    form.mnuFilterComplex->setObjectName(QStringLiteral("mnuFilterComplex"));
    form.mnuFilterComplex->setCheckable(true);
    form.mnuFilterComplexItems = addItemArray(form.mnuFilter, "mnuFilterComplexItems", QStringLiteral("Filtra con..."));
    form.mnuFilter->addSeparator();
    form.mnuFilterCancel = addItem(form.mnuFilter, "mnuFilterCancel", QStringLiteral("&Annulla filtro"));
    bar->addMenu(form.mnuFilter);

    form.mnuOrder = addMenu(&form, nullptr, "mnuOrder", QStringLiteral("&Ordina"));
    form.mnuOrderShort = addMenu(&form, form.mnuOrder, "mnuOrderShort", QStringLiteral("Ordina colonna"));
    form.mnuOrderItems = addItemArray(form.mnuOrderShort, "mnuOrderItems", QStringLiteral("Ordina per..."));
    form.mnuOrderCancel = addItem(form.mnuOrder, "mnuOrderCancel", QStringLiteral("&Annulla ordinamento"));
    form.mnuOrderComplex = addItem(form.mnuOrder, "mnuOrderComplex", QStringLiteral("&Ordinamento combinato..."));
    bar->addMenu(form.mnuOrder);

    form.mnuSelection = addMenu(&form, nullptr, "mnuSelection", QStringLiteral("Selezioni in data"));
    form.mnuSelAll = addItem(form.mnuSelection, "mnuSelAll", QStringLiteral("&Tutti"));
    form.mnuSelDate = addItem(form.mnuSelection, "mnuSelDate", QStringLiteral("&Imposta data..."));
    form.mnuSelMonth = addItem(form.mnuSelection, "mnuSelMonth", QStringLiteral("Imposta &Mese..."));
    form.mnuSelPeriod = addItem(form.mnuSelection, "mnuSelPeriod", QStringLiteral("Imposta &Periodo..."));
    form.mnuSelection->addSeparator();
    // Captions follow the selection (days or months); see UpdateDateSelectionCaption.
    form.mnuSelPrevious = addItem(form.mnuSelection, "mnuSelPrevious", QStringLiteral("Giorno p&recedente\tAlt+Sinistra"));
    form.mnuSelNext = addItem(form.mnuSelection, "mnuSelNext", QStringLiteral("Giorno &successivo\tAlt+Destra"));
    form.mnuSelToday = addItem(form.mnuSelection, "mnuSelToday", QStringLiteral("&Oggi\tAlt+Home"));
    bar->addMenu(form.mnuSelection);

    form.mnuAssociation = addMenu(&form, nullptr, "mnuAssociation", QStringLiteral("Dati &associati"));
    form.mnuReferencedItem = addItemArray(form.mnuAssociation, "mnuReferencedItem", QStringLiteral("Dati riferiti"));
    form.mnuRefItem = addItemArray(form.mnuAssociation, "mnuRefItem", QStringLiteral("Riferimento"));
    form.mnuContItem = addItemArray(form.mnuAssociation, "mnuContItem", QStringLiteral("Contenuto"));
    bar->addMenu(form.mnuAssociation);
}

void MainWindowMenus::createToolMenus(frmMain &form)
{
    QMenuBar *bar = form.menuBar();

    form.mnuTools = addMenu(&form, nullptr, "mnuTools", QStringLiteral("&Strumenti"));
    form.mnuToolsOptions = addItem(form.mnuTools, "mnuToolsOptions", QStringLiteral("&Opzioni..."));
    form.mnuChangeUser = addItem(form.mnuTools, "mnuChangeUser", QStringLiteral("&Cambia Operatore..."));
    form.mnuChangePwd = addItem(form.mnuTools, "mnuChangePwd", QStringLiteral("Cambio &Password..."));
    form.mnuClosingSummary = addItem(form.mnuTools, "mnuClosingSummary", QStringLiteral("C&hiusura giornata..."));
    form.mnuTools->addSeparator();
    form.mnuDeletePayment = addItem(form.mnuTools, "mnuDeletePayment", QStringLiteral("&Elimina pagamenti saldati..."));
    form.mnuVerifyArchive = addItem(form.mnuTools, "mnuVerifyArchive", QStringLiteral("&Verifica archivio..."));
    form.mnuDeletionLog = addItem(form.mnuTools, "mnuDeletionLog", QStringLiteral("&Registro eliminazioni..."));
    form.mnuTransferToServer = addItem(form.mnuTools, "mnuTransferToServer", QStringLiteral("Tras&ferisci archivio sul server..."));
    form.mnuTools->addSeparator();
    form.mnuToolsTotal = addMenu(&form, form.mnuTools, "mnuToolsTotal", QStringLiteral("&Totalizza"));
    form.mnuTotalItems = addItemArray(form.mnuToolsTotal, "mnuTotalItems", QStringLiteral("Totalizza in..."));
    form.mnuToolsAverage = addMenu(&form, form.mnuTools, "mnuToolsAverage", QStringLiteral("&Media"));
    form.mnuAverageItems = addItemArray(form.mnuToolsAverage, "mnuAverageItems", QStringLiteral("Media in..."));
    bar->addMenu(form.mnuTools);

    form.mnuPrintFunc = addMenu(&form, nullptr, "mnuPrintFunc", QStringLiteral("&Stampa dati"));
    form.mnuPrint = addItem(form.mnuPrintFunc, "mnuPrint", QStringLiteral("&Stampa"));
    form.mnuPreview = addItem(form.mnuPrintFunc, "mnuPreview", QStringLiteral("&Anteprima..."));
    form.mnuPrintExport = addItem(form.mnuPrintFunc, "mnuPrintExport", QStringLiteral("&Esporta stampa"));
    bar->addMenu(form.mnuPrintFunc);

    form.mnuFieldFuncs = addMenu(&form, nullptr, "mnuFieldFuncs", QStringLiteral("Funzioni su campo corrente (Click destro)"));
    form.mnuFieldFilter = addItem(form.mnuFieldFuncs, "mnuFieldFilter", QStringLiteral("&Filtra colonna con stesso valore..."));
    form.mnuFieldFilterCancel = addItem(form.mnuFieldFuncs, "mnuFieldFilterCancel", QStringLiteral("&Annulla filtro colonna"));
    form.mnuFieldFilterCancelAll = addItem(form.mnuFieldFuncs, "mnuFieldFilterCancelAll", QStringLiteral("Annulla &tutti i filtri"));
    form.mnuFieldSearchNext = addItem(form.mnuFieldFuncs, "mnuFieldSearchNext", QStringLiteral("&Cerca valore successivo"));
    form.mnuFieldTotal = addItem(form.mnuFieldFuncs, "mnuFieldTotal", QStringLiteral("&Totalizza colonna"));
    form.mnuFieldAverage = addItem(form.mnuFieldFuncs, "mnuFieldAverage", QStringLiteral("&Media colonna"));
    // The current row's associated data, also from a right click on a cell.
    form.mnuFieldFuncs->addSeparator();
    form.mnuFieldFuncs->addMenu(form.mnuAssociation);
    bar->addMenu(form.mnuFieldFuncs);

    form.mnuDataSelection = addMenu(&form, nullptr, "mnuDataSelection", QStringLiteral("Selezioni predefinite"));
    form.mnuDataSelBeforeQuery = addItem(form.mnuDataSelection, "mnuDataSelBeforeQuery",
                                    QStringLiteral("Richiedi selezioni prima di visualizzare i dati..."));
    form.mnuDataSelBeforeQuery->setCheckable(true);
    form.mnuDataSelCancel = addItem(form.mnuDataSelection, "mnuDataSelCancel", QStringLiteral("Elimina selezioni"));
    bar->addMenu(form.mnuDataSelection);

    form.mnuGridSetting = addMenu(&form, nullptr, "mnuGridSetting", QStringLiteral("&Griglia"));
    form.mnuGridFldAll = addItem(form.mnuGridSetting, "mnuGridFldAll", QStringLiteral("Visualizza &tutti i campi"));
    form.mnuGridFldSequence = addItem(form.mnuGridSetting, "mnuGridFldSequence", QStringLiteral("Imposta &sequenza campi..."), true);
    form.mnuGridFldSequence->setChecked(false);
    form.mnuGridCancel = addItem(form.mnuGridSetting, "mnuGridCancel", QStringLiteral("Annulla sequenza campi e dimensioni"));
    bar->addMenu(form.mnuGridSetting);
}
