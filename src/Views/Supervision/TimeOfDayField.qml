import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A minute of the day as "HH:mm", hours and minutes as separate parts: a click or Tab selects a part, digits type
// into it, Up/Down, the arrows and the wheel step it. It shows `value` and reports every change through valueEdited
// at once, so the owner's copy is always what the field shows.
Rectangle {
    id: field
    property int value
    signal valueEdited(int newValue)
    readonly property int part: entry.part

    implicitWidth: 80
    implicitHeight: 34
    radius: 8
    color: Theme.textBackground
    border.width: 1
    border.color: ControlLook.numberFieldBorder(field.activeFocus)
    activeFocusOnTab: true
    Accessible.role: Accessible.SpinBox
    Accessible.name: entry.text

    TimeOfDayEntry {
        id: entry
        value: field.value
        onValueEdited: minute => field.valueEdited(minute)
    }
    // Parts: 0 the hours, 1 the minutes, -1 none (the field without the keyboard).
    onActiveFocusChanged: {
        if (!activeFocus)
            entry.leave()
        else if (entry.part < 0)
            entry.selectPart(0)
    }

    Keys.onUpPressed: entry.step(1)
    Keys.onDownPressed: entry.step(-1)
    Keys.onRightPressed: event => event.accepted = entry.nextPart()
    Keys.onLeftPressed: event => event.accepted = entry.previousPart()
    Keys.onTabPressed: event => event.accepted = entry.nextPart()
    Keys.onBacktabPressed: event => event.accepted = entry.previousPart()
    Keys.onPressed: event => event.accepted = event.text.length === 1 && entry.typeDigit(event.text)

    component PartText: Rectangle {
        id: partBox
        property int which
        property string text
        width: label.implicitWidth + 4
        height: 20
        radius: 3
        color: field.activeFocus && entry.part === which ? Theme.accent : "transparent"
        Text {
            id: label
            anchors.centerIn: parent
            text: partBox.text
            font.family: Theme.fontFamily
            font.pixelSize: 13
            color: field.activeFocus && entry.part === partBox.which ? "white" : Theme.primary
        }
        TapHandler {
            onTapped: {
                field.forceActiveFocus(Qt.MouseFocusReason)
                entry.selectPart(partBox.which)
            }
        }
    }

    Row {
        x: 9
        anchors.verticalCenter: parent.verticalCenter
        PartText {
            objectName: "hours"
            which: 0
            text: entry.hoursText
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: ":"
            font.family: Theme.fontFamily
            font.pixelSize: 13
            color: Theme.primary
        }
        PartText {
            objectName: "minutes"
            which: 1
            text: entry.minutesText
        }
    }
    TapHandler {
        // A click beside the digits selects the hours, as a click on them would.
        onTapped: if (!field.activeFocus) field.forceActiveFocus(Qt.MouseFocusReason)
    }
    WheelHandler {
        acceptedDevices: PointerDevice.Mouse | PointerDevice.TouchPad
        onWheel: event => entry.wheel(event.angleDelta.y)
    }
    StepArrowColumn {
        x: field.width - width
        height: field.height
        radius: field.radius
        borderWidth: field.border.width
        arrowFocusPolicy: Qt.NoFocus
        onUpClicked: {
            field.forceActiveFocus(Qt.MouseFocusReason)
            entry.step(1)
        }
        onDownClicked: {
            field.forceActiveFocus(Qt.MouseFocusReason)
            entry.step(-1)
        }
    }
}
