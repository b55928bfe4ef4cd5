// The text search of the grid: the dialog's memory and default buttons, searches from the start
// and onwards ("Cerca successivo") until the not-found message, a value taken as it is (quotes,
// '*', '%'), the right-click search for the current cell's value, the letters typed on the grid
// and the memory forgotten for another table.

#include "viewsfixture.h"

#include "grid/frmSearchText.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace objdb;

class SearchTest : public ViewsFixture::MainWindowTest {
    Q_OBJECT

    void addMovement(const QString &description, qint64 units)
    {
        auto ds = modGlobal::AppSession().dataContext->Tables().Item("Movimenti").OpenDataSource();
        QVERIFY(ds->AddRow({"Descrizione", description, "Importo", QVariant::fromValue(Amount::fromUnits(units))}));
    }

    QAction *searchItem(const QString &caption)
    {
        for (QAction *item : ViewsFixture::items<QAction>(form(), QStringLiteral("mnuSearchItems")))
            if (item->text() == caption)
                return item;
        return nullptr;
    }

    QString currentDescription()
    {
        auto *model = ViewUtility::modelOf(grid());
        return model->index(grid()->currentIndex().row(), model->columnOfField("Descrizione")).data().toString();
    }

    // Answers the next search dialog by typing the text and pressing the button.
    static void answerSearch(const QString &text, const char *button = "cmdOk", bool internal = false)
    {
        ViewsFixture::whenDialogOpens<frmSearchText>([=](frmSearchText *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>("txtSearch");
            edit->clear();
            QTest::keyClicks(edit, text);
            if (internal)
                QTest::keyClick(edit, Qt::Key_F2);
            QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
        });
    }

private slots:
    void init()
    {
        frmSearchText::ForgetLastSearch();
        m_archive = std::make_unique<ViewsFixture::OpenArchive>();
        modGlobal::AppSession().dataContext->UserLevel = 1;
        m_form = std::make_unique<frmMain>();
        showWithTree();
        for (const auto &[description, units] : {std::pair{"Alfa", 10'000}, {"Beta", 20'000}, {"O'Neil", 10'000},
                                                 {"Alfabeto", 30'000}, {"Delta*x", 10'000}, {"Deltaxx", 40'000},
                                                 {"100% pagato", 50'000}})
            addMovement(QString::fromUtf8(description), units);
        select("Movimenti");
        grid()->setCurrentIndex(grid()->model()->index(0, 0));
    }

    void cleanup() { closeWindowAndArchive(); }

    void dialogMemoryAndDefaultButtons()
    {
        QStringList seen;
        ViewsFixture::whenDialogOpens<frmSearchText>([&](frmSearchText *dialog) {
            auto *ok = dialog->findChild<QPushButton *>("cmdOk");
            auto *edit = dialog->findChild<QLineEdit *>("txtSearch");
            auto *internal = dialog->findChild<QCheckBox *>("chkInternal");
            seen << edit->text() << QString::number(ok->isDefault());
            // One character: the internal option stays off whatever F2 does.
            QTest::keyClicks(edit, "a");
            QVERIFY(!internal->isEnabled());
            QTest::keyClick(edit, Qt::Key_F2);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QVERIFY(frmSearchText::GetSelection(&form(), "Descrizione", true, true));
        QCOMPARE(seen, (QStringList{"", "1"}));
        QCOMPARE(frmSearchText::sSearchText, QStringLiteral("a"));
        QVERIFY(!frmSearchText::bInternal);
        QVERIFY(!frmSearchText::bNext);

        // The same field again: the last text, and Enter asks for the next match; typing makes OK
        // the default again; F3 is "next".
        seen.clear();
        ViewsFixture::whenDialogOpens<frmSearchText>([&](frmSearchText *dialog) {
            auto *next = dialog->findChild<QPushButton *>("cmdNext");
            auto *edit = dialog->findChild<QLineEdit *>("txtSearch");
            seen << edit->text() << QString::number(next->isDefault()) << edit->selectedText();
            QTest::keyClicks(edit, "lf");
            seen << QString::number(next->isDefault()) << QString::number(dialog->findChild<QPushButton *>("cmdOk")->isDefault());
            QTest::keyClick(edit, Qt::Key_F3);
        });
        QVERIFY(frmSearchText::GetSelection(&form(), "Descrizione", true, true));
        QCOMPARE(seen, (QStringList{"a", "1", "a", "0", "1"}));
        QCOMPARE(frmSearchText::sSearchText, QStringLiteral("lf"));
        QVERIFY(frmSearchText::bNext);

        // Esc leaves without confirming; another field starts empty with OK as default.
        seen.clear();
        ViewsFixture::whenDialogOpens<frmSearchText>([&](frmSearchText *dialog) {
            seen << dialog->findChild<QLineEdit *>("txtSearch")->text()
                 << QString::number(dialog->findChild<QPushButton *>("cmdOk")->isDefault())
                 << QString::number(dialog->findChild<QCheckBox *>("chkInternal")->isVisible());
            QTest::keyClick(dialog->findChild<QLineEdit *>("txtSearch"), Qt::Key_Escape);
        });
        QVERIFY(!frmSearchText::GetSelection(&form(), "Codice"));
        QCOMPARE(seen, (QStringList{"", "1", "0"}));
        QVERIFY(frmSearchText::sSearchText.isEmpty());
        QCOMPARE(frmSearchText::sLastValue, QStringLiteral("lf"));
    }

    void searchThenNextUntilNotFound()
    {
        TestSupport::ScriptedMessages messages;
        QAction *item = searchItem("Descrizione");
        QVERIFY(item);
        answerSearch("al");
        item->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("Alfa"));
        QCOMPARE(widget<QAction>("tbToolBar_Find")->property("tag").toString(), item->property("index").toString());

        widget<QAction>("mnuSearchNext")->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("Alfabeto"));
        QVERIFY(messages.texts().isEmpty());
        widget<QAction>("mnuSearchNext")->trigger();
        QCOMPARE(messages.texts(), QStringList{" 'al' non trovato"});
        QCOMPARE(messages.seen().first().title, QStringLiteral("Ricerca in Descrizione"));
        QCOMPARE(currentDescription(), QStringLiteral("Alfabeto"));

        // Inside the values, with the internal option.
        messages.clear();
        answerSearch("eta", "cmdOk", true);
        item->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("Beta"));
        QVERIFY(messages.texts().isEmpty());
    }

    void searchedTextIsTakenAsItIs()
    {
        TestSupport::ScriptedMessages messages;
        QAction *item = searchItem("Descrizione");
        answerSearch("Delta*");
        item->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("Delta*x"));
        widget<QAction>("mnuSearchNext")->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("Delta*x")); // "Deltaxx" is no match
        QCOMPARE(messages.texts().size(), 1);

        answerSearch("O'N");
        item->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("O'Neil"));
        answerSearch("0% p", "cmdOk", true);
        item->trigger();
        QCOMPARE(currentDescription(), QStringLiteral("100% pagato"));
        QCOMPARE(messages.texts().size(), 1);
    }

    void matchLandsInTheSearchedColumn_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Cerca") << "cmdOk";
        QTest::newRow("Cerca, next in the dialog") << "cmdNext";
        QTest::newRow("Cerca successivo") << "mnuSearchNext";
    }

