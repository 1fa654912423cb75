// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palm/settings.h"

#include <QMutex>
#include <QMutexLocker>

// The one Settings record of a run, shared between the window thread, which changes it, and
// the refresh worker, which reads it. The worker always works on a consistent copy.
class SharedSettings
{
public:
    explicit SharedSettings(Settings initial = {}) : m_settings(std::move(initial)) {}

    Settings snapshot() const
    {
        QMutexLocker lock(&m_mutex);
        return m_settings;
    }

    template <typename Change> void update(Change&& change)
    {
        QMutexLocker lock(&m_mutex);
        change(m_settings);
    }

private:
    mutable QMutex m_mutex;
    Settings m_settings;
};
