#include "launcher/LaunchOptionNames.h"

namespace LaunchOptionNames {

QString name(LaunchOption option) {
    switch (option) {
    case LaunchOption::DoubleLengthStrings:
        return QStringLiteral("double-length");
    case LaunchOption::AccentedStrings:
        return QStringLiteral("accented");
    case LaunchOption::BoundedStrings:
        return QStringLiteral("bounded");
    case LaunchOption::RightToLeftLayout:
        return QStringLiteral("right-to-left");
    case LaunchOption::ShowNonLocalizedStrings:
        return QStringLiteral("show-non-localized");
    }
    return QString();
}

std::optional<LaunchOption> fromName(const QString &text) {
    for (LaunchOption option : LaunchOptionCatalog::all()) {
        if (name(option) == text)
            return option;
    }
    return std::nullopt;
}

QStringList names(LaunchOptions options) {
    QStringList result;
    for (LaunchOption option : LaunchOptionCatalog::all()) {
        if (options.testFlag(option))
            result << name(option);
    }
    return result;
}

QStringList allNames() {
    QStringList result;
    for (LaunchOption option : LaunchOptionCatalog::all())
        result << name(option);
    return result;
}

} // namespace LaunchOptionNames
