// The start of each program's reset list: the platform's records, then every record of the
// common layer, in the order they depend on each other.
#pragma once

// No other thread may be running. The loaded profile is freed.
void common_reset_all();
