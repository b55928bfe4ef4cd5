// The section overview page: heading and item buttons of a grouping node, their placement in
// columns, their tags and the hide-tree button while the page shows.
#include "viewsfixture.h"

#include "app/layout.h"
#include "services/twips.h"
#include "objdb/datacontext.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace ViewsFixture;

class SectionPageTest : public MainWindowTest {
    Q_OBJECT

    // The page as the window shows it: the template, then the heading and the item buttons.
    QList<QPushButton *> page()
    {
        return QList<QPushButton *>{widget<QPushButton>("acmdSectionItem_0")}
            + items<QPushButton>(form(), QStringLiteral("acmdSectionItem"));
    }
    void select(int index) { tree()->setCurrentItem(form().nodeByIndex(index)); }
    // Buttons on the window apart from the template, counting those still to be deleted.
    int pageButtonsAlive()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int count = 0;
        for (auto *button : form().findChildren<QPushButton *>())
            if (button->objectName().startsWith(QLatin1String("acmdSectionItem_")) && button != page()[0])
                ++count;
        return count;
    }
    static int gapPixels(double twips) { return Twips::toPixelsY(twips); }

private slots:
    void init()
    {
        m_archive = std::make_unique<OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 0;
        m_form = std::make_unique<frmMain>();
        m_form->resize(900, 700);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        LayoutMainWindow(*m_form, 3000);
        m_form->SetTreeViewNodes();
    }

    void cleanup() { closeWindowAndArchive(); }

    void groupingNodeShowsHeadingAndItems()
    {
        select(5); // "Archivio"
        form().BuildSectionPage();
        QCOMPARE(page().size(), 6);
        QPushButton *heading = page()[1];
        QCOMPARE(heading->text(), QStringLiteral("VOCI PRINCIPALI PER LA SEZIONE ARCHIVIO :"));
        QVERIFY(!heading->isEnabled());
        QVERIFY(heading->font().bold());
        QCOMPARE(heading->palette().color(QPalette::Button), QColor(224, 224, 224));
        QCOMPARE(heading->x(), widget<QWidget>("imgSplitter")->x() + Twips::toPixelsX(400));

        const QStringList captions{page()[2]->text(), page()[3]->text(), page()[4]->text(), page()[5]->text()};
        QCOMPARE(captions[3], QStringLiteral("Configurazione"));
        QCOMPARE(page()[2]->property("tag").toString(), QStringLiteral("Pagamenti"));
        // The grouping child has no key: its tag is its node index.
        QCOMPARE(page()[5]->property("tag").toString(), QStringLiteral("9"));
        QCOMPARE(page()[3]->toolTip(), QStringLiteral("Apre la sezione <") + captions[1]
                                           + QStringLiteral("> per la Visualizzazione/Modifica dei dati oppure per la Stampa..."));
        for (int i = 2; i < page().size(); ++i) {
            QVERIFY(!page()[i]->font().bold());
            QVERIFY(!page()[i]->icon().isNull());
            QVERIFY(page()[i]->isVisible());
            QCOMPARE(page()[i]->x(), heading->x());
        }
        QVERIFY(!widget<QPushButton>("cmdHideTree")->isEnabled());
    }

    void leafOrNothingSelectedLeavesOnlyTheTemplate()
    {
        select(5);
        form().BuildSectionPage();
        select(6); // "Pagamenti"
        form().BuildSectionPage();
        QCOMPARE(page().size(), 1);
        QVERIFY(widget<QPushButton>("cmdHideTree")->isEnabled());
        tree()->clearSelection();
        form().BuildSectionPage();
        QCOMPARE(page().size(), 1);
        QCOMPARE(pageButtonsAlive(), 0);
    }

    void sectionWithoutChildrenShowsNothing()
    {
        auto *empty = new QTreeWidgetItem(tree(), QStringList{QStringLiteral("Vuota")});
        tree()->setCurrentItem(empty);
        form().BuildSectionPage();
        QCOMPARE(page().size(), 1);
        QVERIFY(widget<QPushButton>("cmdHideTree")->isEnabled());
    }

    void childWithoutTextLeavesNoGap()
    {
        form().nodeByIndex(7)->setText(0, QString()); // "Compagnie"
        select(5);
        form().BuildSectionPage();
        QCOMPARE(page().size(), 5);
        QCOMPARE(page()[3]->property("tag").toString(), QStringLiteral("Collaboratori"));
        const int step = page()[3]->y() - page()[2]->y();
        QVERIFY(qAbs(step - (page()[2]->height() + gapPixels(150))) <= 1);
    }

    void itemsPastTheBottomContinueInASecondColumn()
    {
        auto *many = new QTreeWidgetItem(tree(), QStringList{QStringLiteral("Molte")});
        for (int i = 0; i < 30; ++i)
            new QTreeWidgetItem(many, QStringList{QStringLiteral("Voce %1").arg(i)});
        tree()->setCurrentItem(many);
        form().BuildSectionPage();
        QCOMPARE(page().size(), 32);
        QPushButton *first = page()[2];
        int secondColumn = -1;
        for (int i = 3; i < page().size() && secondColumn < 0; ++i)
            if (page()[i]->x() != first->x())
                secondColumn = i;
        QVERIFY(secondColumn > 3);
        // Aligned under the heading, one button width and a gap to the right.
        QCOMPARE(page()[secondColumn]->y(), first->y());
        QVERIFY(qAbs(page()[secondColumn]->x() - (first->x() + first->width() + Twips::toPixelsX(400))) <= 1);
        const int bottom = form().centralWidget()->height() - gapPixels(150);
        for (int i = 2; i < page().size(); ++i)
            if (page()[i]->x() == first->x())
                QVERIFY(page()[i]->geometry().bottom() < bottom);
    }

    void rebuildingTwiceLeavesOneSet()
    {
        select(1); // "Stampe"
        form().BuildSectionPage();
        form().BuildSectionPage();
        QCOMPARE(page().size(), 5);
        QCOMPARE(pageButtonsAlive(), 4);
        QCOMPARE(page()[2]->property("tag").toString(), QStringLiteral("Statistiche"));
    }

    void layoutMovesThePageWithTheSplitter()
    {
        select(5);
        form().BuildSectionPage();
        LayoutMainWindow(*m_form, 4000);
        QCOMPARE(page().size(), 6);
        QCOMPARE(page()[1]->x(), Twips::toPixelsX(4000) + Twips::toPixelsX(400));
        QCOMPARE(pageButtonsAlive(), 5);
    }

    void clickingAnItemOpensItsNode()
    {
        select(5);
        form().BuildSectionPage();
        QPushButton *configuration = page()[5];
        // The refreshed view rebuilds the page under the clicked button.
        QTest::mouseClick(configuration, Qt::LeftButton);
        QCOMPARE(form().selectedNodeText(), QStringLiteral("Configurazione"));
        QVERIFY(showsSectionPage(form()));
        QCOMPARE(widget<QLabel>("sbStatusBar_Panel1")->text(), QStringLiteral("Sezione: <Configurazione>"));
        QCOMPARE(page()[1]->text(), QStringLiteral("VOCI PRINCIPALI PER LA SEZIONE CONFIGURAZIONE :"));
        QCOMPARE(pageButtonsAlive(), 2);

        // A table's button replaces the page with the table's grid.
        QTest::mouseClick(page()[2], Qt::LeftButton);
        QCOMPARE(form().selectedNodeKey(), QStringLiteral("TipiOperazione"));
        QVERIFY(showsTable(form(), QStringLiteral("TipiOperazione")));
        QCOMPARE(page().size(), 1);
        QCOMPARE(pageButtonsAlive(), 0);
        QVERIFY(widget<QPushButton>("cmdHideTree")->isEnabled());
    }
};

COBRELLE_TEST_MAIN(SectionPageTest)
#include "tst_sectionpage.moc"
