#include "streamCodes.h"

QString streamCodes::joined(const QString& network, const QString& station, const QString& location,
                            const QString& channel) {
    return network + u'.' + station + u'.' + location + u'.' + channel;
}
