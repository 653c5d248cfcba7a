#pragma once

#include <QLocale>
#include <QString>

#include <memory>

// Orders texts the way a file browser orders names: by the rules of a locale, ignoring
// letter case (but not accents), with runs of digits compared by their value ("Item 2"
// before "Item 10").
class NaturalOrder {
public:
    explicit NaturalOrder(const QLocale &locale = QLocale());
    ~NaturalOrder();
    NaturalOrder(const NaturalOrder &) = delete;
    NaturalOrder &operator=(const NaturalOrder &) = delete;

    // Negative, zero or positive as `a` sorts before, together with or after `b`.
    int compare(const QString &a, const QString &b) const;
    bool operator()(const QString &a, const QString &b) const { return compare(a, b) < 0; }

private:
    struct Collation;
    std::unique_ptr<Collation> m_collation;
};
