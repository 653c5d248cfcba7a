#include "launcher/LaunchOptionNames.h"

namespace LaunchOptionNames {

QString name(LaunchOption option) {
    return LaunchOptionCatalog::shortName(option);
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
