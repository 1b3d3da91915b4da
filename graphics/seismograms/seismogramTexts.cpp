#include "seismogramTexts.h"

#include "SacHeader.h"

namespace seismogramTexts {

QString defined(const QString& field) {
    return field == QLatin1StringView("-12345") ? QString() : field;
}

std::optional<double> defined(float value) {
    if (value == SacHeader::undefinedValue)
        return std::nullopt;
    return double(value);
}

QString formatted(const char* format, float value) {
    const std::optional<double> v = defined(value);
    return v ? QString::asprintf(format, *v) : QString();
}

QString joined(const QStringList& parts, const QString& separator) {
    QStringList kept;
    for (const QString& part : parts) {
        if (!part.isEmpty())
            kept.append(part);
    }
    return kept.join(separator);
}

} // namespace seismogramTexts
