#include "uilog.h"

Q_LOGGING_CATEGORY(lcUi, "chimewell.ui", QtInfoMsg)
