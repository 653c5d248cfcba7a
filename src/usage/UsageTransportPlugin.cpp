#include "usage/UsageTransportPlugin.h"

#include "UsagePluginPaths.h"
#include "usage/UsageTransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

namespace UsageTransportPlugin {

QString installedPath(const QString &executableFolder) {
    // An absolute path: a relative one would be looked for among Qt's library paths.
    const QDir folder(QDir(executableFolder).absolutePath());
#ifdef Q_OS_MACOS
    // Contents/MacOS/<executable> in a bundle, the plugin in Contents/PlugIns.
    return QDir::cleanPath(folder.filePath(QStringLiteral("../PlugIns/")) + QLatin1Char('/') +
                           QLatin1String(UsagePluginPaths::fileName));
#else
    return QDir::cleanPath(folder.filePath(QLatin1String(UsagePluginPaths::installedFolder)) +
                           QLatin1Char('/') + QLatin1String(UsagePluginPaths::fileName));
#endif
}

UsageTransportFactory *load(const QString &path, QString *error) {
    // The loader stays loaded for the life of the process: transports made by the plugin may
    // live until its end.
    auto *loader = new QPluginLoader(path);
    QObject *instance = loader->instance();
    auto *factory = qobject_cast<UsageTransportFactory *>(instance);
    if (!factory) {
        if (error)
            *error = instance ? QStringLiteral("%1 is not the usage transport plugin").arg(path)
                              : loader->errorString();
        if (instance)
            loader->unload();
        delete loader;
    }
    return factory;
}

UsageTransportFactory *factory() {
    static UsageTransportFactory *const loaded = [] {
        UsageTransportFactory *found = load(installedPath(QCoreApplication::applicationDirPath()));
        if (!found)
            found = load(QLatin1String(UsagePluginPaths::buildFolder) + QLatin1Char('/') +
                         QLatin1String(UsagePluginPaths::fileName));
        return found;
    }();
    return loaded;
}

} // namespace UsageTransportPlugin
