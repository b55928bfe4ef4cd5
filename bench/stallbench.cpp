#include "stallbench.h"

#include "gridbench.h"
#include "rawquery.h"
#include "timing.h"
#include "windowdriver.h"

#include "app/frmMain.h"
#include "app/startup.h"
#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/grid/sorteditor.h"
#include "objdb/viewer/datawindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kScreenRows = 50;

using Step = std::function<void(WindowDriver &)>;

struct Interaction {
    const char *name;
    DateSelection selection;         // the view the runs start from
    const char *currentField;        // the grid's current cell before the trigger: first row, this column
    Step prepare;                    // not timed: what the trigger starts from
    Step trigger;                    // the user's act
    WindowDriver::ModalAnswer answer; // the modal windows it opens (none when empty)
    std::function<bool(WindowDriver &)> shown; // what must be on screen besides the grid, when anything
    Step restore;                    // not timed: back to the view the next run starts from
    std::function<void()> raw;       // raw SQLite's reads for the same answer, on the same indexes
};

// A dialog's button clicked as its user clicks it.
void press(QWidget *dialog, const char *button)
{
    if (auto *found = dialog->findChild<QPushButton *>(QLatin1String(button)))
        found->click();
    else
        qWarning("stall: %s has no button %s", qPrintable(dialog->objectName()), button);
}

// The search and filter dialog: the text typed, then OK.
WindowDriver::ModalAnswer typeInSearchText(const QString &text, bool inside)
{
    return [=](WindowDriver &window, QWidget *modal) {
        if (modal->objectName() != QLatin1String("frmSearchText"))
            return false;
        modal->findChild<QLineEdit *>(QStringLiteral("txtSearch"))->setText(text);
        if (auto *internal = modal->findChild<QCheckBox *>(QStringLiteral("chkInternal")); internal && internal->isVisible())
            internal->setChecked(inside);
        window.confirmed();
        press(modal, "cmdOk");
        return true;
    };
}

// The sort editor: the date turned descending and the cash added after it, then OK.
bool sortByDateDescThenCash(WindowDriver &window, QWidget *modal)
{
    auto *editor = qobject_cast<objdb::SortEditorDialog *>(modal);
    if (!editor)
        return false;
    editor->findChild<QListWidget *>(QStringLiteral("lstChosen"))->setCurrentRow(0);
    editor->toggleDirection();
    auto *available = editor->findChild<QListWidget *>(QStringLiteral("lstAvailable"));
    const QList<QListWidgetItem *> cash = available->findItems(QStringLiteral("Contanti"), Qt::MatchStartsWith);
    if (!cash.isEmpty()) {
        available->setCurrentItem(cash.first());
        editor->addSelected();
    }
    if (editor->expression() != QLatin1String("Data DESC, Contanti"))
        qWarning("stall: the sort editor holds \"%s\"", qPrintable(editor->expression()));
    window.confirmed();
    editor->accept();
    return true;
}

// The filter editor: two conditions built in its inputs, each added, then OK.
bool filterDescriptionAndCash(WindowDriver &window, QWidget *modal)
{
    if (modal->objectName() != QLatin1String("frmFilterEditor"))
        return false;
    auto *field = modal->findChild<QComboBox *>(QStringLiteral("cboField"));
    const auto add = [&](const QString &name, const QString &op, const QString &value) {
        field->setCurrentIndex(field->findData(name));
        modal->findChild<QComboBox *>(QStringLiteral("cboOperator"))->setCurrentText(op);
        modal->findChild<QLineEdit *>(QStringLiteral("txtValue"))->setText(value);
        press(modal, "cmdAdd");
    };
    add(QStringLiteral("DescrizionePagamento"), QStringLiteral("Like"), QStringLiteral("polizza 3*"));
    add(QStringLiteral("Contanti"), QStringLiteral(">"), QStringLiteral("100"));
    if (modal->findChild<QListWidget *>(QStringLiteral("lstConditions"))->count() != 2)
        qWarning("stall: the filter editor refused a condition");
    window.confirmed();
    press(modal, "cmdOk");
    return true;
}

// The closing summary: answered once its figures are listed (export offered again), then closed.
bool closingFiguresShown(WindowDriver &window, QWidget *modal)
{
    if (modal->objectName() != QLatin1String("frmClosingSummary"))
        return false;
    if (modal->findChild<QPushButton *>(QStringLiteral("cmdExport"))->isEnabled()) {
        window.answered();
        static_cast<QDialog *>(modal)->reject();
    }
    return true;
}

