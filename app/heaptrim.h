// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Gives the heap's free pages back to the system. glibc keeps what a pass that read the files
// freed again, so without this the program would hold a large pass's peak all the time it
// waits. Does nothing with other C libraries.
void releaseFreeHeap();
