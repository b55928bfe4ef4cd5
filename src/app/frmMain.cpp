#include "app/frmMain.h"

#include "app/layout.h"
#include "app/startup.h"
#include "services/busymark.h"
#include "services/deferredcommand.h"
#include "services/modGlobal.h"
#include "services/twips.h"
#include "views/currentview.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, const QString &tip)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QLatin1String(modGlobal::kProductName));
    setWindowIcon(QIcon(QStringLiteral(":/cobrelle.png")));
    createControls();
    createToolbar();
    createMenus();
    connectHandlers();
    modGlobal::g_frmMain = this;
}

frmMain::~frmMain()
{
    if (m_blnKeyFilterInstalled)
        qApp->removeEventFilter(this);
    if (modGlobal::g_frmMain == this)
        modGlobal::g_frmMain = nullptr;
}

void frmMain::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    picTitles = new QWidget(client);
    picTitles->setObjectName(QStringLiteral("picTitles"));
    picTitles->setAutoFillBackground(true);

    const QStringList captions{QStringLiteral("Sezione:"), QStringLiteral("Dettagli:")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *label = new QLabel(captions[i], picTitles);
        label->setObjectName(QStringLiteral("lblTitle_%1").arg(i));
        label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        lblTitle.append(label);
    }
    cmdHideTree = makeButton(picTitles, "cmdHideTree", QString(), QStringLiteral("Nascondi / Visualizza Sezione"));
    setCmdHideTreeShowsHidden(false);
    cmdDateSel = makeButton(picTitles, "cmdDateSel", QString(),
                            QStringLiteral("Imposta il periodo di selezione dei dati"));

    tvTreeView = new QTreeWidget(client);
    tvTreeView->setObjectName(QStringLiteral("tvTreeView"));
    tvTreeView->setHeaderHidden(true);

    imgSplitter = new QWidget(client);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setCursor(Qt::SplitHCursor);
    imgSplitter->installEventFilter(this);

    dgView = new QTableView(client);
    dgView->setObjectName(QStringLiteral("dgView"));
    dgView->setWordWrap(false);
    dgView->verticalHeader()->setDefaultSectionSize(dgView->fontMetrics().height() + 6);

    // On the grid's top-left corner, over the headers' meeting point.
    cmdGridSetting = makeButton(client, "cmdGridSetting", QStringLiteral("…"), QStringLiteral("Impostazioni Griglia"));

    picSplitter = new QWidget(client);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAutoFillBackground(true);
    QPalette barPalette = picSplitter->palette();
    barPalette.setColor(QPalette::Window, palette().color(QPalette::Dark));
    picSplitter->setPalette(barPalette);
    picSplitter->hide();

    lblTotals = new QLabel(client);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    lblTotals->setFrameShape(QFrame::StyledPanel);
    lblTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblTotals->hide();

    auto *sectionTemplate = new QPushButton(client);
    sectionTemplate->setObjectName(QStringLiteral("acmdSectionItem_0"));
    sectionTemplate->hide();
    acmdSectionItem.append(sectionTemplate);

    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbPanel1 = new QLabel(sbStatusBar);
    sbPanel1->setObjectName(QStringLiteral("sbStatusBar_Panel1"));
    // A long message is cut, never the row count beside it; its tip holds it whole.
    sbPanel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    sbStatusBar->addWidget(sbPanel1, 1);
    sbRowCount = new QLabel(sbStatusBar);
    sbRowCount->setObjectName(QStringLiteral("sbStatusBar_RowCount"));
    sbStatusBar->addPermanentWidget(sbRowCount);
    m_busyMark = new BusyMark(sbStatusBar);
    setStatusBar(sbStatusBar);

    tmFunc = new DeferredCommand(this);
    tmFunc->setObjectName(QStringLiteral("tmFunc"));

    m_view = new CurrentView(*dgView, *this, *this);
    connectViewSignals();
}

void frmMain::createToolbar()
{
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, tbToolBar);

    struct Button {
        const char *key;
        const char *tip;
        QStyle::StandardPixmap icon;
    };
    static const Button buttons[] = {
        {"Find", "Cerca", QStyle::SP_FileDialogContentsView},
        {"Filter", "Filtra", QStyle::SP_FileDialogListView},
        {"Print", "Stampa", QStyle::SP_DialogSaveButton},
        {"Delete", "Elimina", QStyle::SP_TrashIcon},
        {"New", "Nuovo", QStyle::SP_FileIcon},
        {"Properties", "Modifica", QStyle::SP_FileDialogDetailedView},
        {"Refresh", "Aggiorna", QStyle::SP_BrowserReload},
        {"Help", "Guida", QStyle::SP_DialogHelpButton},
        {"Log", "Cambia Operatore", QStyle::SP_DialogYesButton},
    };
    for (const Button &b : buttons) {
        auto *action = tbToolBar->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.tip));
        action->setObjectName(QStringLiteral("tbToolBar_") + QLatin1String(b.key));
        action->setToolTip(QString::fromUtf8(b.tip));
        action->setProperty("key", QLatin1String(b.key));
    }

    // "Find" drops down the list of fields; its tag holds the index of the default search item.
    QAction *find = toolbarAction(QStringLiteral("Find"));
    auto *findMenu = new QMenu(this);
    findMenu->setObjectName(QStringLiteral("tbToolBar_FindMenu"));
    find->setMenu(findMenu);
    find->setProperty("tag", QString());
    if (auto *button = qobject_cast<QToolButton *>(tbToolBar->widgetForAction(find))) {
        button->setObjectName(QStringLiteral("tbToolBar_FindButton"));
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

QAction *frmMain::toolbarAction(const QString &key) const
{
    return tbToolBar->findChild<QAction *>(QStringLiteral("tbToolBar_") + key);
}

bool frmMain::cmdHideTreeShowsHidden() const
{
    return cmdHideTree->text() == QStringLiteral("▶");
}

void frmMain::setCmdHideTreeShowsHidden(bool hidden)
{
    // Left arrow: the tree is shown and can be hidden; right arrow: it is hidden.
    cmdHideTree->setText(hidden ? QStringLiteral("▶") : QStringLiteral("◀"));
}

double frmMain::splitterTwips() const
{
    return Twips::fromPixelsX(imgSplitter->x());
}

void frmMain::SetStatusMsg(const QString &sMsg)
{
    sbPanel1->setText(sMsg);
    sbPanel1->setToolTip(sMsg);
}

void frmMain::SetAppTitle()
{
    setWindowTitle(QLatin1String(modGlobal::kProductName) + QStringLiteral("  [ ") + m_strOperatore
                   + QStringLiteral(" ]"));
}