    // Wherever the current cell stood, the match becomes the current cell of the searched column,
    // scrolled into view.
    void matchLandsInTheSearchedColumn()
    {
        QFETCH(QString, command);
        auto *model = ViewUtility::modelOf(grid());
        for (int c = 0; c < model->columnCount(); ++c)
            grid()->setColumnWidth(c, grid()->viewport()->width()); // one column on screen at a time
        const int searched = model->columnOfField("Descrizione");
        const QModelIndex away = model->index(0, searched == 0 ? model->columnCount() - 1 : 0);
        if (command == "mnuSearchNext") {
            answerSearch("Bet");
            searchItem("Descrizione")->trigger();
        }
        grid()->setCurrentIndex(away);
        grid()->scrollTo(away);
        if (command == "mnuSearchNext") {
            widget<QAction>("mnuSearchNext")->trigger();
        } else {
            const QByteArray button = command.toLatin1(); // read when the dialog opens
            answerSearch("Bet", button.constData());
            searchItem("Descrizione")->trigger();
        }
        QCOMPARE(currentDescription(), QStringLiteral("Beta"));
        QCOMPARE(grid()->currentIndex().column(), searched);
        QVERIFY(grid()->viewport()->rect().contains(grid()->visualRect(grid()->currentIndex()).center()));
    }

