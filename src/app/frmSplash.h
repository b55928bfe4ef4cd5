#pragma once
// The window shown while the program starts.

#include <QWidget>

class QFrame;
class QLabel;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    QFrame *fraMainFrame = nullptr;
    QLabel *picLogo = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblPlatform = nullptr;
    QLabel *imgEuro = nullptr;
    QLabel *lblEuroReady = nullptr;

    // "Version major.minor.revision" of this build.
    static QString versionText();
};
