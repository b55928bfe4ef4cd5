#include "windowdriver.h"

#include "app/frmMain.h"
#include "views/currentview.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/grid/viewutility.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

namespace {

// The day the day and month selections are taken on.
const QDate kReferenceDay(2024, 6, 12);
constexpr int kGiveUpMs = 60'000;

void click(QWidget *target, const QPoint &at)
{
    const QPoint global = target->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

} // namespace

WindowDriver::WindowDriver(frmMain &form)
    : m_form(form), m_grid(form.findChild<QTableView *>(QStringLiteral("dgView"))), m_heartbeat([this] { answerOpenModal(); })
{
    m_heartbeat.start();
}

objdb::GridModel *WindowDriver::model() const
{
    return objdb::ViewUtility::modelOf(m_grid);
}

QAction *WindowDriver::action(const QString &name) const
{
    QAction *found = m_form.findChild<QAction *>(name);
    if (!found)
        qWarning("stall: the window has no action \"%s\"", qPrintable(name));
    return found;
}

QTimer *WindowDriver::timer(const QString &name) const
{
    return m_form.findChild<QTimer *>(name);
}

QAction *WindowDriver::fieldItem(const QString &array, const QString &field) const
{
    const QString prefix = array + QLatin1Char('_');
    for (QAction *item : m_form.findChildren<QAction *>())
        if (item->objectName().startsWith(prefix) && item->property("tag").toString() == field)
            return item;
    qWarning("stall: no item of %s for %s", qPrintable(array), qPrintable(field));
    return nullptr;
}

void WindowDriver::clickHeader(const QString &field)
{
    QHeaderView *header = m_grid->horizontalHeader();
    const int column = model()->columnOfField(field);
    click(header->viewport(), QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

void WindowDriver::typeKey(int key, Qt::KeyboardModifiers modifiers)
{
    m_grid->setFocus();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(m_grid, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(m_grid, &release);
}

QTreeWidgetItem *WindowDriver::paymentsNode() const
{
    for (int i = 1; QTreeWidgetItem *node = m_form.nodeByIndex(i); ++i)
        if (node->data(0, Qt::UserRole).toString() == QLatin1String("Pagamenti"))
            return node;
    qFatal("stall: the section tree has no payments node");
}

void WindowDriver::clickNode(QTreeWidgetItem *node)
{
    QTreeWidget *tree = node->treeWidget();
    tree->scrollToItem(node);
    click(tree->viewport(), tree->visualItemRect(node).center());

}

void WindowDriver::clickPaymentsNode()
{
    clickNode(paymentsNode());
}

void WindowDriver::leavePayments()
{
    QTreeWidgetItem *payments = paymentsNode();
    clickNode(payments->parent() ? payments->parent() : m_form.nodeByIndex(1));
}

void WindowDriver::showPayments(DateSelection selection)
{
    m_form.view().setSelectionDate(kReferenceDay);
    m_form.view().setDateSelection(selection);
    m_form.UpdateDateSelectionCaption();
    leavePayments();
    settle();
    clickPaymentsNode();
    settle();
    if (!model())
        qFatal("stall: the payments view did not open");
}

void WindowDriver::setCurrentCell(const QString &field)
{
    if (objdb::GridModel *shown = model(); shown && shown->rowCount() > 0)
        m_grid->setCurrentIndex(shown->index(0, std::max(0, shown->columnOfField(field))));
}

void WindowDriver::answered()
{
    if (m_answeredNs < 0)
        m_answeredNs = m_clock.nsecsElapsed();
}

bool WindowDriver::busy() const
{
    // The status bar's busy mark is shown while work runs off the window's thread.
    if (const auto *mark = m_form.findChild<QLabel *>(QStringLiteral("sbStatusBar_Busy")); mark && mark->isVisible())
        return true;
    for (const char *pending : {"tmFunc", "tmTotals"})
        if (const QTimer *t = timer(QString::fromLatin1(pending)); t && t->isActive())
            return true;
    if (QApplication::activeModalWidget())
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget *w) { return w->objectName() == QLatin1String("frmMessage") && w->isVisible(); });
}

void WindowDriver::waitWhileBusy(const std::function<bool()> &shown)
{
    QElapsedTimer waited;
    waited.start();
    while (busy() || (shown && !shown())) {
        if (waited.elapsed() > kGiveUpMs) {
            qWarning("stall: the window was still busy after %d s", kGiveUpMs / 1000);
            return;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

void WindowDriver::answerOpenModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (m_answerQueued || !modal || !modal->isVisible())
        return;
    m_answerQueued = true;
    QTimer::singleShot(0, &m_heartbeat, [this, modal = QPointer<QWidget>(modal)] {
        m_answerQueued = false;
        if (!modal || !modal->isVisible())
            return;
        modal->repaint(); // its first paint, as its user sees it
        if (m_answer && m_answer(*this, modal))
            return;
        qWarning("stall: closed a window nobody expected: %s \"%s\"", modal->metaObject()->className(),
                 qPrintable(modal->windowTitle()));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
}

StallSample WindowDriver::measure(const std::function<void()> &trigger, const std::function<bool()> &shown)
{
    m_answeredNs = -1;
    m_clock.start();
    m_confirmedNs = 0;
    m_heartbeat.start();
    trigger();
    m_heartbeat.mark();
    waitWhileBusy(shown);
    m_grid->viewport()->repaint();
    m_heartbeat.mark();
    const qint64 end = isAnswered() ? m_answeredNs : m_clock.nsecsElapsed();
    return {m_heartbeat.longestGapMs(), double(end - m_confirmedNs) / 1e6};
}

void WindowDriver::settle()
{
    waitWhileBusy({});
    // A window of its own (the data window, a dialog) may have taken the activation, and with it
    // the window-wide keys.
    if (!m_form.isActiveWindow()) {
        m_form.activateWindow();
        QElapsedTimer waited;
        waited.start();
        while (!m_form.isActiveWindow() && waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    m_grid->viewport()->repaint();
}
