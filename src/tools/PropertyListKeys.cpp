#include "tools/PropertyListKeys.h"

#include "tools/BinaryPropertyListKeys.h"
#include "tools/PropertyList.h"
#include "tools/TextPropertyListParser.h"
#include "tools/XmlPropertyListKeys.h"

std::optional<QSet<QString>> PropertyListKeys::read(const QByteArray &bytes) {
    QByteArrayView view(bytes);
    QByteArray converted;
    switch (PropertyList::detect(view, converted)) {
    case PropertyList::Form::Binary:
        return BinaryPropertyListKeys::read(view);
    case PropertyList::Form::Xml:
        return XmlPropertyListKeys::read(view);
    case PropertyList::Form::Text:
        break;
    }
    return TextPropertyList::topLevelKeys(view);
}
