#include "displayUnits.h"

namespace displayUnits {

double timeUnitSeconds(int index) {
    switch (index) {
    case 0:
        return 60;
    case 1:
        return 3600;
    case 2:
        return 86400;
    case 3:
        return 604800;
    case 4:
        return 31536000;
    default:
        return 3600;
    }
}

QString timeUnitAbbreviation(int index) {
    static const char* const names[] = {"min", "h", "d", "wk", "yr"};
    return QString::fromLatin1(index >= 0 && index < 5 ? names[index] : names[1]);
}

int ageClass(double age, float recent, float older) {
    if (age > older)
        return 2;
    if (age > recent)
        return 1;
    return 0;
}

} // namespace displayUnits