// A new payment's panel: its parent button pressed; the list answered once its first screen is in,
// then closed, and the panel left without saving.
bool parentListShown(WindowDriver &window, QWidget *modal)
{
    if (modal->objectName() == QLatin1String("EditPanel")) {
        if (window.isAnswered()) {
            press(modal, "cmdCancel");
        } else {
            window.confirmed();
            press(modal, "cmdChooseParent");
        }
        return true;
    }
    if (modal->objectName() != QLatin1String("ParentChooser"))
        return false;
    if (modal->findChild<QTableView *>(QStringLiteral("lstCandidates"))->model()->rowCount() > 0) {
        window.answered();
        static_cast<QDialog *>(modal)->reject();
    }
    return true;
}

QByteArray iso(const QDate &date)
{
    return date.toString(Qt::ISODate).toUtf8();
}

// The first screen of a range of days and its totals band.
std::function<void()> rawDays(RawQuery &raw, const QDate &from, const QDate &to)
{
    return [&raw, from, to] {
        raw.firstPaymentRows(QString::fromLatin1(iso(from)), QString::fromLatin1(iso(to)), kScreenRows);
        raw.bandSums("Data >= ? AND Data < ?", {iso(from), iso(to)});
    };
}

// The ordered key list that puts the current row back, and the first screen's rows read by key:
// one sort, where a joined SELECT ... LIMIT would join every row before sorting.
std::function<void()> rawSorted(RawQuery &raw, const QString &order)
{
    return [&raw, order] { raw.paymentRowsByKey(raw.paymentKeys(order).mid(0, kScreenRows)); };
}

// The first screen of the rows meeting a condition (one on Movimenti AS p, one on Pagamenti AS
// t0), and their totals band with the condition on the movements as a subquery.
std::function<void()> rawFiltered(RawQuery &raw, const QByteArray &onMovement, const QByteArray &onPayment)
{
    return [&raw, onMovement, onPayment] {
        raw.firstPaymentScreenWhere(onMovement + (onPayment.isEmpty() ? QByteArray() : " AND " + onPayment), kScreenRows);
        const QByteArray movements = "t0.OID_Movimenti IN (SELECT OID FROM Movimenti AS p WHERE " + onMovement + ")";
        raw.bandSums(onPayment.isEmpty() ? movements : movements + " AND " + onPayment);
    };
}

