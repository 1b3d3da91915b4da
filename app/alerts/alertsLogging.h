#pragma once

#include <QLoggingCategory>

// quorvel.alerts: the alerts raised and where they can be shown.
Q_DECLARE_LOGGING_CATEGORY(lcAlerts)
