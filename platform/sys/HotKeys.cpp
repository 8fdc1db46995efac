#include "platform/sys/HotKeys.h"

#include <algorithm>
#include <mutex>

namespace sys {
namespace {
std::mutex g_lock;
std::vector<THotKey>& Keys() {
    static std::vector<THotKey> keys;
    return keys;
}
}  // namespace

bool RegisterHotKey(const void* window, int id, unsigned modifiers, unsigned key) {
    std::lock_guard<std::mutex> g(g_lock);
    for (const THotKey& k : Keys())
        if (k.modifiers == modifiers && k.key == key) return false;
    Keys().push_back({window, id, modifiers, key});
    return true;
}

bool UnregisterHotKey(const void* window, int id) {
    std::lock_guard<std::mutex> g(g_lock);
    auto& keys = Keys();
    auto it = std::find_if(keys.begin(), keys.end(), [&](const THotKey& k) { return k.window == window && k.id == id; });
    if (it == keys.end()) return false;
    keys.erase(it);
    return true;
}

std::vector<THotKey> RegisteredHotKeys() {
    std::lock_guard<std::mutex> g(g_lock);
    return Keys();
}

}  // namespace sys
