// Press and release edges of a key, from one poll to the next.
#pragma once

// States of a key's edge word.
constexpr int KEY_UP = 0;
constexpr int KEY_PRESSED = 1;  // went down since the last poll
constexpr int KEY_RELEASED = 2; // went up since the last poll
constexpr int KEY_HELD = 3;

// Moves state 0 -> 1 -> 3 while the key is down and 1 or 3 -> 2 -> 0 while it is up. A key
// down again right after its release counts as a new press (2 -> 1).
void key_edge_poll(int virtual_key, int& state);
