#include "DisplayVerbs.h"

#include "AppScreen.h"
#include "SimctlCommon.h"
#include "common/Console.h"
#include "common/TestHooks.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QJsonArray>
#include <QUrl>

using namespace SimctlCommon;

namespace {

const QLatin1String foregroundKey("foreground");
const QLatin1String appearanceKey("appearance");
const QLatin1String overridesKey("statusBarOverrides");

QString appearanceOf(const QJsonObject &device) {
    const QString stored = member(device, "appearance");
    return stored.isEmpty() ? QStringLiteral("light") : stored;
}

// --- io … screenshot ----------------------------------------------------------------------

struct ScreenshotRequest {
    QString type; // empty: from the file's extension
    QString file;
};

std::optional<ScreenshotRequest> parseScreenshot(const QStringList &arguments) {
    ScreenshotRequest request;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(QLatin1String("--type="))) {
            request.type = argument.mid(7);
        } else if (argument == QLatin1String("--type") || argument == QLatin1String("-t")) {
            if (++i >= arguments.size())
                return std::nullopt;
            request.type = arguments.at(i);
        } else if (argument.startsWith(QLatin1String("--display=")) ||
                   argument.startsWith(QLatin1String("--mask="))) {
            continue;
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            return std::nullopt;
        } else if (request.file.isEmpty()) {
            request.file = argument;
        } else {
            return std::nullopt;
        }
    }
    if (request.file.isEmpty())
        return std::nullopt;
    return request;
}

// The screen of a device type in points and its scale; QUILLMARCH_STANDIN_SCREEN_SCALE
// overrides the scale (tests draw small screens).
void applyDeviceType(const QJsonObject &device, ScreenState &state) {
    const QString type = member(device, "deviceTypeIdentifier");
    state.pad = type.contains(QLatin1String("iPad"));
    if (state.pad) {
        state.points = QSize(1032, 1376);
        state.scale = 2;
    } else if (type.contains(QLatin1String("Pro-Max")) || type.contains(QLatin1String("Plus"))) {
        state.points = QSize(440, 956);
    } else if (type.contains(QLatin1String("Pro"))) {
        state.points = QSize(402, 874);
    } else {
        state.points = QSize(393, 852);
    }
    bool ok = false;
    const double scale = qEnvironmentVariable("QUILLMARCH_STANDIN_SCREEN_SCALE").toDouble(&ok);
    if (ok && scale > 0 && scale <= 4)
        state.scale = scale;
}

void applyStatusBar(const QJsonObject &device, ScreenState &state) {
    const QJsonObject overrides = device.value(overridesKey).toObject();
    state.time = overrides.value(QLatin1String("time"))
                     .toString(QDateTime::currentDateTime().toString(QStringLiteral("H:mm")));
    state.dataNetwork = overrides.value(QLatin1String("dataNetwork")).toString(state.dataNetwork);
    state.wifiBars = overrides.value(QLatin1String("wifiBars")).toInt(state.wifiBars);
    state.cellularBars = overrides.value(QLatin1String("cellularBars")).toInt(state.cellularBars);
    state.batteryLevel = overrides.value(QLatin1String("batteryLevel")).toInt(state.batteryLevel);
    state.charging =
        overrides.value(QLatin1String("batteryState")).toString() == QLatin1String("charging");
}

void applyForeground(const DeviceSet &set, const QJsonObject &device, ScreenState &state) {
    for (const QJsonValue &app : device.value(QLatin1String("apps")).toArray()) {
        const QString name =
            AppStrings::displayNameOf(set.absolutePath(member(app.toObject(), "path")));
        state.homeApps << (name.isEmpty() ? member(app.toObject(), "bundleIdentifier") : name);
    }
    const QJsonObject foreground = device.value(foregroundKey).toObject();
    const QJsonObject app = findApp(device, member(foreground, "bundleIdentifier"));
    if (foreground.isEmpty() || app.isEmpty())
        return;
    QStringList arguments;
    for (const QJsonValue &argument : foreground.value(QLatin1String("arguments")).toArray())
        arguments << argument.toString();
    state.look = LaunchLook::fromArguments(arguments);
    state.strings = AppStrings::read(set.absolutePath(member(app, "path")), state.look.language);
    state.openedUrl = member(foreground, "url");

    const qint64 since = QDateTime::currentMSecsSinceEpoch() -
                         qint64(foreground.value(QLatin1String("launchedAt")).toDouble());
    const int launchScreen = TestHooks::milliseconds("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS", 800);
    const int appearing = TestHooks::milliseconds("QUILLMARCH_STANDIN_APPEARING_MS", 400);
    if (since < launchScreen) {
        state.phase = ScreenState::Phase::LaunchScreen;
    } else if (since < launchScreen + appearing) {
        state.phase = ScreenState::Phase::Appearing;
        state.appearing = double(since - launchScreen) / double(appearing);
    } else {
        state.phase = ScreenState::Phase::Running;
        state.appearing = 1.0;
    }
}

