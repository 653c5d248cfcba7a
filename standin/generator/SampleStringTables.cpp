#include "SampleStringTables.h"

#include "common/PropertyListValue.h"

#include <QHash>
#include <QSet>
#include <QStringEncoder>
#include <QVariantMap>

namespace {

struct Entry {
    const char *key;
    const char *comment;
    const char *english;
};

// Translations of the English texts; a language without one keeps the English text, as
// untranslated strings do in real apps.
const QHash<QString, QHash<QString, QString>> &translations() {
    static const QHash<QString, QHash<QString, QString>> table = [] {
        QHash<QString, QHash<QString, QString>> t;
        const auto add = [&](const char *english,
                             std::initializer_list<std::pair<const char *, const char *>> texts) {
            for (const auto &[language, text] : texts)
                t[QString::fromUtf8(english)].insert(QString::fromUtf8(language),
                                                     QString::fromUtf8(text));
        };
        add("New Note", {{"de", "Neue Notiz"},
                         {"fr", "Nouvelle note"},
                         {"pt-BR", "Nova nota"},
                         {"zh-Hans", "新建备忘录"}});
        add("Delete Note", {{"de", "Notiz löschen"},
                            {"fr", "Supprimer la note"},
                            {"pt-BR", "Apagar nota"},
                            {"zh-Hans", "删除备忘录"}});
        add("Share Note", {{"de", "Notiz teilen"},
                           {"fr", "Partager la note"},
                           {"pt-BR", "Compartilhar nota"},
                           {"zh-Hans", "共享备忘录"}});
        add("Pin",
            {{"de", "Anheften"}, {"fr", "Épingler"}, {"pt-BR", "Fixar"}, {"zh-Hans", "置顶"}});
        add("New Folder", {{"de", "Neuer Ordner"},
                           {"fr", "Nouveau dossier"},
                           {"pt-BR", "Nova pasta"},
                           {"zh-Hans", "新建文件夹"}});
        add("All Notes", {{"de", "Alle Notizen"},
                          {"fr", "Toutes les notes"},
                          {"pt-BR", "Todas as notas"},
                          {"zh-Hans", "所有备忘录"}});
        add("Search notes", {{"de", "Notizen durchsuchen"},
                             {"fr", "Rechercher des notes"},
                             {"pt-BR", "Buscar notas"},
                             {"zh-Hans", "搜索备忘录"}});
        add("Could not sync your notes.",
            {{"de", "Deine Notizen konnten nicht synchronisiert werden."},
             {"fr", "Impossible de synchroniser vos notes."},
             {"pt-BR", "Não foi possível sincronizar suas notas."},
             {"zh-Hans", "无法同步你的备忘录。"}});
        add("Export as PDF", {{"de", "Als PDF exportieren"},
                              {"fr", "Exporter en PDF"},
                              {"pt-BR", "Exportar como PDF"},
                              {"zh-Hans", "导出为 PDF"},
                              {"ja", "PDFとして書き出す"}});
        add("Settings", {{"de", "Einstellungen"},
                         {"fr", "Réglages"},
                         {"pt-BR", "Ajustes"},
                         {"zh-Hans", "设置"}});
        add("Cancel", {{"de", "Abbrechen"},
                       {"fr", "Annuler"},
                       {"fr-CA", "Annuler"},
                       {"pt-BR", "Cancelar"},
                       {"zh-Hans", "取消"},
                       {"ja", "キャンセル"}});
        add("Done", {{"de", "Fertig"},
                     {"fr", "OK"},
                     {"fr-CA", "Terminé"},
                     {"pt-BR", "OK"},
                     {"zh-Hans", "完成"},
                     {"ja", "完了"}});
        add("Untitled", {{"de", "Ohne Titel"},
                         {"fr", "Sans titre"},
                         {"ja", "名称未設定"},
                         {"pt-BR", "Sem título"}});
        add("Save",
            {{"de", "Sichern"}, {"fr", "Enregistrer"}, {"ja", "保存"}, {"pt-BR", "Salvar"}});
        add("Save As…", {{"de", "Sichern unter …"},
                         {"fr", "Enregistrer sous…"},
                         {"ja", "別名で保存…"},
                         {"pt-BR", "Salvar Como…"}});
        add("Revert to Saved", {{"de", "Zurück zur gesicherten Version"},
                                {"fr", "Revenir à la version enregistrée"},
                                {"ja", "保存済みの状態に戻す"},
                                {"pt-BR", "Reverter ao Salvo"}});
        add("Find", {{"de", "Suchen"}, {"fr", "Rechercher"}, {"ja", "検索"}, {"pt-BR", "Buscar"}});
        add("Replace",
            {{"de", "Ersetzen"}, {"fr", "Remplacer"}, {"ja", "置き換え"}, {"pt-BR", "Substituir"}});
        add("The document could not be opened.",
            {{"de", "Das Dokument konnte nicht geöffnet werden."},
             {"fr", "Impossible d’ouvrir le document."},
             {"ja", "書類を開けませんでした。"},
             {"pt-BR", "Não foi possível abrir o documento."}});
        add("File",
            {{"de", "Ablage"}, {"fr", "Fichier"}, {"ja", "ファイル"}, {"pt-BR", "Arquivo"}});
        add("Edit", {{"de", "Bearbeiten"}, {"fr", "Édition"}, {"ja", "編集"}, {"pt-BR", "Editar"}});
        add("View", {{"de", "Darstellung"},
                     {"fr", "Présentation"},
                     {"ja", "表示"},
                     {"pt-BR", "Visualizar"}});
        add("Window",
            {{"de", "Fenster"}, {"fr", "Fenêtre"}, {"ja", "ウインドウ"}, {"pt-BR", "Janela"}});
        add("Help", {{"de", "Hilfe"}, {"fr", "Aide"}, {"ja", "ヘルプ"}, {"pt-BR", "Ajuda"}});
        add("Welcome", {{"de", "Willkommen"},
                        {"fr", "Bienvenue"},
                        {"fr-CA", "Bienvenue"},
                        {"ja", "ようこそ"},
                        {"pt-BR", "Bem-vindo"},
                        {"zh-Hans", "欢迎"}});
        add("Open Book", {{"de", "Buch öffnen"}, {"fr", "Ouvrir le livre"}});
        add("Bookmarks", {{"de", "Lesezeichen"}, {"fr", "Signets"}});
        add("Reading Position", {{"de", "Leseposition"}, {"fr", "Position de lecture"}});
        add("Order a Café Crème",
            {{"fr", "Commander un café crème"}, {"fr-CA", "Commander un café crème"}});
        add("Add Milk", {{"fr", "Ajouter du lait"}, {"fr-CA", "Ajouter du lait"}});
        add("Pay at the Counter", {{"fr", "Payer au comptoir"}, {"fr-CA", "Payer au comptoir"}});
        add("Your order is ready.",
            {{"fr", "Votre commande est prête."}, {"fr-CA", "Votre commande est prête."}});
        return t;
    }();
    return table;
}

QString translated(const char *english, const QString &language) {
    const QString source = QString::fromUtf8(english);
    return translations().value(source).value(language, source);
}

QString quoted(const QString &text) {
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// The text form Xcode writes: a comment above each pair.
QString textTable(const QList<Entry> &entries, const QString &language, const QSet<QString> &left) {
    QString text;
    for (const Entry &entry : entries) {
        if (left.contains(QString::fromUtf8(entry.key)))
            continue;
        text += QStringLiteral("/* %1 */\n%2 = %3;\n\n")
                    .arg(QString::fromUtf8(entry.comment), quoted(QString::fromUtf8(entry.key)),
                         quoted(translated(entry.english, language)));
    }
    return text;
}

QByteArray utf8(const QString &text) {
    return text.toUtf8();
}

// UTF-16 with a byte-order mark, as older projects keep their strings files.
QByteArray utf16(const QString &text) {
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

QVariantMap plural(const QString &variable, const QString &one, const QString &other) {
    QVariantMap rule;
    rule.insert(QStringLiteral("NSStringFormatSpecTypeKey"),
                QStringLiteral("NSStringPluralRuleType"));
    rule.insert(QStringLiteral("NSStringFormatValueTypeKey"), QStringLiteral("d"));
    rule.insert(QStringLiteral("one"), one);
    rule.insert(QStringLiteral("other"), other);
    QVariantMap entry;
    entry.insert(QStringLiteral("NSStringLocalizedFormatKey"),
                 QStringLiteral("%#@") + variable + QLatin1Char('@'));
    entry.insert(variable, rule);
    return entry;
}

const QList<Entry> notesStrings = {
    {"note.new", "Title of the button that creates a note.", "New Note"},
    {"note.delete", "Swipe action that deletes a note.", "Delete Note"},
    {"note.share", "Menu item that shares a note.", "Share Note"},
    {"note.pin", "Swipe action that pins a note to the top.", "Pin"},
    {"folder.new", "Button that creates a folder.", "New Folder"},
    {"folder.all", "Name of the folder that shows every note.", "All Notes"},
    {"search.placeholder", "Placeholder of the search field.", "Search notes"},
    {"sync.failed", "Banner shown when syncing fails.", "Could not sync your notes."},
    {"export.pdf", "Menu item that exports a note.", "Export as PDF"},
    {"settings.title", "Title of the settings screen.", "Settings"},
    {"action.cancel", "Generic cancel button.", "Cancel"},
    {"action.done", "Generic done button.", "Done"},
    {"Welcome", "Greeting on the first screen.", "Welcome"},
};

const QList<Entry> editorStrings = {
    {"document.untitled", "Name of a new document.", "Untitled"},
    {"document.save", "Toolbar button.", "Save"},
    {"document.saveAs", "Menu item.", "Save As…"},
    {"document.revert", "Menu item.", "Revert to Saved"},
    {"find.placeholder", "Placeholder of the find field.", "Find"},
    {"find.replace", "Button in the find bar.", "Replace"},
    {"export.pdf", "Menu item.", "Export as PDF"},
    {"error.open", "Alert shown when a document cannot be opened.",
     "The document could not be opened."},
    {"Welcome", "Title of the welcome window.", "Welcome"},
};

const QList<Entry> editorMenu = {
    {"menu.file", "Menu title.", "File"}, {"menu.edit", "Menu title.", "Edit"},
    {"menu.view", "Menu title.", "View"}, {"menu.window", "Menu title.", "Window"},
    {"menu.help", "Menu title.", "Help"},
};

const QList<Entry> readerStrings = {
    {"library.open", "Button that opens a book.", "Open Book"},
    {"library.bookmarks", "Title of the bookmarks list.", "Bookmarks"},
    {"reader.position", "Label of the reading position.", "Reading Position"},
    {"Welcome", "Greeting.", "Welcome"},
};

const QList<Entry> cafeStrings = {
    {"order.title", "Title of the order screen.", "Order a Café Crème"},
    {"order.milk", "Option.", "Add Milk"},
    {"order.pay", "Button.", "Pay at the Counter"},
    {"order.ready", "Notification.", "Your order is ready."},
    {"action.cancel", "Generic cancel button.", "Cancel"},
    {"action.done", "Generic done button.", "Done"},
};

QSet<QString> keys(std::initializer_list<const char *> names) {
    QSet<QString> set;
    for (const char *name : names)
        set.insert(QString::fromUtf8(name));
    return set;
}

} // namespace

namespace SampleStringTables {

QList<std::pair<QString, QByteArray>> files(const QString &bundleIdentifier,
                                            const QString &language) {
    QList<std::pair<QString, QByteArray>> out;
    const auto is = [&](const char *code) { return language == QLatin1String(code); };

    if (bundleIdentifier == QLatin1String("com.example.QuillNotes")) {
        // fr lacks three strings, pt-BR one string and its plural table; zh-Hans is UTF-16.
        const QSet<QString> left = is("fr")      ? keys({"export.pdf", "sync.failed", "note.pin"})
                                   : is("pt-BR") ? keys({"folder.new"})
                                                 : QSet<QString>();
        const QString text = textTable(notesStrings, language, left);
        out.append(
            {QStringLiteral("Localizable.strings"), is("zh-Hans") ? utf16(text) : utf8(text)});
        if (!is("pt-BR")) {
            QVariantMap plurals;
            plurals.insert(QStringLiteral("notes.count"),
                           plural(QStringLiteral("notes"), QStringLiteral("%d note"),
                                  QStringLiteral("%d notes")));
            plurals.insert(QStringLiteral("attachments.count"),
                           plural(QStringLiteral("files"), QStringLiteral("%d attachment"),
                                  QStringLiteral("%d attachments")));
            out.append(
                {QStringLiteral("Localizable.stringsdict"), PropertyListValue::toXml(plurals)});
        }
    } else if (bundleIdentifier == QLatin1String("com.example.SampleMacEditor")) {
        // fr lacks two menu titles, ja five strings.
        const QSet<QString> left = is("ja") ? keys({"find.replace", "document.revert", "error.open",
                                                    "export.pdf", "document.saveAs"})
                                            : QSet<QString>();
        out.append({QStringLiteral("Localizable.strings"),
                    utf8(textTable(editorStrings, language, left))});
        const QSet<QString> menuLeft =
            is("fr") ? keys({"menu.window", "menu.help"}) : QSet<QString>();
        out.append(
            {QStringLiteral("MainMenu.strings"), utf8(textTable(editorMenu, language, menuLeft))});
        QVariantMap plurals;
        plurals.insert(
            QStringLiteral("words.count"),
            plural(QStringLiteral("words"), QStringLiteral("%d word"), QStringLiteral("%d words")));
        plurals.insert(
            QStringLiteral("pages.count"),
            plural(QStringLiteral("pages"), QStringLiteral("%d page"), QStringLiteral("%d pages")));
        out.append({QStringLiteral("Localizable.stringsdict"),
                    is("en") || is("pt-BR") ? PropertyListValue::toBinary(plurals)
                                            : PropertyListValue::toXml(plurals)});
    } else if (bundleIdentifier == QLatin1String("com.example.LegacyReader")) {
        const QSet<QString> left = is("fr") ? keys({"reader.position"}) : QSet<QString>();
        out.append({QStringLiteral("Localizable.strings"),
                    utf8(textTable(readerStrings, language, left))});
    } else if (bundleIdentifier == QLatin1String("com.example.CafeCreme")) {
        if (is("en")) {
            // A table that does not parse: the last pair lost its semicolon.
            QString text = textTable(cafeStrings, language, {});
            text.chop(QStringLiteral(";\n\n").size());
            text += QStringLiteral("\n\n/* Added later. */\n\"order.extra\" = \"Extra shot\";\n");
            out.append({QStringLiteral("Localizable.strings"), utf8(text)});
        } else {
            const QSet<QString> left =
                is("fr-CA") ? keys({"order.milk", "order.pay"}) : QSet<QString>();
            out.append({QStringLiteral("Localizable.strings"),
                        utf8(textTable(cafeStrings, language, left))});
        }
    }
    return out;
}

} // namespace SampleStringTables
