#pragma once

#include <QIcon>
#include <QPushButton>

class SearchPopup;

// The button of a searchable picker: an optional icon, the current choice and the up-and-down
// chevron, 8 points apart. Clicking it opens the picker's search panel under it.
class PickerButton : public QPushButton {
    Q_OBJECT

public:
    explicit PickerButton(QWidget *parent = nullptr);

    SearchPopup *popup() const { return m_popup; }
    // Disables the button on top of its own rule (no entries, no button).
    void setHeld(bool held);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Called by subclasses once their panel exists.
    void setPopup(SearchPopup *popup);
    void setLabel(const QIcon &icon, const QString &text);
    void setHasEntries(bool hasEntries);
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

    // Recomputes the panel's rows for its current query.
    virtual void updateMatches() = 0;

private:
    void open();

    SearchPopup *m_popup = nullptr;
    QIcon m_icon;
    bool m_hasEntries = false;
    bool m_held = false;
};
