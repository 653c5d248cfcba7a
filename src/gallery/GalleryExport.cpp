#include "gallery/GalleryExport.h"

#include "gallery/GalleryPage.h"
#include "launcher/LaunchOptionNames.h"
#include "tools/BackgroundWork.h"
#include "tools/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>

#include <cmath>

namespace {

// A JSON value as compact text, for writing members in a fixed order.
QByteArray jsonText(const QJsonValue &value) {
    QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

double roundedSeconds(double seconds) {
    return std::round(seconds * 100.0) / 100.0;
}

QString folderDisplay(const QString &folder) {
    return QDir::toNativeSeparators(folder);
}

void writeFile(const QString &folder, const QString &name, const QByteArray &contents) {
    QSaveFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit())
        throw PlatformError(QStringLiteral("The file “%1” couldn’t be saved in the folder “%2”.")
                                .arg(name, folderDisplay(folder)));
}

void copyImage(const QString &source, const QString &folder, const QString &name) {
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo(source) == QFileInfo(target))
        return;
    QFile::remove(target);
    if (!QFile::copy(source, target))
        throw PlatformError(QStringLiteral("The file “%1” couldn’t be saved in the folder “%2”.")
                                .arg(name, folderDisplay(folder)));
}

void makeFolder(const QString &folder) {
    if (!QDir().mkpath(folder))
        throw PlatformError(
            QStringLiteral("The folder “%1” couldn’t be created.").arg(folderDisplay(folder)));
}

// Writes one device's images, gallery.json and index.html into `folder`.
void writeDevice(const GalleryResult &result, const DeviceGallery &gallery, const QString &folder) {
    makeFolder(folder);
    for (const GalleryShot &shot : gallery.shots) {
        if (shot.hasImage())
            copyImage(shot.imageFile, folder, GalleryExport::imageFileName(shot.language));
    }
    writeFile(folder, QStringLiteral("gallery.json"),
              GalleryExport::documentText(result.bundleID, result.launchOptions, gallery));
    const GalleryPage::Section section{gallery, QString()};
    writeFile(folder, QStringLiteral("index.html"),
              GalleryPage::html(result.bundleID, result.launchOptions, {section}).toUtf8());
}

} // namespace

namespace GalleryExport {

QString imageFileName(const QString &language) {
    return language + QStringLiteral(".png");
}

QString folderName(const QString &deviceName) {
    static const QString special = QStringLiteral("/\\:*?\"<>|#%");
    QString name;
    for (const QChar character : deviceName.trimmed()) {
        const bool unsafe = special.contains(character) ||
                            character.category() == QChar::Other_Control ||
                            character.category() == QChar::Other_Format;
        if (unsafe) {
            if (!name.endsWith(QLatin1Char('-')))
                name += QLatin1Char('-');
        } else {
            name += character;
        }
    }
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Device") : name;
}

bool hasContent(const QString &folder) {
    const QFileInfo info(folder);
    if (!info.exists())
        return false;
    if (!info.isDir())
        return true;
    return !QDir(folder)
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .isEmpty();
}

void checkFolder(const QString &folder, bool replace) {
    if (folder.trimmed().isEmpty())
        throw ToolFailure(QStringLiteral("Choose a folder for the gallery."));
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        throw ToolFailure(QStringLiteral("“%1” is not a folder.").arg(folderDisplay(folder)));
    if (!replace && hasContent(folder))
        throw ToolFailure(
            QStringLiteral("The folder “%1” is not empty.").arg(folderDisplay(folder)));
}

QJsonObject document(const QString &bundleID, LaunchOptions options, const DeviceGallery &gallery) {
    return QJsonDocument::fromJson(documentText(bundleID, options, gallery)).object();
}

QByteArray documentText(const QString &bundleID, LaunchOptions options,
                        const DeviceGallery &gallery) {
    QByteArray text = "{\n  \"app\": " + jsonText(bundleID) +
                      ",\n  \"device\": {\"udid\": " + jsonText(gallery.device.udid) +
                      ", \"name\": " + jsonText(gallery.device.name) + "},\n  \"options\": " +
                      jsonText(QJsonArray::fromStringList(LaunchOptionNames::names(options))) +
                      ",\n  \"shots\": [";
    for (qsizetype i = 0; i < gallery.shots.size(); ++i) {
        const GalleryShot &shot = gallery.shots.at(i);
        const QJsonValue file =
            shot.hasImage() ? QJsonValue(imageFileName(shot.language)) : QJsonValue();
        const QJsonValue error = shot.error ? QJsonValue(*shot.error) : QJsonValue();
        text += (i == 0 ? "\n" : ",\n");
        text += "    {\"language\": " + jsonText(shot.language) +
                ", \"region\": " + jsonText(shot.region) + ", \"file\": " + jsonText(file) +
                ", \"settled\": " + jsonText(shot.settled) +
                ", \"seconds\": " + jsonText(roundedSeconds(shot.seconds)) +
                ", \"error\": " + jsonText(error) + "}";
    }
    text += gallery.shots.isEmpty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

QByteArray resultText(const GalleryResult &result) {
    if (result.devices.size() == 1)
        return documentText(result.bundleID, result.launchOptions, result.devices.first());
    QByteArray text = "[";
    for (qsizetype i = 0; i < result.devices.size(); ++i) {
        QByteArray one = documentText(result.bundleID, result.launchOptions, result.devices.at(i));
        one.chop(1); // the final newline
        one.replace("\n", "\n  ");
        text += (i == 0 ? "\n  " : ",\n  ") + one;
    }
    text += result.devices.isEmpty() ? "]\n" : "\n]\n";
    return text;
}

QStringList deviceFolders(const GalleryResult &result) {
    QStringList folders;
    QSet<QString> taken;
    for (const DeviceGallery &gallery : result.devices) {
        QString name =
            folderName(gallery.device.name.isEmpty() ? gallery.device.udid : gallery.device.name);
        // Two devices may share a name (one per runtime): the udid tells them apart.
        if (taken.contains(name.toCaseFolded()))
            name += QLatin1Char('-') + folderName(gallery.device.udid.left(8));
        taken.insert(name.toCaseFolded());
        folders << name;
    }
    return folders;
}

void writeFolder(const GalleryResult &result, const QString &folder, bool replace) {
    checkFolder(folder, replace);
    if (result.devices.size() == 1) {
        writeDevice(result, result.devices.first(), folder);
        return;
    }
    makeFolder(folder);
    const QStringList folders = deviceFolders(result);
    QList<GalleryPage::Section> sections;
    for (qsizetype i = 0; i < result.devices.size(); ++i) {
        writeDevice(result, result.devices.at(i), QDir(folder).filePath(folders.at(i)));
        sections.append({result.devices.at(i), folders.at(i) + QLatin1Char('/')});
    }
    writeFile(folder, QStringLiteral("index.html"),
              GalleryPage::html(result.bundleID, result.launchOptions, sections).toUtf8());
}

QCoro::Task<> write(GalleryResult result, QString folder, bool replace) {
    // Named, not a temporary of the co_await: g++ 12 destroys such temporaries twice.
    QCoro::Task<bool> writing = BackgroundWork::run([result, folder, replace] {
        writeFolder(result, folder, replace);
        return true;
    });
    co_await std::move(writing);
}

} // namespace GalleryExport
