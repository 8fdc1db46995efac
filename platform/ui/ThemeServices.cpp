#include "platform/ui/ThemeServices.h"

namespace {
TThemeServices g_ClassicThemes;
TThemeServices* g_Current = nullptr;
}  // namespace

TThemeServices* ThemeServices() { return g_Current ? g_Current : &g_ClassicThemes; }

void SetThemeServices(TThemeServices* services) { g_Current = services; }
