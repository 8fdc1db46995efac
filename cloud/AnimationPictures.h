#pragma once
// The pictures of the login animation, drawn rather than loaded: the workstation, the cloud
// server and the device, and the tick and cross of a finished stage.
#include "platform/ui/Graphics.h"

enum class TAnimationPicture { Workstation, Cloud, Device, Tick, Cross };

// Drawn on white, which the image shows transparent; size x size pixels.
void DrawAnimationPicture(TBitmap& bitmap, TAnimationPicture picture, int size);
