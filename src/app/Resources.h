#pragma once

// Registers the images and desktop files compiled into the program. The
// resources live in a static library, whose registration the linker would
// otherwise drop; safe to call more than once.
void EnsureResources();