    void nextWithoutTextOpensTheDialog()
    {
        QString label;
        ViewsFixture::whenDialogOpens<frmSearchText>([&label](frmSearchText *dialog) {
            label = dialog->findChild<QLabel *>("lblFieldName")->text();
            dialog->reject();
        });
        widget<QAction>("mnuSearchNext")->trigger();
        QCOMPARE(label, QStringLiteral("Descrizione"));
    }

    // A column without a search item: the next row holding the current cell's value.
    void nextRowWithTheCurrentValue()
    {
        TestSupport::ScriptedMessages messages;
        auto *model = ViewUtility::modelOf(grid());
        const int amount = model->columnOfField("Importo");
        QVERIFY(frmSearchText::sLastValue.isEmpty());
        grid()->setCurrentIndex(model->index(1, amount)); // Alfa, 1,00 (in the order of the names)
        const QString first = currentDescription();
        widget<QAction>("mnuFieldSearchNext")->trigger();
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(first, QStringLiteral("Alfa"));
        QCOMPARE(currentDescription(), QStringLiteral("Delta*x"));
        QCOMPARE(grid()->currentIndex().column(), amount);

        // A check box shows no text: its stored value is searched.
        grid()->setCurrentIndex(model->index(1, model->columnOfField("Pagato")));
        widget<QAction>("mnuFieldSearchNext")->trigger();
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(currentDescription(), QStringLiteral("Alfabeto"));
    }

    // A NUL in the text (pasted) is refused before it can cut the text short; the dialog stays.
    void aNulInTheTextIsRefused_data()
    {
        QTest::addColumn<bool>("filter");
        QTest::newRow("Cerca") << false;
        QTest::newRow("Filtra") << true;
    }

    void aNulInTheTextIsRefused()
    {
        QFETCH(bool, filter);
        TestSupport::ScriptedMessages messages;
        grid()->setCurrentIndex(grid()->model()->index(3, 0));
        bool stayed = false;
        ViewsFixture::whenDialogOpens<frmSearchText>([&stayed](frmSearchText *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>("txtSearch");
            edit->setText(QStringLiteral("zz") + QChar(0) + QStringLiteral("x"));
            QTest::keyClick(edit, Qt::Key_F2);
            QTest::keyClick(edit, Qt::Key_Return);
            stayed = dialog->isVisible();
            dialog->reject();
        });
        if (filter)
            m_form->mnuFilterItems_Click(1);
        else
            searchItem("Descrizione")->trigger();
        QVERIFY(stayed);
        QCOMPARE(messages.texts(),
                 QStringList{"Il testo contiene un carattere non ammesso (NUL): correggerlo e riprovare."});
        QCOMPARE(m_form->view().m_objCurDS->Filter(), QString());
        QCOMPARE(grid()->currentIndex().row(), 3);
    }

    void lettersTypedOnTheGridOpenTheSearch()
    {
        QString typed;
        ViewsFixture::whenDialogOpens<frmSearchText>([&typed](frmSearchText *dialog) {
            typed = dialog->findChild<QLineEdit *>("txtSearch")->text();
            dialog->reject();
        });
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_B);
        QTRY_COMPARE(typed, QStringLiteral("B"));
    }

    void anotherTableForgetsTheLastSearch()
    {
        answerSearch("Be");
        searchItem("Descrizione")->trigger();
        QCOMPARE(frmSearchText::sLastValue, QStringLiteral("Be"));
        m_form->mnuViewRefresh_Click(); // the same table keeps it
        QCOMPARE(frmSearchText::sLastValue, QStringLiteral("Be"));
        select("Compagnie");
        QVERIFY(frmSearchText::sLastValue.isEmpty());
        QVERIFY(frmSearchText::sLastName.isEmpty());
    }
};

COBRELLE_TEST_MAIN(SearchTest)
#include "tst_search.moc"
