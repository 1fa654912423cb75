// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Under Wine, has Qt draw text with its FreeType font engine instead of GDI's. In a Wine without
// its own fonts there is no Tahoma for the dialog font, and Qt falls back to some installed
// family, whose GDI text metrics can be several lines tall (seen: DejaVu Math TeX Gyre, 46 px
// for an 11 px font); text fields centre their text on that height and push it out of sight.
// FreeType measures the glyphs themselves. Call before QApplication; does nothing on Windows
// itself or when QT_QPA_PLATFORM is set.
void useFreeTypeUnderWine();
