#include "RSValidators.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
int truncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    // Out-of-range doubles would make the conversion undefined.
    const double lo = std::numeric_limits<int>::min();
    const double hi = std::numeric_limits<int>::max();
    return int(std::trunc(std::clamp(v, lo, hi)));
}
}

RSIntValidator::RSIntValidator(double bottom, double top, QObject* parent)
    : QIntValidator(truncToInt(bottom), truncToInt(top), parent)
{
}

QValidator::State RSIntValidator::validate(QString& text, int&) const
{
    bool ok = false;
    // Parsed as 64 bits so that a long number is out of range, not wrapped.
    qlonglong value = text.toLongLong(&ok, 10);
    if (!ok) {
        // Digits too many for 64 bits are a number far out of range, not "no number".
        static const QRegularExpression digits(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
        value = digits.match(text).hasMatch() ? std::numeric_limits<qlonglong>::max() : 0;
    }
    if (value >= bottom() && value <= top())
        return Acceptable;
    text = QString::number(bottom());
    return Invalid;
}

void RSIntValidator::fixup(QString& text) const
{
    text = QStringLiteral("%1").arg(bottom());
}

RSDoubleValidator::RSDoubleValidator(double bottom, double top, int decimals, QObject* parent)
    : QDoubleValidator(bottom, top, decimals, parent)
{
}

QValidator::State RSDoubleValidator::validate(QString& text, int&) const
{
    if (text.isEmpty() || text == QLatin1String("-"))
        return Intermediate;
    const QString point = locale().decimalPoint();
    const int at = text.indexOf(point);
    if (at >= 0 && text.size() - at - point.size() > decimals())
        return Invalid;
    bool ok = false;
    const double value = locale().toDouble(text, &ok);
    if (ok && value >= bottom() && value <= top())
        return Acceptable;
    return Invalid;
}
