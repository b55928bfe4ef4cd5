// The main window's controls: title bar, tree, splitter, grid, totals band, section-page template,
// status bar and timers.
#include "app/mainwindowcontrols.h"

#include "app/frmMain.h"
#include "services/busymark.h"
#include "services/deferredcommand.h"
#include "views/currentview.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
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

void MainWindowControls::create(frmMain &form)
{
    auto *client = new QWidget(&form);
    client->setObjectName(QStringLiteral("clientArea"));
    form.setCentralWidget(client);

    form.picTitles = new QWidget(client);
    form.picTitles->setObjectName(QStringLiteral("picTitles"));
    form.picTitles->setAutoFillBackground(true);

    const QStringList captions{QStringLiteral("Sezione:"), QStringLiteral("Dettagli:")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *label = new QLabel(captions[i], form.picTitles);
        label->setObjectName(QStringLiteral("lblTitle_%1").arg(i));
        label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        form.lblTitle.append(label);
    }
    form.cmdHideTree =
        makeButton(form.picTitles, "cmdHideTree", QString(), QStringLiteral("Nascondi / Visualizza Sezione"));
    form.setCmdHideTreeShowsHidden(false);
    form.cmdDateSel = makeButton(form.picTitles, "cmdDateSel", QString(),
                                 QStringLiteral("Imposta il periodo di selezione dei dati"));

    form.tvTreeView = new QTreeWidget(client);
    form.tvTreeView->setObjectName(QStringLiteral("tvTreeView"));
    form.tvTreeView->setHeaderHidden(true);

    form.imgSplitter = new QWidget(client);
    form.imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    form.imgSplitter->setCursor(Qt::SplitHCursor);

    form.dgView = new QTableView(client);
    form.dgView->setObjectName(QStringLiteral("dgView"));
    form.dgView->setWordWrap(false);
    form.dgView->verticalHeader()->setDefaultSectionSize(form.dgView->fontMetrics().height() + 6);

    // On the grid's top-left corner, over the headers' meeting point.
    form.cmdGridSetting =
        makeButton(client, "cmdGridSetting", QStringLiteral("…"), QStringLiteral("Impostazioni Griglia"));

    form.picSplitter = new QWidget(client);
    form.picSplitter->setObjectName(QStringLiteral("picSplitter"));
    form.picSplitter->setAutoFillBackground(true);
    QPalette barPalette = form.picSplitter->palette();
    barPalette.setColor(QPalette::Window, form.palette().color(QPalette::Dark));
    form.picSplitter->setPalette(barPalette);
    form.picSplitter->hide();

    form.lblTotals = new QLabel(client);
    form.lblTotals->setObjectName(QStringLiteral("lblTotals"));
    form.lblTotals->setFrameShape(QFrame::StyledPanel);
    form.lblTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form.lblTotals->hide();

    auto *sectionTemplate = new QPushButton(client);
    sectionTemplate->setObjectName(QStringLiteral("acmdSectionItem_0"));
    sectionTemplate->hide();
    form.acmdSectionItem.append(sectionTemplate);

    form.sbStatusBar = new QStatusBar(&form);
    form.sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    form.sbPanel1 = new QLabel(form.sbStatusBar);
    form.sbPanel1->setObjectName(QStringLiteral("sbStatusBar_Panel1"));
    // A long message is cut, never the row count beside it; its tip holds it whole.
    form.sbPanel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    form.sbStatusBar->addWidget(form.sbPanel1, 1);
    form.sbRowCount = new QLabel(form.sbStatusBar);
    form.sbRowCount->setObjectName(QStringLiteral("sbStatusBar_RowCount"));
    form.sbStatusBar->addPermanentWidget(form.sbRowCount);
    form.m_busyMark = new BusyMark(form.sbStatusBar);
    form.setStatusBar(form.sbStatusBar);

    form.tmFunc = new DeferredCommand(&form);
    form.tmFunc->setObjectName(QStringLiteral("tmFunc"));

    form.m_view = new CurrentView(*form.dgView, form, form);
}
