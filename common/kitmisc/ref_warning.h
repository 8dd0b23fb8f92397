// The reference-device warning: asks, in a small modal dialog, whether to go
// on with the slow reference rasterizer, and remembers "don't ask again" in
// the registry (HKEY_CURRENT_USER\Software\Tumbral\Kit, "Skip Warning On REF").
#pragma once

// Shows the dialog unless error boxes are off or the registry says to skip
// it; "No" terminates the framework with exit code 1.
void KitWarnReferenceDevice();
