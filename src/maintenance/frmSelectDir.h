#pragma once
#include <QDialog>
#include <QString>

#include <functional>

class QButtonGroup;
class QComboBox;
class QFileSystemModel;
class QPushButton;
class QRadioButton;
class QTreeView;

// Picks a directory, on a mounted volume ("Dischi") or anywhere a file dialog can reach
// ("Altra locazione"). The caller sets SelectedDir before exec(); afterwards an empty
// SelectedDir means cancelled.
class frmSelectDir : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString SelectedDir READ SelectedDir WRITE setSelectedDir)
public:
    explicit frmSelectDir(QWidget *parent = nullptr);

    QString SelectedDir() const { return m_strSelectedDir; }
    void setSelectedDir(const QString &directory) { m_strSelectedDir = directory; }

    // Asks for a file starting in a folder; returns its path, or empty when cancelled.
    // Tests replace it; an empty function restores the file dialog.
    using ResourcePicker = std::function<QString(QWidget *parent, const QString &startFolder)>;
    static void setResourcePicker(ResourcePicker picker);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void synchroniseLists();
    void chooseResource(int index);
    void onDriveChanged(int index);
    void onSelectResource();
    void onOk();
    void onEsci();
    int driveIndexFor(const QString &path) const;
    bool showDirectory(const QString &path);

    QComboBox *driveSelect;
    QTreeView *dirSelect;
    QRadioButton *optResource[2];
    QPushButton *cmdSelectRes;
    QPushButton *cmdOk;
    QPushButton *cmdEsci;
    QButtonGroup *m_resourceGroup;
    QFileSystemModel *m_model;
    QString m_strSelectedDir;
};
