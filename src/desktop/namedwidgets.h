#pragma once
// The about box's and the notice's labels and buttons, made with their names so that tests find
// them; the buttons never take Return from the window's default button.

#include <QLabel>
#include <QPushButton>

namespace desktop {

inline QLabel *namedLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

inline QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace desktop
