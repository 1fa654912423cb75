// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "heaptrim.h"

#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

void releaseFreeHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
