#include "app/frmSplash.h"

#include "services/modGlobal.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

namespace {
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

frmSplash::frmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    auto *outer = new QVBoxLayout(this);
    fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameShape(QFrame::Box);
    outer->addWidget(fraMainFrame);

    picLogo = makeLabel(fraMainFrame, "picLogo", QString());
    picLogo->setPixmap(QPixmap(QStringLiteral(":/cobrelle.png")).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblProductName = makeLabel(fraMainFrame, "lblProductName", QLatin1String(modGlobal::kProductName));
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    lblProductName->setFont(big);
    lblVersion = makeLabel(fraMainFrame, "lblVersion", versionText());
    lblPlatform = makeLabel(fraMainFrame, "lblPlatform", QStringLiteral("For Windows 95/98/NT/2000/XP"));
    imgEuro = makeLabel(fraMainFrame, "imgEuro", QStringLiteral("€"));
    lblEuroReady = makeLabel(fraMainFrame, "lblEuroReady", QStringLiteral("Euro ready"));

    auto *grid = new QGridLayout(fraMainFrame);
    grid->addWidget(picLogo, 0, 0, 3, 1);
    grid->addWidget(lblProductName, 0, 1, 1, 2);
    grid->addWidget(lblVersion, 1, 1, 1, 2);
    grid->addWidget(lblPlatform, 2, 1, 1, 2);
    grid->addWidget(imgEuro, 3, 1);
    grid->addWidget(lblEuroReady, 3, 2);
}

QString frmSplash::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(COBRELLE_VERSION_MAJOR)
        .arg(COBRELLE_VERSION_MINOR)
        .arg(COBRELLE_VERSION_PATCH);
}
