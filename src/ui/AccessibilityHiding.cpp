#include "ui/AccessibilityHiding.h"

#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>

namespace {

const char hiddenProperty[] = "quillmarchHiddenFromAccessibility";

bool isHidden(const QObject *object) {
    return object && object->property(hiddenProperty).toBool();
}

class HiddenWidget : public QAccessibleWidget {
public:
    explicit HiddenWidget(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::NoRole) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

// A plain container whose accessible children are its widgets minus the hidden ones.
class ContainerWithHiddenChildren : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface *child(int index) const override { return shownChildren().value(index); }
    int indexOfChild(const QAccessibleInterface *child) const override {
        return int(shownChildren().indexOf(const_cast<QAccessibleInterface *>(child)));
    }

private:
    QList<QAccessibleInterface *> shownChildren() const {
        QList<QAccessibleInterface *> shown;
        for (int index = 0; index < QAccessibleWidget::childCount(); ++index) {
            QAccessibleInterface *child = QAccessibleWidget::child(index);
            if (child && !isHidden(child->object()))
                shown.append(child);
        }
        return shown;
    }
};

bool hasHiddenChild(const QObject *object) {
    const QObjectList children = object->children();
    return std::any_of(children.begin(), children.end(), isHidden);
}

QAccessibleInterface *interfaceFor(const QString &className, QObject *object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (isHidden(widget))
        return new HiddenWidget(widget);
    // Asked first with the widget's own class; a parent of our own kind has no interface of
    // its own that this would replace.
    if (className == QLatin1String(widget->metaObject()->className()) && hasHiddenChild(widget))
        return new ContainerWithHiddenChildren(widget);
    return nullptr;
}

} // namespace

void hideFromAccessibility(QWidget *widget) {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(hiddenProperty, true);
}
