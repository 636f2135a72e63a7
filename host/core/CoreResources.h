#pragma once

// Registers the core library's images (open.png, delete.png) under the search prefix "core:".
// Safe to call more than once.
void registerCoreResources();
