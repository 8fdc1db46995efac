#pragma once
// Colour names, channels and the system-colour table come from the platform's graphics unit.
#include "platform/ui/Graphics.h"
