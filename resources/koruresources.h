#pragma once

// Registers the compiled-in images, style sheet and catalogues. The collection lives in a
// static library, so every program that shows the user interface calls this once at start.
void initKoruResources();
void cleanupKoruResources();
