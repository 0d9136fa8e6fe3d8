import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The icon-size control of the settings: a slider, minus and plus with the percentage between them, and a reset.
// It writes the state's icon scale, always clamped under the grids' zoom ceiling.
Row {
    id: control
    required property AppState appState
    readonly property double scale: appState.gridIconScale

    spacing: 10
    width: parent ? parent.width : 360

    Slider {
        id: slider
        objectName: "slider"
        anchors.verticalCenter: parent.verticalCenter
        width: control.width - group.width - reset.width - 2 * control.spacing
        from: IconScaleControlRules.sliderFrom()
        to: IconScaleControlRules.sliderTo(control.scale, IconScaleControlRules.ceiling(control.appState))
        stepSize: 0
        value: control.scale
        onMoved: IconScaleControlRules.slide(control.appState, value)
        Accessible.name: IconScaleControlRules.sliderName()
        AccessibleValueText.text: IconScaleControlRules.percentText(control.scale)

        // The small slider of a settings row: a thin track filled with the accent up to a small white knob.
        background: Rectangle {
            x: slider.leftPadding
            y: slider.topPadding + (slider.availableHeight - height) / 2
            width: slider.availableWidth
            height: 4
            radius: 2
            color: Theme.withOpacity(Theme.primary, 0.12)
            Rectangle {
                width: slider.visualPosition * parent.width
                height: parent.height
                radius: 2
                color: Theme.accent
            }
        }
        handle: Rectangle {
            x: slider.leftPadding + slider.visualPosition * (slider.availableWidth - width)
            y: slider.topPadding + (slider.availableHeight - height) / 2
            width: 14
            height: 14
            radius: 7
            color: slider.pressed ? Qt.rgba(0.94, 0.94, 0.94, 1) : "white"
            border.width: 0.5
            border.color: Theme.withOpacity(Theme.primary, 0.25)
        }
    }
    Rectangle {
        id: group
        anchors.verticalCenter: parent.verticalCenter
        width: buttons.width + 2
        height: buttons.height + 2
        radius: 7
        color: SettingsPalette.button
        Row {
            id: buttons
            x: 1
            y: 1
            SettingsActionButtonStyle {
                objectName: "shrink"
                iconOnly: true
                symbol: "minus"
                width: 26
                height: 26
                enabled: IconScaleControlRules.canShrink(control.scale)
                Accessible.name: IconScaleControlRules.shrinkName()
                onClicked: IconScaleControlRules.shrink(control.appState)
            }
            Text {
                objectName: "percent"
                width: 40
                height: 26
                text: IconScaleControlRules.percentText(control.scale)
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                font.family: Theme.fontFamily
                font.pixelSize: 11
                font.weight: Font.Medium
                color: Theme.primary
                Accessible.ignored: true
            }
            SettingsActionButtonStyle {
                objectName: "grow"
                iconOnly: true
                symbol: "plus"
                width: 26
                height: 26
                enabled: IconScaleControlRules.canGrow(control.scale, IconScaleControlRules.ceiling(control.appState))
                Accessible.name: IconScaleControlRules.growName()
                onClicked: IconScaleControlRules.grow(control.appState)
            }
        }
        Rectangle {
            anchors.fill: parent
            radius: parent.radius
            color: "transparent"
            border.width: 0.5
            border.color: Theme.withOpacity(Theme.primary, 0.12)
        }
    }
    SettingsActionButtonStyle {
        id: reset
        objectName: "reset"
        anchors.verticalCenter: parent.verticalCenter
        text: IconScaleControlRules.resetTitle()
        enabled: IconScaleControlRules.canReset(control.scale)
        onClicked: IconScaleControlRules.reset(control.appState)
    }
}
