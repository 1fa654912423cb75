#pragma once

#include <cstdint>

// "Now" as whole seconds since 1970-01-01 00:00:00 UTC. Injected so that tests can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::int64_t now() const = 0;
};

class SystemClock : public Clock
{
public:
    std::int64_t now() const override;
};
