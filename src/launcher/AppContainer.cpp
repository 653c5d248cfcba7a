#include "launcher/AppContainer.h"

#include "tools/Error.h"

#include <QStringDecoder>

namespace AppContainer {

QString bundlePath(const QByteArray &output) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(output);
    const QString path = text.trimmed();
    if (decoder.hasError() || path.isEmpty())
        throw ToolFailure(QStringLiteral("Could not locate the installed app."));
    return path;
}

} // namespace AppContainer
