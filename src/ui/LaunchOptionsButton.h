#pragma once

#include <QPushButton>

class Launcher;
class QMenu;

// "Options": a pull-down button whose menu ticks the launcher's diagnostic launch options. The
// title counts the options that are on, so a pseudolanguage is never on unnoticed.
class LaunchOptionsButton : public QPushButton {
    Q_OBJECT

public:
    explicit LaunchOptionsButton(Launcher *launcher, QWidget *parent = nullptr);

    QMenu *optionsMenu() const { return m_menu; }

private:
    // Ticks the menu and titles the button from the launcher's options.
    void showOptions();

    Launcher *m_launcher;
    QMenu *m_menu;
};
