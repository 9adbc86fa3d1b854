#pragma once

// Gives the running application its look: the font that names the CJK font the package
// recommends first (so that Chinese renders on a fresh machine, with the desktop's own font
// behind it), and the style sheet from the resources. Call after the resources are
// registered and before any window is shown.
void applyApplicationLook();
