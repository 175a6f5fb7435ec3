// What the process holds, for tests that must leave nothing behind: GDI objects and private
// memory.
#pragma once

#include <cstddef>

namespace korvex_test {

// GDI objects the process holds now (brushes, fonts, bitmaps, device contexts, ...).
// GetGuiResources where the system counts them; under Wine, which does not, the live entries of
// the process's own GDI handle table. -1 when neither tells.
int GdiObjectCount();
// Private memory committed by the process, in bytes.
std::size_t PrivateBytes();

}  // namespace korvex_test
