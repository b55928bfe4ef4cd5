#include "maintenance/frmSelectDir.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

frmSelectDir::ResourcePicker &resourcePicker()
{
    static frmSelectDir::ResourcePicker picker;
    return picker;
}

QString pickWithFileDialog(QWidget *parent, const QString &startFolder)
{
    return QFileDialog::getOpenFileName(parent, QString(), startFolder,
                                        QStringLiteral("tutti i files (*)"));
}

bool isRootPath(const QString &path)
{
    static const QRegularExpression driveRoot(QStringLiteral("^[A-Za-z]:[\\\\/]$"));
    return path.size() == 1 || driveRoot.match(path).hasMatch();
}

// One trailing separator goes; a root keeps its own, since "C:" or "" would name another place.
QString withoutTrailingSeparator(QString path)
{
    if ((path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))) && !isRootPath(path))
        path.chop(1);
    return path;
}

QString folderOfFile(const QString &fileName)
{
    qsizetype pos = fileName.lastIndexOf(QLatin1Char('\\'));
    if (pos < 0)
        pos = fileName.lastIndexOf(QLatin1Char('/'));
    if (pos < 0)
        return fileName;
    return fileName.left(pos == 0 ? 1 : pos);
}

void setBold(QWidget *widget, bool bold)
{
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

} // namespace

frmSelectDir::frmSelectDir(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectDir"));
    setWindowTitle(QStringLiteral("Selezione indirizzario"));

    optResource[0] = new QRadioButton(QStringLiteral("Dischi"), this);
    optResource[0]->setToolTip(QStringLiteral("Seleziona uno dei dischi disponibili"));
    optResource[1] = new QRadioButton(QStringLiteral("Altra locazione"), this);
    optResource[1]->setToolTip(QStringLiteral("Seleziona una qualsiasi risorsa disponibile"));
    m_resourceGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optResource[i]->setObjectName(QStringLiteral("optResource"));
        optResource[i]->setProperty("index", i);
        m_resourceGroup->addButton(optResource[i], i);
    }

    driveSelect = new QComboBox(this);
    driveSelect->setObjectName(QStringLiteral("driveSelect"));
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            driveSelect->addItem(QDir::toNativeSeparators(volume.rootPath()), volume.rootPath());
    }

    cmdSelectRes = new QPushButton(QStringLiteral("..."), this);
    cmdSelectRes->setObjectName(QStringLiteral("cmdSelectRes"));
    cmdSelectRes->setToolTip(QStringLiteral("Attiva la selezione della risorsa"));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setRootPath(QString());
    dirSelect = new QTreeView(this);
    dirSelect->setObjectName(QStringLiteral("dirSelect"));
    dirSelect->setModel(m_model);
    dirSelect->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        dirSelect->hideColumn(column);

    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdEsci = new QPushButton(QStringLiteral("&Esci"), this);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));

    auto *resources = new QGridLayout;
    resources->addWidget(optResource[0], 0, 0);
    resources->addWidget(driveSelect, 0, 1);
    resources->addWidget(optResource[1], 1, 0);
    resources->addWidget(cmdSelectRes, 1, 1, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdEsci);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(resources);
    layout->addWidget(dirSelect);
    layout->addLayout(buttons);
    resize(420, 380);

    connect(m_resourceGroup, &QButtonGroup::idClicked, this, &frmSelectDir::chooseResource);
    connect(driveSelect, &QComboBox::currentIndexChanged, this, &frmSelectDir::onDriveChanged);
    connect(cmdSelectRes, &QPushButton::clicked, this, &frmSelectDir::onSelectResource);
    connect(cmdOk, &QPushButton::clicked, this, &frmSelectDir::onOk);
    connect(cmdEsci, &QPushButton::clicked, this, &frmSelectDir::onEsci);
}

void frmSelectDir::setResourcePicker(ResourcePicker picker)
{
    resourcePicker() = std::move(picker);
}

void frmSelectDir::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    synchroniseLists();
}

int frmSelectDir::driveIndexFor(const QString &path) const
{
    const QString cleanPath = QDir::cleanPath(QDir::fromNativeSeparators(path));
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < driveSelect->count(); ++i) {
        const QString root = driveSelect->itemData(i).toString();
        const bool under = cleanPath.compare(QDir::cleanPath(root), Qt::CaseInsensitive) == 0
                           || cleanPath.startsWith(root.endsWith(QLatin1Char('/')) ? root
                                                                                   : root + QLatin1Char('/'),
                                                   Qt::CaseInsensitive);
        if (under && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

bool frmSelectDir::showDirectory(const QString &path)
{
    const QFileInfo info(path);
    const QModelIndex index = info.isDir() ? m_model->index(info.absoluteFilePath()) : QModelIndex();
    dirSelect->setCurrentIndex(index);
    if (!index.isValid())
        return false;
    dirSelect->scrollTo(index);
    return true;
}

void frmSelectDir::synchroniseLists()
{
    bool shown = false;
    int drive = -1;
    if (!m_strSelectedDir.isEmpty()) {
        shown = showDirectory(m_strSelectedDir);
        drive = driveIndexFor(QFileInfo(m_strSelectedDir).absoluteFilePath());
        if (drive >= 0) {
            const QSignalBlocker blocker(driveSelect);
            driveSelect->setCurrentIndex(drive);
        }
    } else {
        dirSelect->setCurrentIndex(QModelIndex());
    }
    const bool onDisk = m_strSelectedDir.isEmpty() || (shown && drive >= 0);
    optResource[onDisk ? 0 : 1]->setChecked(true);
    chooseResource(onDisk ? 0 : 1);
}

void frmSelectDir::chooseResource(int index)
{
    setBold(optResource[0], index == 0);
    setBold(optResource[1], index == 1);
    driveSelect->setEnabled(index == 0);
    cmdSelectRes->setEnabled(index == 1);
}

void frmSelectDir::onDriveChanged(int index)
{
    const QString previous = m_model->filePath(dirSelect->currentIndex());
    const QString root = driveSelect->itemData(index).toString();
    if (QStorageInfo(root).isReady() && showDirectory(root)) {
        dirSelect->expand(dirSelect->currentIndex());
        return;
    }
    // A drive that is not ready: go back to the one of the directory shown, without a message.
    const QSignalBlocker blocker(driveSelect);
    driveSelect->setCurrentIndex(driveIndexFor(previous));
}

void frmSelectDir::onSelectResource()
{
    const ResourcePicker &picker = resourcePicker();
    const QString fileName = picker ? picker(this, m_strSelectedDir) : pickWithFileDialog(this, m_strSelectedDir);
    if (fileName.isEmpty())
        return;
    m_strSelectedDir = folderOfFile(fileName);
    synchroniseLists();
    dirSelect->setFocus();
}

void frmSelectDir::onOk()
{
    const QModelIndex current = dirSelect->currentIndex();
    if (current.isValid())
        m_strSelectedDir = m_model->filePath(current);
    m_strSelectedDir = withoutTrailingSeparator(m_strSelectedDir);
    accept();
}

void frmSelectDir::onEsci()
{
    m_strSelectedDir.clear();
    reject();
}
