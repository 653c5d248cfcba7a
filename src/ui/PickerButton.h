#pragma once

#include <QIcon>
#include <QPushButton>

class SearchPopup;

// The button of a searchable picker: an optional icon, the current choice and the up-and-down
// chevron, 8 points apart. Clicking it opens the picker's search panel under it; the panel is
// made when it is first needed, not with the button.
class PickerButton : public QPushButton {
    Q_OBJECT

public:
    explicit PickerButton(QWidget *parent = nullptr);

    // The search panel, made on the first call.
    SearchPopup *popup();
    // Disables the button on top of its own rule (no entries, no button).
    void setHeld(bool held);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Makes the picker's panel; called once, when the panel is first needed.
    virtual SearchPopup *makePopup() = 0;
    // The panel if it has been made, otherwise null.
    SearchPopup *madePopup() const { return m_popup; }
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
