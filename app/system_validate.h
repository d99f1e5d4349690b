// The check that repairs the drawing's references after a drawing was loaded
// or created: what names a free slot of its table falls back to slot 0.
#pragma once

// The windows (and the drawing's filed views) whose coordinate system is free
// get system 0; the active layer, the active pen and the current hatch fall
// back to 0 when their slot is free; a pen's property set that names a free
// line type, or one without dash pairs, gets line type 0. Then the coordinate
// systems are recomputed and the display flags of all objects refreshed,
// without alert. The result is that refresh's: 1 when an object that became
// hidden or locked carried a user mark.
int SystemValidateReferences();

// Only the active layer, the active pen and the current hatch: each falls
// back to 0 when its slot is free. The drawing reader calls it after a
// replacing load, and a new drawing after its tables got their defaults.
void SystemValidateActiveSlots();
