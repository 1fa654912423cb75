// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "roundtrip.h"

#include "palmfile/reader.h"
#include "palmfile/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzzRoundTrip(data, size, palmfile::readDatebook, palmfile::writeDatebook);
}
