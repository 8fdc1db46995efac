#pragma once
// The wait page's segmented bar, standing in for the widget set's progress bar until that
// lands: a number of segments and a percentage, lit from the left.
#include "platform/ui/Controls.h"

class TWaitProgressBar : public TGraphicControl {
public:
    explicit TWaitProgressBar(TComponent* AOwner);

    int GetNumSegments() const { return FNumSegments; }
    void SetNumSegments(int n);
    int GetPercent() const { return FPercent; }
    void SetPercent(int p);

    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void Paint() override;

private:
    int FNumSegments = 20;
    int FPercent = 0;
};
