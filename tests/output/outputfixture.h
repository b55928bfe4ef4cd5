#pragma once
// Shared set-up of the output tests: a small archive of known payments, the views of its sections,
// the output dialogs replaced by scripted ones, and the stop button of the progress window pressed.

#include "testsupport.h"

#include "output/outputdialogs.h"
#include "services/frmMessage.h"
#include "views/sectionview.h"

#include "objdb/amount.h"
#include "objdb/datasource.h"

#include <QDate>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace OutputFixture {

inline QVariant money(qint64 whole)
{
    return QVariant::fromValue(objdb::Amount::fromInteger(whole));
}

inline qint64 oidWhere(objdb::DataContext &context, const QString &table, const QString &criterion)
{
    auto ds = context.Tables().Item(table).OpenDataSource(criterion);
    return ds->MoveFirst() ? ds->Bookmark() : 0;
}

// `count` movements, each with one payment of 10 in cash and 5 by bank transfer on 1..28 March 2005.
// Movement i: "Polizza <i>", Importo 100 + i, Sconto 1, company "12", collaborator "05"; its payment
// is of type "07" (TipoSospeso) when i is a multiple of 3, else "01". So every movement stays unpaid:
// outstanding 84 + i. With paidEvery > 0, every paidEvery-th movement (i = 0, paidEvery, ...) gets a
// second payment that settles it.
struct SmallArchive {
    TestSupport::TempWorkDir folder;
    TestSupport::Archive archive;

    explicit SmallArchive(int count, int paidEvery = 0)
    {
        archive = TestSupport::openArchive(folder.databasePath());
        const TestSupport::ScriptedMessages confirmDates; // "Confermi il cambio della data ...": Yes
        auto &context = *archive.context;
        auto companies = context.Tables().Item("Compagnie").OpenDataSource();
        QVERIFY(companies->AddRow({"Codice", "12", "RagioneSociale", "Alfa Assicurazioni"}));
        const qint64 company = companies->Bookmark();
        auto collaborators = context.Tables().Item("Collaboratori").OpenDataSource();
        QVERIFY(collaborators->AddRow({"Codice", "05", "Nome", "Rossi"}));
        const qint64 collaborator = collaborators->Bookmark();
        const qint64 outstandingType = oidWhere(context, "TipiOperazione", "Codice='07'");
        const qint64 plainType = oidWhere(context, "TipiOperazione", "Codice='01'");
        auto movements = context.Tables().Item("Movimenti").OpenDataSource();
        auto payments = context.Tables().Item("Pagamenti").OpenDataSource();
        for (int i = 0; i < count; ++i) {
            QVERIFY(movements->AddRow({"Descrizione", QStringLiteral("Polizza %1").arg(i), "Importo", money(100 + i),
                                       "Sconto", money(1), "Compagnia", company, "Collaboratore", collaborator}));
            const qint64 movement = movements->Bookmark();
            QVERIFY(payments->AddRow({"OID_Movimenti", movement, "Data", QDate(2005, 3, 1 + i % 28), "Contanti",
                                      money(10), "Bonifico_Bancomat", money(5), "TipoOperazione",
                                      i % 3 == 0 ? outstandingType : plainType}));
            if (paidEvery > 0 && i % paidEvery == 0)
                QVERIFY(payments->AddRow({"OID_Movimenti", movement, "Data", QDate(2005, 3, 1 + i % 28), "Contanti",
                                          money(84 + i), "TipoOperazione", plainType}));
        }
    }

    // The data source of a section as the main window opens it.
    std::shared_ptr<objdb::DataSource> section(const QString &key, std::optional<QDate> from = {},
                                               std::optional<QDate> to = {}) const
    {
        SectionViewRequest request;
        request.query = SectionQueryFor(key);
        request.periodFrom = from;
        request.periodTo = to;
        return OpenSectionView(*archive.context, request);
    }
};

// While alive, the output commands use these dialogs; the standard ones come back afterwards.
struct ScriptedDialogs {
    ScriptedDialogs() { output::restoreDialogs(); }
    ~ScriptedDialogs() { output::restoreDialogs(); }
    output::Dialogs &operator*() const { return output::dialogs(); }
    output::Dialogs *operator->() const { return &output::dialogs(); }
};

// Presses the progress window's stop button as soon as a progress is running (the scripted message
// service has to answer the confirmation with Yes).
class StopOnProgress : public QObject {
public:
    StopOnProgress()
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            frmMessage *window = frmMessage::instance();
            if (!window->pbNotify->isHidden() && window->isVisible()) {
                m_timer.stop();
                window->cmdStop->click();
                ++m_presses;
            }
        });
        m_timer.start();
    }
    int presses() const { return m_presses; }

private:
    QTimer m_timer;
    int m_presses = 0;
};

// The number of pages of a PDF file written by Qt (its page objects are not compressed).
inline int pdfPageCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(bytes).count(page));
}

} // namespace OutputFixture
