#include "iconscalecontrolrules.h"

#include "appstate.h"
#include "iconscale.h"

#include <algorithm>
#include <cmath>

namespace {

// The slider and the plus button stop at 0.8 at the least, while clamping never holds the scale below 1.0: with a
// ceiling under 1.0 the slider ends below what clamping still allows (grids keep their ceiling within 1.0-1.6).
double controlCeiling(double c)
{
    return std::min(std::max(c, 0.8), IconScale::maximum);
}

std::optional<double> ifChanged(double clamped, double s)
{
    if (clamped == s)
        return std::nullopt;
    return clamped;
}

void write(AppState *state, std::optional<double> value)
{
    if (state && value)
        state->setGridIconScale(*value);
}

} // namespace

double IconScaleControlRules::sliderFrom()
{
    return IconScale::minimum;
}

double IconScaleControlRules::sliderTo(double s, double c)
{
    return std::max(s, controlCeiling(c));
}

bool IconScaleControlRules::canShrink(double s)
{
    return s > IconScale::minimum;
}

bool IconScaleControlRules::canGrow(double s, double c)
{
    const double upper = c > IconScale::maximum ? IconScale::maximum : std::max(c, 0.8);
    // 1.6 - 0.001 is a hair above 1.599 in doubles; the guard keeps 1.599 itself at the stop.
    return s + 1e-9 < upper - 0.001;
}

int IconScaleControlRules::percent(double s)
{
    return int(std::round(s * 100));
}

QString IconScaleControlRules::percentText(double s)
{
    return QString::number(percent(s)) + u'%';
}

std::optional<double> IconScaleControlRules::afterSlide(double v, double s, double c)
{
    return ifChanged(IconScale::clamped(v, c), s);
}

std::optional<double> IconScaleControlRules::afterShrink(double s, double c)
{
    return ifChanged(IconScale::clamped(s - buttonStep, c), s);
}

std::optional<double> IconScaleControlRules::afterGrow(double s, double c)
{
    return ifChanged(IconScale::clamped(s + buttonStep, c), s);
}

std::optional<double> IconScaleControlRules::afterReset(double s, double c)
{
    return ifChanged(IconScale::clamped(IconScale::neutral, c), s);
}

double IconScaleControlRules::ceiling(const AppState *state)
{
    return state ? state->gridZoomCeiling : IconScale::maximum;
}

void IconScaleControlRules::slide(AppState *state, double v)
{
    if (state)
        write(state, afterSlide(v, state->gridIconScale(), state->gridZoomCeiling));
}

void IconScaleControlRules::shrink(AppState *state)
{
    if (state)
        write(state, afterShrink(state->gridIconScale(), state->gridZoomCeiling));
}

void IconScaleControlRules::grow(AppState *state)
{
    if (state)
        write(state, afterGrow(state->gridIconScale(), state->gridZoomCeiling));
}

void IconScaleControlRules::reset(AppState *state)
{
    if (state)
        write(state, afterReset(state->gridIconScale(), state->gridZoomCeiling));
}
