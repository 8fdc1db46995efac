#include "widgets/UiFrameTypes.h"

#include <cstring>

const TFrameColors FrameStyleColors[11] = {
    {clWindow, clWindow},             {cl3DDkShadow, cl3DDkShadow},  {clBtnShadow, clBtnHighlight},
    {clBtnHighlight, clBtnShadow},    {clBtnShadow, clBtnHighlight}, {clNone, clNone},
    {cl3DDkShadow, clBtnFace},        {clNone, clNone},              {clBtnShadow, clBtnHighlight},
    {clBtnHighlight, clBtnShadow},    {clBtnShadow, clBtnShadow},
};

const TEdgeColors Ctl3DColors[2] = {
    {cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
    {clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
};

const TEdgeColors BtnColors[2] = {
    {clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow},
    {clBtnText, clBtnText, clBtnShadow, clBtnShadow},
};

int FrameStyleWidth(TFrameStyleEx style, int bevelWidth) {
    switch (style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    default: return 2;
    }
}

bool FrameStyleFromName(const char* name, TFrameStyle& style) {
    static const char* const kNames[11] = {"fsNone",  "fsFlat",       "fsGroove", "fsBump",
                                           "fsLowered", "fsButtonDown", "fsRaised", "fsButtonUp",
                                           "fsStatus", "fsPopup",      "fsFlatBold"};
    for (int i = 0; i < 11; ++i)
        if (std::strcmp(name, kNames[i]) == 0) {
            style = TFrameStyle(i);
            return true;
        }
    return false;
}
