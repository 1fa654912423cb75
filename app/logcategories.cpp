#include "logcategories.h"

Q_LOGGING_CATEGORY(lcSettings, "chimewell.settings")
Q_LOGGING_CATEGORY(lcWorker, "chimewell.worker")
Q_LOGGING_CATEGORY(lcAlarm, "chimewell.alarm")
