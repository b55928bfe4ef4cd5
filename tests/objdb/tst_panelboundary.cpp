// The editing panel at the boundary to Qt's event loop: a failure of the archive under an input is
// told through the sink and never thrown through the loop; an input finished while the panel is
// being destroyed reaches nothing of it.

#include "objdbtestsupport.h"
#include "testschema.h"

#include "objdb/panel/editpaneldialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace objdb;

class TestPanelBoundary : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<TestSupport::RecordingSink> m_sink;
    TestSupport::Archive m_archive;

    std::shared_ptr<DataSource> view(const QString &table) { return m_archive.context->Tables().Item(table).OpenDataSource(); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestSupport::TempWorkDir>();
        m_sink = std::make_unique<TestSupport::RecordingSink>();
        m_archive = TestSchema::openArchive(m_dir->databasePath(), m_sink.get());
    }

    void cleanup()
    {
        m_archive = {};
        m_dir.reset();
    }

    // The archive closes under an open panel: the next input is told the failure, and the panel
    // stays usable for cancelling.
    void archiveGoneUnderAnInputIsTold()
    {
        QVERIFY(view(QStringLiteral("Causali"))->AddRow({QStringLiteral("Codice"), QStringLiteral("01"),
                                                        QStringLiteral("Descrizione"), QStringLiteral("Versamento")}));
        EditPanelDialog panel(view(QStringLiteral("Conti")), QString(), nullptr);
        QVERIFY(panel.startNew({}));
        auto *reason = panel.findChild<QComboBox *>(QStringLiteral("edit_Causale"));
        QVERIFY(reason);
        emit reason->activated(reason->findText(QStringLiteral("Versamento")));
        QCOMPARE(reason->currentText(), QStringLiteral("Versamento"));

        m_archive.database->Close();
        auto *description = panel.findChild<QLineEdit *>(QStringLiteral("edit_Descrizione"));
        description->setText(QStringLiteral("Conto Rossi"));
        emit description->editingFinished();
        QVERIFY2(m_sink->messages.contains(QStringLiteral("L'archivio non è più aperto.")),
                 qPrintable(m_sink->messages.join(QLatin1Char('|'))));
        QVERIFY(!panel.save());
    }

    // A focused input whose text changed reports it finished while the panel is taken down.
    void inputFinishedWhileThePanelGoes()
    {
        auto *panel = new EditPanelDialog(view(QStringLiteral("Causali")), QString(), nullptr);
        QVERIFY(panel->startNew({}));
        panel->show();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        auto *name = panel->findChild<QLineEdit *>(QStringLiteral("edit_Descrizione"));
        name->setFocus();
        QTRY_VERIFY(name->hasFocus());
        QTest::keyClicks(name, QStringLiteral("Beta"));
        bool finished = false;
        connect(name, &QLineEdit::editingFinished, this, [&finished] { finished = true; });
        delete panel;
        QVERIFY(finished);
        QVERIFY(view(QStringLiteral("Causali"))->IsEmpty());
    }
};

COBRELLE_TEST_MAIN(TestPanelBoundary)
#include "tst_panelboundary.moc"
