// The program's movements and payments at the archive's largest amount, typed in the panels as a
// user would: what passes the bound is refused and told, and nothing wraps.

#include "testsupport.h"

#include "objdb/amount.h"
#include "objdb/panel/editpaneldialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

using namespace objdb;

class TestMoneyLimits : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::ScriptedMessages> m_answers;
    TestSupport::RecordingSink m_sink;
    TestSupport::Archive m_archive;

    std::shared_ptr<DataSource> view(const char *table)
    {
        return m_archive.context->Tables().Item(QString::fromLatin1(table)).OpenDataSource();
    }
    static QLineEdit *edit(QWidget &panel, const char *field)
    {
        auto *w = panel.findChild<QLineEdit *>(QStringLiteral("edit_") + QLatin1String(field));
        if (!w)
            qFatal("no input for %s", field);
        return w;
    }
    static void type(QLineEdit *input, const QString &text)
    {
        input->selectAll();
        QTest::keyClick(input, Qt::Key_Backspace);
        QTest::keyClicks(input, text);
        emit input->editingFinished(); // as leaving the input does; Return would store the row
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_answers = std::make_unique<TestSupport::ScriptedMessages>();
        m_sink = {};
        m_archive = TestSupport::openArchive(m_dir->databasePath(), &m_sink);
    }

    void cleanup()
    {
        m_archive = {};
        m_answers.reset();
        m_dir.reset();
    }

    void amountsPastTheLargestAreRefused()
    {
        const QString largest = QStringLiteral("99.999.999,9999");
        const Amount max = Amount::fromUnits(Amount::kMaxUnits);

        EditPanelDialog movementPanel(view("Movimenti"), QString(), nullptr);
        QVERIFY(movementPanel.startNew({}));
        type(edit(movementPanel, "Descrizione"), QStringLiteral("Flotta"));
        // Fourteen digits of whole euro were taken and later wrapped: now refused at once.
        type(edit(movementPanel, "Importo"), QStringLiteral("99.999.999.999.999,9999"));
        QCOMPARE(m_sink.messages, QStringList{Amount::outOfRangeMessage()});
        type(edit(movementPanel, "Importo"), largest);
        QVERIFY(movementPanel.save());
        const qint64 movement = movementPanel.savedOid().toLongLong();

        // Two payment amounts at the largest fit; a third would take the outstanding amount to
        // twice the largest below zero: refused by the rules through the panel, the input put back.
        EditPanelDialog paymentPanel(view("Pagamenti"), QString(), nullptr);
        QVERIFY(paymentPanel.startNew({}));
        QVERIFY(paymentPanel.setParent(movement));
        type(edit(paymentPanel, "Contanti"), largest);
        type(edit(paymentPanel, "Assegno"), largest);
        type(edit(paymentPanel, "Anticipo"), largest);
        QCOMPARE(m_sink.messages.size(), 2);
        QCOMPARE(m_sink.messages.last(), Amount::outOfRangeMessage(QStringLiteral("Importo In Sospeso")));
        QCOMPARE(edit(paymentPanel, "Anticipo")->text(), QStringLiteral("0,00"));
        type(edit(paymentPanel, "Anticipo"), QStringLiteral("0"));
        // Paying more than is outstanding is asked first; the operator confirms it.
        m_answers->clear();
        m_answers->push(MessageService::Answer::Yes);
        QVERIFY(paymentPanel.save());
        QCOMPARE(m_answers->seen().size(), 1);

        auto stored = view("Movimenti");
        QVERIFY(stored->FindOID(movement));
        QCOMPARE(stored->GetField(QStringLiteral("ImportoInSospeso")).value<Amount>(), -max);
        QCOMPARE(stored->GetField(QStringLiteral("Pagato")).toBool(), false);
        auto payments = view("Pagamenti");
        QCOMPARE(payments->RecordCount(), 1);
        QVERIFY(payments->MoveFirst());
        QCOMPARE(payments->GetField(QStringLiteral("Anticipo")).value<Amount>(), Amount());
    }

    // "1.234" typed in a panel is a thousand and more, as an Italian writes it.
    void thousandsAreGroupedTheItalianWay()
    {
        EditPanelDialog panel(view("Movimenti"), QString(), nullptr);
        QVERIFY(panel.startNew({}));
        type(edit(panel, "Descrizione"), QStringLiteral("Polizza"));
        type(edit(panel, "Importo"), QStringLiteral("1.234"));
        type(edit(panel, "Sconto"), QStringLiteral("1.5"));
        QCOMPARE(edit(panel, "Importo")->text(), QStringLiteral("1.234,00"));
        QVERIFY(panel.save());
        auto stored = view("Movimenti");
        QVERIFY(stored->FindOID(panel.savedOid().toLongLong()));
        QCOMPARE(stored->GetField(QStringLiteral("ImportoInSospeso")).value<Amount>(), Amount::fromUnits(12325000));
        QVERIFY(m_sink.messages.isEmpty());
    }
};

COBRELLE_TEST_MAIN(TestMoneyLimits)
#include "tst_moneylimits.moc"