QByteArray formatFor(const QString &type) {
    const QString lower = type.toLower();
    if (lower == QLatin1String("jpg"))
        return "jpeg";
    if (lower == QLatin1String("tif"))
        return "tiff";
    return lower.toLatin1();
}

void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

int writeScreenshot(const ScreenState &state, const QString &file, const QByteArray &format) {
    // Fonts need a GUI application; the offscreen platform needs no display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(silence);
    static int argc = 1;
    static char name[] = "xcrun";
    static char *argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    const QImage image = AppScreen::paint(state);
    QImageWriter writer(file, format);
    if (format == "png")
        writer.setQuality(80); // light compression: quick to write, still small
    if (!writer.write(image))
        return Console::fail(QStringLiteral("Error: Could not write the screenshot to %1: %2\n")
                                 .arg(file, writer.errorString()),
                             1);
    Console::fail(QStringLiteral("Wrote screenshot to: %1\n").arg(file), 0);
    return 0;
}

} // namespace

namespace DisplayVerbs {

void bringToForeground(DeviceSet &set, int index, const QString &bundleIdentifier,
                       const QStringList &arguments) {
    QJsonObject device = set.device(index);
    QJsonObject foreground;
    foreground.insert(QLatin1String("bundleIdentifier"), bundleIdentifier);
    foreground.insert(QLatin1String("arguments"), QJsonArray::fromStringList(arguments));
    foreground.insert(QLatin1String("launchedAt"), double(QDateTime::currentMSecsSinceEpoch()));
    device.insert(foregroundKey, foreground);
    set.setDevice(index, device);
}

int io(const QStringList &arguments, DeviceSet &set) {
    const QString usageText =
        QStringLiteral("io <device> screenshot [--type=<type>] [--display=<display>] "
                       "[--mask=<policy>] <file or url>\n"
                       "    type: png, tiff, bmp, gif, jpeg (default: from the extension)");
    if (arguments.size() < 2 || arguments.at(1) != QLatin1String("screenshot"))
        return usage(usageText);
    const std::optional<ScreenshotRequest> request = parseScreenshot(arguments.mid(2));
    if (!request)
        return usage(usageText);
    QString type = request->type;
    const bool detected = type.isEmpty();
    if (detected)
        type = QFileInfo(request->file).suffix();
    const QByteArray format = formatFor(type);
    static const QList<QByteArray> known = {"png", "tiff", "bmp", "gif", "jpeg"};
    if (!known.contains(format))
        return Console::fail(detected
                                 ? QStringLiteral("Error: Unable to detect the file type from the "
                                                  "extension of %1; use --type.\n")
                                       .arg(request->file)
                                 : QStringLiteral("Error: Unknown type: %1\n").arg(request->type),
                             1);

    ScreenState state;
    {
        int index = -1;
        QJsonObject device;
        if (const auto status = openBootedDevice(set, false, arguments.first(), &index, &device))
            return *status;
        applyDeviceType(device, state);
        state.dark = appearanceOf(device) == QLatin1String("dark");
        applyStatusBar(device, state);
        applyForeground(set, device, state);
        set.close();
    }
    if (detected)
        Console::fail(QStringLiteral("Detected file type '%1' from extension\n")
                          .arg(QString(format).toUpper()),
                      0);
    return writeScreenshot(state, request->file, format);
}

int statusBar(const QStringList &arguments, DeviceSet &set) {
    const QString usageText = QStringLiteral(
        "status_bar <device> [list | clear | override <override arguments>]\n"
        "    --time <string>, --dataNetwork <hide|wifi|3g|4g|lte|lte-a|lte+|5g|5g+|5g-uwb|5g-uc>,\n"
        "    --wifiMode <searching|failed|active>, --wifiBars <0-3>,\n"
        "    --cellularMode <notSupported|searching|failed|active>, --cellularBars <0-4>,\n"
        "    --operatorName <string>, --batteryState <charging|charged|discharging>,\n"
        "    --batteryLevel <0-100>");
    if (arguments.size() < 2)
        return usage(usageText);
    const QString action = arguments.at(1);
    int index = -1;
    const bool writing = action != QLatin1String("list");
    QJsonObject device;
    if (const auto status = openBootedDevice(set, writing, arguments.first(), &index, &device))
        return *status;
    QJsonObject overrides = device.value(overridesKey).toObject();

    if (action == QLatin1String("list") && arguments.size() == 2) {
        QString text = QStringLiteral("Current Status Bar Overrides:\n"
                                      "=============================\n");
        for (auto it = overrides.begin(); it != overrides.end(); ++it)
            text += QStringLiteral("%1: %2\n").arg(it.key(), it.value().toVariant().toString());
        Console::out(text);
        return 0;
    }
    if (action == QLatin1String("clear") && arguments.size() == 2) {
        device.remove(overridesKey);
        set.setDevice(index, device);
        return save(set);
    }
    if (action != QLatin1String("override") || arguments.size() < 4 || arguments.size() % 2)
        return usage(usageText);

    static const QStringList texts = {
        QStringLiteral("time"),         QStringLiteral("dataNetwork"),
        QStringLiteral("wifiMode"),     QStringLiteral("cellularMode"),
        QStringLiteral("operatorName"), QStringLiteral("batteryState")};
    static const QList<std::pair<QString, int>> numbers = {{QStringLiteral("wifiBars"), 3},
                                                           {QStringLiteral("cellularBars"), 4},
                                                           {QStringLiteral("batteryLevel"), 100}};
    for (qsizetype i = 2; i < arguments.size(); i += 2) {
        const QString name = arguments.at(i).mid(2);
        const QString value = arguments.at(i + 1);
        if (!arguments.at(i).startsWith(QLatin1String("--")))
            return usage(usageText);
        if (texts.contains(name)) {
            overrides.insert(name, value);
            continue;
        }
        const auto number = std::find_if(numbers.begin(), numbers.end(),
                                         [&](const auto &entry) { return entry.first == name; });
        if (number == numbers.end())
            return Console::fail(QStringLiteral("Unrecognized option: %1\n").arg(arguments.at(i)),
                                 64);
        bool ok = false;
        const int parsed = value.toInt(&ok);
        if (!ok || parsed < 0 || parsed > number->second)
            return Console::fail(QStringLiteral("Invalid value for --%1: %2 (0-%3)\n")
                                     .arg(name, value, QString::number(number->second)),
                                 64);
        overrides.insert(name, parsed);
    }
    device.insert(overridesKey, overrides);
    set.setDevice(index, device);
    return save(set);
}

int ui(const QStringList &arguments, DeviceSet &set) {
    const QString usageText = QStringLiteral("ui <device> appearance [light | dark]");
    if (arguments.size() < 2 || arguments.size() > 3 ||
        arguments.at(1) != QLatin1String("appearance"))
        return usage(usageText);
    const bool setting = arguments.size() == 3;
    if (setting && arguments.at(2) != QLatin1String("light") &&
        arguments.at(2) != QLatin1String("dark"))
        return usage(usageText);
    int index = -1;
    QJsonObject device;
    if (const auto status = openBootedDevice(set, setting, arguments.first(), &index, &device))
        return *status;
    if (!setting) {
        Console::out(appearanceOf(device) + QLatin1Char('\n'));
        return 0;
    }
    device.insert(appearanceKey, arguments.at(2));
    set.setDevice(index, device);
    return save(set);
}

int openurl(const QStringList &arguments, DeviceSet &set) {
    if (arguments.size() != 2)
        return usage(QStringLiteral("openurl <device> <URL>"));
    int index = -1;
    QJsonObject device;
    if (const auto status = openBootedDevice(set, true, arguments.first(), &index, &device))
        return *status;
    const QUrl url(arguments.at(1), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return Console::fail(QStringLiteral("An error was encountered processing the command "
                                            "(domain=NSOSStatusErrorDomain, code=-50):\n"
                                            "The URL %1 is invalid.\n")
                                 .arg(arguments.at(1)),
                             206);
    QJsonObject foreground = device.value(foregroundKey).toObject();
    if (foreground.isEmpty())
        return 0; // the home screen takes it; nothing the stand-in shows
    foreground.insert(QLatin1String("url"), arguments.at(1));
    device.insert(foregroundKey, foreground);
    set.setDevice(index, device);
    return save(set);
}

int terminate(const QStringList &arguments, DeviceSet &set) {
    if (arguments.size() != 2)
        return usage(QStringLiteral("terminate <device> <app bundle identifier>"));
    int index = -1;
    QJsonObject device;
    if (const auto status = openBootedDevice(set, true, arguments.first(), &index, &device))
        return *status;
    const QJsonObject foreground = device.value(foregroundKey).toObject();
    if (member(foreground, "bundleIdentifier") != arguments.at(1))
        return simulatorError(
            3, QStringLiteral("The request to terminate \"%1\" failed. found nothing to terminate")
                   .arg(arguments.at(1)));
    device.remove(foregroundKey);
    set.setDevice(index, device);
    return save(set);
}

} // namespace DisplayVerbs
