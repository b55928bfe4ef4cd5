#pragma once
// Shared set-up of the views tests: a main window over a fresh archive, its controls found by name,
// and the driving of the modal dialogs it opens.

#include "windowtestsupport.h"
#include "app/frmMain.h"
#include "views/currentview.h"
#include "services/modGlobal.h"
#include "objdb/datasource.h"
#include "objdb/grid/viewutility.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>
#include <functional>
#include <memory>

namespace ViewsFixture {

using WindowTest::items;
using WindowTest::widget;

inline QTableView *grid(const frmMain &form)
{
    return widget<QTableView>(form, QStringLiteral("dgView"));
}

inline QTreeWidget *tree(const frmMain &form)
{
    return widget<QTreeWidget>(form, QStringLiteral("tvTreeView"));
}

// The program's archive in a folder of its own, installed as the program-wide database.
struct OpenArchive {
    TestSupport::TempWorkDir folder;
    TestSupport::Archive archive;

    OpenArchive()
    {
        modGlobal::RootDir = folder.path();
        archive = TestSupport::openArchive(folder.databasePath());
        modGlobal::AppSession().database = archive.database;
        modGlobal::AppSession().dataContext = archive.context;
    }
    ~OpenArchive()
    {
        modGlobal::AppSession().dataContext.reset();
        modGlobal::AppSession().database.reset();
    }
};

// The grid is shown and bound to a data source of `table`.
inline bool showsTable(const frmMain &form, const QString &table)
{
    return !grid(form)->isHidden() && objdb::ViewUtility::modelOf(grid(form)) && form.view().m_objCurDS
        && form.view().m_objCurDS->TableName() == table;
}

// A grouping node is shown: its section page in place of the grid.
inline bool showsSectionPage(const frmMain &form)
{
    return grid(form)->isHidden() && !objdb::ViewUtility::modelOf(grid(form))
        && !items<QPushButton>(form, QStringLiteral("acmdSectionItem")).isEmpty();
}

// Selects the section with the given key, or the grouping node with the given text, and shows it.
inline bool openSection(frmMain &form, const QString &keyOrGroupText)
{
    for (int i = 1; QTreeWidgetItem *node = form.nodeByIndex(i); ++i) {
        const QString key = node->data(0, Qt::UserRole).toString();
        if (key == keyOrGroupText || (key.isEmpty() && node->text(0) == keyOrGroupText)) {
            tree(form)->setCurrentItem(node);
            form.RefreshDetailView();
            return true;
        }
    }
    return false;
}

// Keys of the tree's nodes in index order; grouping nodes as "-".
inline QStringList nodeKeys(const frmMain &form)
{
    QStringList keys;
    for (int i = 1; QTreeWidgetItem *node = form.nodeByIndex(i); ++i) {
        const QString key = node->data(0, Qt::UserRole).toString();
        keys.append(key.isEmpty() ? QStringLiteral("-") : key);
    }
    return keys;
}

// Base of the views tests: each case builds a fresh archive and a main window over it. The window
// goes before the archive it reads.
class MainWindowTest : public QObject {
protected:
    std::unique_ptr<OpenArchive> m_archive;
    std::unique_ptr<frmMain> m_form;

    frmMain &form() { return *m_form; }
    template <class T>
    T *widget(const char *name) { return ViewsFixture::widget<T>(*m_form, QLatin1String(name)); }
    QTableView *grid() { return ViewsFixture::grid(*m_form); }
    QTreeWidget *tree() { return ViewsFixture::tree(*m_form); }
    void select(const QString &key) { QVERIFY2(openSection(*m_form, key), qPrintable(key)); }

    // Shown at the size the views tests lay out for, with the section tree built.
    void showWithTree()
    {
        m_form->resize(1000, 700);
        m_form->show();
        m_form->SetTreeViewNodes();
    }

    void closeWindowAndArchive()
    {
        m_form.reset();
        m_archive.reset();
    }
};

// While alive, a modal window left open longer than `patienceMs` is closed and its name kept in
// `closed`: a test that forgot to answer one fails on that list instead of hanging.
class ModalWatchdog {
public:
    explicit ModalWatchdog(int patienceMs = 3000)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, patienceMs] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal != m_seen) {
                m_seen = modal;
                m_since.start();
            } else if (modal && m_since.elapsed() > patienceMs) {
                closed.append(modal->objectName());
                modal->close();
            }
        });
        m_poll.start(20);
    }
    QStringList closed;

private:
    QTimer m_poll;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_since;
};

// Runs `drive` on the first visible dialog of type T once it is open. A dialog still open after
// a few seconds is rejected, so that a broken test fails instead of hanging.
template <class T>
void whenDialogOpens(std::function<void(T *)> drive)
{
    auto *poll = new QTimer;
    auto *watchdog = new QTimer;
    watchdog->setSingleShot(true);
    QObject::connect(poll, &QTimer::timeout, [poll, watchdog, drive] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<T *>(widget);
            if (dialog && dialog->isVisible()) {
                poll->stop();
                poll->deleteLater();
                // The watchdog ends with the dialog it guards.
                QObject::connect(dialog, &QDialog::finished, watchdog, &QObject::deleteLater);
                drive(dialog);
                return;
            }
        }
    });
    QObject::connect(watchdog, &QTimer::timeout, [poll = QPointer<QTimer>(poll), watchdog] {
        watchdog->deleteLater();
        if (poll)
            poll->deleteLater();
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<T *>(widget); dialog && dialog->isVisible())
                dialog->reject();
    });
    poll->start(10);
    watchdog->start(5000);
}

} // namespace ViewsFixture
