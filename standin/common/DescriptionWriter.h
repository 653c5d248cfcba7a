#pragma once

#include <QByteArray>
#include <QVariant>

// Writes a property-list value in the old text form, laid out the way Foundation's
// description writer prints collections: four-space indentation, keys sorted, strings
// quoted unless they are plain ASCII letters and digits, non-ASCII as \Uxxxx escapes.
namespace DescriptionWriter {

QByteArray describe(const QVariant &value);

// One string as the writer prints it (quoted and escaped when needed).
QByteArray quoted(const QString &text);

} // namespace DescriptionWriter