QList<Interaction> interactions(RawQuery &raw)
{
    const QDate day(2024, 6, 12), month(2024, 6, 1);
    const QString date = QStringLiteral("Data"), cash = QStringLiteral("Contanti"),
                  description = QStringLiteral("DescrizionePagamento");
    const auto trigger = [](const QString &name) {
        return [name](WindowDriver &w) {
            if (QAction *item = w.action(name))
                item->trigger();
        };
    };
    const auto header = [](const QString &field) { return [field](WindowDriver &w) { w.clickHeader(field); }; };
    const auto key = [](int k, Qt::KeyboardModifiers modifiers) { return [k, modifiers](WindowDriver &w) { w.typeKey(k, modifiers); }; };
    const Step openSection = [](WindowDriver &w) { w.clickPaymentsNode(); };
    const Step leaveSection = [](WindowDriver &w) { w.leavePayments(); };
    const Step viewOrder = trigger(QStringLiteral("mnuOrderCancel"));
    const Step noFilter = trigger(QStringLiteral("mnuFilterCancel"));
    const auto field = [](const char *array, const QString &name) {
        return [array, name](WindowDriver &w) {
            if (QAction *item = w.fieldItem(QLatin1String(array), name))
                item->trigger();
        };
    };
    const Step searchFirst = field("mnuSearchItems", description);
    // The search of gridtoolsbench: "za 77" inside the description, one payment in about 550.
    const QByteArray searched = "p.Descrizione LIKE '%za 77%'";
    const qint64 firstPayment = raw.aggregate("SELECT OID FROM Pagamenti ORDER BY Data, OID LIMIT 1");
    const auto dataWindowShown = [](WindowDriver &) { return objdb::DataWindow::instance().isVisible(); };
    // A sort keeps the current row: it is put back once the ordered keys are in.
    const auto currentRowBack = [](WindowDriver &w) { return w.grid()->currentIndex().isValid(); };
    const Step closeDataWindow = [](WindowDriver &) { objdb::DataWindow::instance().close(); };
    const Step noSelection = [](WindowDriver &w) { w.grid()->clearSelection(); };

    return {
        {"stall_section_all", DateSelection::All, "Data", leaveSection, openSection, {}, {}, {},
         [&raw] {
             raw.firstPaymentScreen(QStringLiteral("t0.Data"), kScreenRows);
             raw.bandSums(QByteArray());
         }},
        {"stall_section_day", DateSelection::Day, "Data", leaveSection, openSection, {}, {}, {},
         rawDays(raw, day, day.addDays(1))},
        {"stall_section_month", DateSelection::Month, "Data", leaveSection, openSection, {}, {}, {},
         rawDays(raw, month, month.addMonths(1))},
        {"stall_sort_date_desc", DateSelection::All, "Data", {}, header(date), {}, currentRowBack, viewOrder,
         rawSorted(raw, QStringLiteral("t0.Data DESC"))},
        {"stall_sort_date_asc", DateSelection::All, "Data", header(date), header(date), {}, currentRowBack, viewOrder,
         rawSorted(raw, QStringLiteral("t0.Data"))},
        {"stall_sort_cash_asc", DateSelection::All, "Data", {}, header(cash), {}, currentRowBack, viewOrder,
         rawSorted(raw, QStringLiteral("t0.Contanti"))},
        {"stall_sort_cash_desc", DateSelection::All, "Data", header(cash), header(cash), {}, currentRowBack, viewOrder,
         rawSorted(raw, QStringLiteral("t0.Contanti DESC"))},
        {"stall_sort_combined", DateSelection::All, "Data", {}, trigger(QStringLiteral("mnuOrderComplex")),
         sortByDateDescThenCash, currentRowBack, viewOrder, rawSorted(raw, QStringLiteral("t0.Data DESC, t0.Contanti"))},
        // "Polizza 12" typed for the description's column filter: one payment in about 900.
        {"stall_filter_column", DateSelection::All, "Data", {}, field("mnuFilterItems", description),
         typeInSearchText(QStringLiteral("Polizza 12"), false), {}, noFilter, rawFiltered(raw, "p.Descrizione LIKE 'polizza 12%'", {})},
        {"stall_filter_complex", DateSelection::All, "Data", {}, trigger(QStringLiteral("mnuFilterComplex")),
         filterDescriptionAndCash, {}, noFilter, rawFiltered(raw, "p.Descrizione LIKE 'polizza 3%'", "t0.Contanti > 1000000")},
        // The search made first (not timed), then "Cerca successivo" from the first row.
        {"stall_search_next", DateSelection::All, "DescrizionePagamento", searchFirst, trigger(QStringLiteral("mnuSearchNext")),
         typeInSearchText(QStringLiteral("za 77"), true), {}, {}, [&raw, firstPayment, searched] { raw.nextPaymentAfter(firstPayment, searched); }},
        // The message box with the figure is the answer.
        {"stall_column_total", DateSelection::All, "Data", {}, field("mnuTotalItems", cash), {}, {}, {},
         [&raw] { raw.sumOfPayments("t0.Contanti", {}, {}, false); }},
        {"stall_column_average", DateSelection::All, "Data", {}, field("mnuAverageItems", cash), {}, {}, {},
         [&raw] { raw.sumOfPayments("t0.Contanti", {}, {}, true); }},
        // The band's own timer, which every change of the view starts.
        {"stall_totals_band", DateSelection::All, "Data", {}, [](WindowDriver &w) { w.timer(QStringLiteral("tmTotals"))->start(); },
         {}, {}, {}, [&raw] { raw.bandSums(QByteArray()); }},
        {"stall_day_next", DateSelection::Day, "Data", {}, key(Qt::Key_Right, Qt::AltModifier), {}, {},
         key(Qt::Key_Left, Qt::AltModifier), rawDays(raw, day.addDays(1), day.addDays(2))},
        {"stall_day_previous", DateSelection::Day, "Data", {}, key(Qt::Key_Left, Qt::AltModifier), {}, {},
         key(Qt::Key_Right, Qt::AltModifier), rawDays(raw, day.addDays(-1), day)},
        {"stall_closing_day", DateSelection::Day, "Data", {}, trigger(QStringLiteral("mnuClosingSummary")), closingFiguresShown,
         {}, {}, [&raw, day] { raw.closingSummary(iso(day), iso(day.addDays(1)), false); }},
        // "Pagamenti con stessi Movimenti" of the first payment: its movement's payments in the
        // data window, first screen and count.
        {"stall_associated", DateSelection::All, "Data", {}, trigger(QStringLiteral("mnuContItem_1")), {},
         dataWindowShown, closeDataWindow, [&raw, firstPayment] {
             const QByteArray sameMovement =
                 "t0.OID_Movimenti = (SELECT OID_Movimenti FROM Pagamenti WHERE OID = " + QByteArray::number(firstPayment) + ")";
             raw.firstPaymentScreenWhere(sameMovement, kScreenRows);
             raw.aggregate("SELECT COUNT(*) FROM Pagamenti AS t0 WHERE " + sameMovement);
         }},
        // Insert opens a new payment's panel; its parent button opens the list of the movements
        // still open, whose first screen (and first page counted) is the answer.
        {"stall_parent_chooser", DateSelection::All, "Data", {}, key(Qt::Key_Insert, Qt::NoModifier), parentListShown, {}, {},
         [&raw] {
             const QByteArray open = "WHERE m.Pagato = 0 OR m.Importo IS NULL ";
             raw.stepAll("SELECT m.OID, m.Descrizione, pr0.RagioneSociale, pr1.Nome, m.Importo, m.Sconto, m.ImportoInSospeso "
                         "FROM Movimenti AS m LEFT JOIN Compagnie AS pr0 ON pr0.OID = m.Compagnia "
                         "LEFT JOIN Collaboratori AS pr1 ON pr1.OID = m.Collaboratore " + open + "ORDER BY m.OID LIMIT ?", {kScreenRows});
             raw.stepAll("SELECT COUNT(*) FROM (SELECT 1 FROM Movimenti AS m " + open + "LIMIT 100)", {});
         }},
        // Select-all counts every row of the view before the grid selects them.
        {"stall_select_all", DateSelection::All, "Data", {}, key(Qt::Key_A, Qt::ControlModifier), {}, {}, noSelection,
         [&raw] { raw.aggregate("SELECT COUNT(*) FROM Pagamenti"); }},
    };
}

