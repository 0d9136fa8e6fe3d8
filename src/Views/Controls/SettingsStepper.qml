import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// A titled integer stepper: minus and plus held to from...to. It shows `value` and reports the new one through
// valueEdited; its owner stores it.
Row {
    id: stepper
    property string title
    property int value
    property int from: 0
    property int to: 100
    signal valueEdited(int newValue)

    function adjust(delta) { valueEdited(FormRules.adjust(value, delta, from, to)) }

    spacing: 9
    Accessible.role: Accessible.SpinBox
    Accessible.name: title

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: stepper.title
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 11
        color: Theme.secondary
        Accessible.ignored: true
    }
    Rectangle {
        width: buttons.width + 2
        height: buttons.height + 2
        radius: 7
        color: SettingsPalette.button
        Row {
            id: buttons
            x: 1
            y: 1
            SettingsActionButtonStyle {
                objectName: "minus"
                iconOnly: true
                symbol: "minus"
                width: 26
                height: 26
                enabled: FormRules.canDecrease(stepper.value, stepper.from)
                Accessible.name: FormRules.decreaseLabel(stepper.title)
                onClicked: stepper.adjust(-1)
            }
            Text {
                width: 29
                height: 26
                text: String(stepper.value)
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                font.family: Theme.fontFamily
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.primary
                Accessible.ignored: true
            }
            SettingsActionButtonStyle {
                objectName: "plus"
                iconOnly: true
                symbol: "plus"
                width: 26
                height: 26
                enabled: FormRules.canIncrease(stepper.value, stepper.to)
                Accessible.name: FormRules.increaseLabel(stepper.title)
                onClicked: stepper.adjust(1)
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
}
