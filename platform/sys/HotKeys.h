#pragma once
// System-wide hot keys, recorded only: the tool never takes key combinations away from other
// applications, so registering does not grab anything. Tests read the record.
#include <vector>

namespace sys {

enum : unsigned { MOD_ALT = 0x1, MOD_CONTROL = 0x2, MOD_SHIFT = 0x4, MOD_WIN = 0x8 };

struct THotKey {
    const void* window;
    int id;
    unsigned modifiers;
    unsigned key;  // virtual-key code: 'E' for the E key
};

// False when the same combination is already registered.
bool RegisterHotKey(const void* window, int id, unsigned modifiers, unsigned key);
// False when the window has no hot key with this id.
bool UnregisterHotKey(const void* window, int id);
std::vector<THotKey> RegisteredHotKeys();

}  // namespace sys
