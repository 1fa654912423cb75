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
    // Milliseconds of a clock that only runs forward and, where the system allows, stands
    // still while the machine sleeps: its distance to nowMs() grows when the machine slept or
    // the time was set forward. By default it is nowMs(), so no such jump is seen.
    virtual std::int64_t steadyMs() const { return nowMs(); }
};

class SystemClock : public Clock
{
public:
    std::int64_t now() const override;
    std::int64_t nowMs() const override;
    std::int64_t steadyMs() const override;
};

// A clock that stands still: `palmdat today --now` and the benchmarks.
class FixedClock : public Clock
{
public:
    explicit FixedClock(std::int64_t now) : m_now(now) {}
    std::int64_t now() const override { return m_now; }

private:
    std::int64_t m_now;
};
