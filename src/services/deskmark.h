#pragma once
// The mark of a desk's use of an archive: a file of its own in the folder "<archive>.desks" beside
// the archive, naming operator and computer, held with a lock of the operating system. The system
// gives the lock back when the program ends in any way, killed or crashed included, so a mark
// whose lock can be taken belongs to a program that is gone and is removed by whoever finds it.
// The commands that need the archive alone (repair, Euro conversion, import, purge) refuse while
// another desk holds a mark.

#include <QString>
#include <QStringList>

class QWidget;

class DeskMark {
public:
    // Marks this desk's use of the archive at `archivePath`. A folder where the mark cannot be
    // written leaves the desk unmarked: the archive itself decides whether it can be used.
    DeskMark(const QString &archivePath, const QString &operatorName);
    ~DeskMark();
    DeskMark(const DeskMark &) = delete;
    DeskMark &operator=(const DeskMark &) = delete;

    // The operator named by the mark, after a login or a change of operator.
    void setOperator(const QString &operatorName);
    bool held() const { return m_fd >= 0; }

private:
    QString m_path;
    int m_fd = -1;
};

// "operatore@computer" of every other program that has the archive open now; the marks of
// programs that are gone are removed on the way. The marks this process holds are not others.
QStringList OtherDesksOn(const QString &archivePath);

// At the start of a command that needs the archive alone: true, after telling the user who is in,
// when another desk uses the archive.
bool RefuseWhileOtherDesksIn(const QString &archivePath, QWidget *owner);
