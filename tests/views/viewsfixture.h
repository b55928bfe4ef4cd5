#pragma once
// Shared set-up of the views tests: a main window over a fresh archive, and the driving of the
// modal dialogs it opens.

#include "core/frmMain.h"
#include "core/modGlobal.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <memory>

namespace ViewsFixture {

// The program's archive in a folder of its own, installed as the program-wide database.
struct OpenArchive {
    TestSupport::TempWorkDir folder;
    TestSupport::Archive archive;

    OpenArchive()
    {
        modGlobal::RootDir = folder.path();
        archive = TestSupport::openArchive(folder.databasePath());
        modGlobal::g_objDatabase = archive.database;
        modGlobal::g_objDataContext = archive.context;
    }
    ~OpenArchive()
    {
        modGlobal::g_objDataContext.reset();
        modGlobal::g_objDatabase.reset();
    }
};

inline QStringList pendingCalls(const frmMain &form)
{
    return form.property("pendingCalls").toStringList();
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
