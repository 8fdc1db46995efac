#pragma once
// The tab control engine and the page control of the widget set.
#include "widgets/UiTabsButtons.h"
#include "widgets/UiTabsControl.h"
#include "widgets/UiTabsData.h"
#include "widgets/UiTabsLayout.h"
#include "widgets/UiTabsPages.h"
#include "widgets/UiTabsRegionCache.h"
#include "widgets/UiTabsTypes.h"
