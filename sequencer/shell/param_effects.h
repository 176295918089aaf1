// What showing a settings panel and changing one of its fields does beyond storing the
// value: records that mirror the slots, messages sent at once, dependent fields.
#pragma once
#include <cstdint>

struct ParamPanel;

// Loads or normalises the values a panel shows before it is drawn.
void param_effect_show(int command_key);
// After field 1..8 of the shown panel changed from `old_value`; `stepped_up` when an up
// button did it.
void param_effect_change(const ParamPanel& panel, int field, int32_t old_value, bool stepped_up);
// The shell's records that follow settings slots, at start after the settings file.
void param_settings_apply();
