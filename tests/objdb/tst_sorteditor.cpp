// The editor of a sort over several columns: it starts from the expression in force, offers only
// the columns a grid shows and can sort, and gives back the columns in the order chosen with their
// directions, a text the data source accepts as its sort.

#include "gridtestschema.h"
#include "objdbtestsupport.h"

#include "objdb/grid/sorteditor.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace objdb;

namespace {

QStringList texts(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

// Runs `drive` on the editor once it is open.
void whenEditorOpens(std::function<void(SortEditorDialog *)> drive)
{
    QTimer::singleShot(0, [drive] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<SortEditorDialog *>(widget); dialog && dialog->isVisible())
                return drive(dialog);
    });
}

} // namespace

class TestSortEditor : public GridTest::ArchiveTest {
    Q_OBJECT

    std::shared_ptr<DataSource> voci() { return m_context->Tables().Item(QStringLiteral("Voci")).OpenDataSource(); }

private slots:
    void init() { openNewArchive(GridTest::Columns::WithHidden); }
    void cleanup() { closeArchive(); }

    void editsTheExpressionInForce()
    {
        auto ds = voci();
        SortEditorDialog dialog(*ds, QStringLiteral("Ordinamento Complesso"), QStringLiteral("Importo DESC, Nome"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Ordinamento Complesso"));
        auto *available = dialog.findChild<QListWidget *>(QStringLiteral("lstAvailable"));
        auto *chosen = dialog.findChild<QListWidget *>(QStringLiteral("lstChosen"));
        QCOMPARE(texts(chosen), (QStringList{"Importo (decrescente)", "Nome"}));
        // Neither the key nor the hidden columns are offered.
        QCOMPARE(texts(available), (QStringList{"Data", "Pagato"}));
        QCOMPARE(dialog.expression(), QStringLiteral("Importo DESC, Nome"));

        available->setCurrentRow(0);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdAdd")), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdDirection")), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdUp")), Qt::LeftButton);
        QCOMPARE(dialog.expression(), QStringLiteral("Importo DESC, Data DESC, Nome"));
        chosen->setCurrentRow(0);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdRemove")), Qt::LeftButton);
        QCOMPARE(texts(available), (QStringList{"Pagato", "Importo"}));
        QCOMPARE(dialog.expression(), QStringLiteral("Data DESC, Nome"));

        ds->SetSort(dialog.expression());
        QCOMPARE(ds->Sort(), QStringLiteral("Data DESC, Nome"));
    }

    void confirmationDecidesTheResult()
    {
        auto ds = voci();
        QString expression = QStringLiteral("Nome");
        whenEditorOpens([](SortEditorDialog *dialog) {
            auto *chosen = dialog->findChild<QListWidget *>(QStringLiteral("lstChosen"));
            chosen->setCurrentRow(0);
            dialog->toggleDirection();
            dialog->reject();
        });
        QVERIFY(!SortEditor(*ds, QStringLiteral("Ordinamento Complesso"), expression));
        QCOMPARE(expression, QStringLiteral("Nome"));

        whenEditorOpens([](SortEditorDialog *dialog) {
            dialog->findChild<QListWidget *>(QStringLiteral("lstChosen"))->setCurrentRow(0);
            dialog->toggleDirection();
            dialog->accept();
        });
        QVERIFY(SortEditor(*ds, QStringLiteral("Ordinamento Complesso"), expression));
        QCOMPARE(expression, QStringLiteral("Nome DESC"));
    }
};

COBRELLE_TEST_MAIN(TestSortEditor)
#include "tst_sorteditor.moc"
