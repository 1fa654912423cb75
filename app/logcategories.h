#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcWorker)
Q_DECLARE_LOGGING_CATEGORY(lcAlarm)
