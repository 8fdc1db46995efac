#pragma once
// Internal: the canvas's clip, shared by its drawing units.
#include <QRegion>

#include "platform/ui/Graphics.h"

struct TCanvas::Clip {
    QRegion region;  // device coordinates
};

struct TRegion::Impl {
    QRegion region;
};
