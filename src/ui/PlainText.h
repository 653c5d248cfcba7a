#pragma once

#include <QString>
#include <QTextDocument>

// Texts from an app bundle (file names, keys, app and language names) are shown exactly as they
// are. Labels take them with Qt::PlainText; a tooltip has no such setting and is read as rich
// text whenever it looks like markup, so it gets the text escaped.
namespace PlainText {

inline QString toolTip(const QString &text) {
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

} // namespace PlainText