// The runs of one interaction (after one not timed) and its line: the worst stall, the median answer.
void measureInteraction(WindowDriver &window, const Interaction &interaction, qint64 payments, int runs)
{
    window.setModalAnswer(interaction.answer);
    window.showPayments(interaction.selection);
    double worstStallMs = 0;
    QList<double> answerMs, rawMs;
    for (int run = 0; run <= runs; ++run) {
        if (interaction.prepare)
            interaction.prepare(window);
        window.settle();
        window.setCurrentCell(QString::fromLatin1(interaction.currentField));
        window.settle();
        const StallSample sample = window.measure([&] { interaction.trigger(window); },
                                                   [&] { return !interaction.shown || interaction.shown(window); });
        if (interaction.restore)
            interaction.restore(window);
        window.settle();
        const double rawRun = elapsedMs(interaction.raw);
        if (run == 0)
            continue; // the caches warmed
        worstStallMs = std::max(worstStallMs, sample.stallMs);
        answerMs.append(sample.answerMs);
        rawMs.append(rawRun);
    }
    std::printf("%s payments=%lld window_stall_max_ms=%.1f answer_ms=%.1f raw_ms=%.3f\n", interaction.name,
                static_cast<long long>(payments), worstStallMs, median(answerMs), median(rawMs));
    std::fflush(stdout);
}

} // namespace

void runStallBenchmarks(const GridBench &bench, const std::shared_ptr<objdb::Database> &database)
{
    const QList<Interaction> all = interactions(bench.raw);
    if (std::none_of(all.cbegin(), all.cend(), [&](const Interaction &i) { return bench.wanted(i.name); }))
        return;
    modGlobal::AppSession().database = database;
    modGlobal::AppSession().dataContext = bench.context;
    // The administrator: the closing summary is of the selected day.
    const int userLevel = bench.context->UserLevel;
    bench.context->UserLevel = 1;
    WindowDriver *current = nullptr;
    // A message box is the answer where it shows a figure; any other is told.
    MessageService::setScript([&current](const MessageService::Request &request) {
        if (current)
            current->answered();
        if (request.buttons != MessageService::Buttons::Ok)
            qWarning("stall: answered \"%s\" with its default", qPrintable(request.text));
        return request.defaultAnswer;
    });
    {
        // Loaded and shown as the program starts it, at the size of windowbench's window.
        frmMain form;
        form.Form_Load();
        form.show();
        form.resize(1000, 700);
        form.SetTreeViewNodes();
        WindowDriver window(form);
        current = &window;
        const int runs = benchRuns(bench.payments, 5);
        for (const Interaction &interaction : all)
            if (bench.wanted(interaction.name))
                measureInteraction(window, interaction, bench.payments, runs);
        objdb::DataWindow::instance().releaseDataSource();
        current = nullptr;
    }
    MessageService::clearScript();
    bench.context->UserLevel = userLevel;
    modGlobal::AppSession().dataContext.reset();
    modGlobal::AppSession().database.reset();
}
