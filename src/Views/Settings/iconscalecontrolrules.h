#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqml.h>

#include <optional>

#include "appstate.h"

// The icon-size control of the settings: its slider's range, which of its buttons are enabled, the percentage it
// shows, and what each part writes to the state object's icon scale (always clamped under the zoom ceiling, and only
// when it changes the scale). s is the state's gridIconScale, c its gridZoomCeiling. Pure functions, and for QML
// the same over a state object; main thread.
class IconScaleControlRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    static constexpr double buttonStep = 0.05;

    [[nodiscard]] Q_INVOKABLE static double sliderFrom();
    // The slider never ends below the current scale, so a scale above a ceiling that shrank stays on it.
    [[nodiscard]] Q_INVOKABLE static double sliderTo(double s, double c);
    [[nodiscard]] Q_INVOKABLE static bool canShrink(double s);
    [[nodiscard]] Q_INVOKABLE static bool canGrow(double s, double c);
    [[nodiscard]] Q_INVOKABLE static bool canReset(double s) { return s != 1.0; }
    // s x 100 rounded, halves away from zero.
    [[nodiscard]] Q_INVOKABLE static int percent(double s);
    [[nodiscard]] Q_INVOKABLE static QString percentText(double s);

    // The scale to write after each part is used, or nothing when the clamped value equals s.
    [[nodiscard]] static std::optional<double> afterSlide(double v, double s, double c);
    [[nodiscard]] static std::optional<double> afterShrink(double s, double c);
    [[nodiscard]] static std::optional<double> afterGrow(double s, double c);
    [[nodiscard]] static std::optional<double> afterReset(double s, double c);

    // The same, read from and written to the state object.
    [[nodiscard]] Q_INVOKABLE static double ceiling(const AppState *state);
    Q_INVOKABLE static void slide(AppState *state, double v);
    Q_INVOKABLE static void shrink(AppState *state);
    Q_INVOKABLE static void grow(AppState *state);
    Q_INVOKABLE static void reset(AppState *state);

    // Accessibility texts.
    [[nodiscard]] Q_INVOKABLE static QString sliderName() { return u"图标大小"_qs; }
    [[nodiscard]] Q_INVOKABLE static QString shrinkName() { return u"缩小图标"_qs; }
    [[nodiscard]] Q_INVOKABLE static QString growName() { return u"放大图标"_qs; }
    [[nodiscard]] Q_INVOKABLE static QString resetTitle() { return u"恢复默认"_qs; }
};
