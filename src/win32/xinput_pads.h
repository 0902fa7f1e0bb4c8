// Pads on Windows: XInput from xinput1_4.dll (part of Windows), loaded when first needed and read once a frame.
#pragma once

#include <cstdint>

// The key cursor's controls that the connected pads hold now; none when the DLL is missing.
uint32_t ReadXInputControls();
