// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// "Now" as whole seconds since 1970-01-01 00:00:00 UTC. Injected so that tests can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::int64_t now() const = 0;
    // The same instant in milliseconds, for waits that must end on a due second.
    virtual std::int64_t nowMs() const { return now() * 1000; }
};

class SystemClock : public Clock
{
public:
    std::int64_t now() const override;
    std::int64_t nowMs() const override;
};
