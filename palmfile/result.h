// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace palmfile {

// A value or the reason there is none. The message names the file, what is wrong and, for
// format errors, the byte offset: "datebook.dat: record 12: string runs past end of file at
// offset 0x1a3".
template <typename T> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(std::string message)
    {
        Result r;
        r.m_error = std::move(message);
        return r;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const std::string& error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    std::string m_error;
};

} // namespace palmfile
