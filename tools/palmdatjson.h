// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmfile/records.h"
#include "palmfile/result.h"

#include <QJsonObject>

// The JSON form of datebook and to-do files that `palmdat dump` prints and `palmdat make`
// reads. Times are local wall-clock times ("YYYY-MM-DDTHH:MM:SS"), date-only values local
// dates ("YYYY-MM-DD"); null stands for Palm Desktop's "no date".

namespace palmdat {

QJsonObject datebookToJson(const palmfile::Datebook& datebook);
QJsonObject todoListToJson(const palmfile::TodoList& todoList);

// Missing fields take the defaults of a new desktop record. Errors name the place and the
// field: "record 3: start: expected a local time like 2024-05-01T09:30:00".
palmfile::Result<palmfile::Datebook> datebookFromJson(const QJsonObject& json);
palmfile::Result<palmfile::TodoList> todoListFromJson(const QJsonObject& json);

} // namespace palmdat
