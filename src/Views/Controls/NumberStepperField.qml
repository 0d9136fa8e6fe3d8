import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// An integer field with up and down arrows. It shows `value` in the locale's format and reports a new value through
// valueEdited: from an arrow (held to the bound it moves towards) or from typed text on Return or when the field
// loses focus (not held to the range: the owner does that). Text that does not parse puts the value back. Return then
// goes on to the sheet: it presses the sheet's default button with the value already committed.
Rectangle {
    id: field
    property int value
    property int from: 0
    property int to: 100
    property bool highlighted: false
    readonly property bool editing: input.activeFocus // owners highlight the field they edit
    signal valueEdited(int newValue)

    implicitWidth: 80
    implicitHeight: 34
    radius: 8
    color: Theme.textBackground
    border.width: 1
    border.color: ControlLook.numberFieldBorder(highlighted)

    TextInput {
        id: input
        objectName: "input"
        x: 11
        width: field.width - 11 - 22
        anchors.verticalCenter: parent.verticalCenter
        clip: true
        selectByMouse: true
        text: FormRules.formatInteger(field.value)
        font.family: Theme.fontFamily
        font.pixelSize: 13
        color: Theme.primary
        selectionColor: Theme.accent
        // Return commits the typed value first and is then left to the sheet, whose default button it presses.
        Keys.onShortcutOverride: event => {
            if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter)
                input.commit()
        }
        onEditingFinished: commit()

        function commit() {
            field.valueEdited(FormRules.committedValue(text, field.value))
            text = Qt.binding(() => FormRules.formatInteger(field.value))
        }
    }
    StepArrowColumn {
        x: field.width - width
        height: field.height
        radius: field.radius
        borderWidth: field.border.width
        onUpClicked: field.valueEdited(FormRules.stepUp(field.value, field.to))
        onDownClicked: field.valueEdited(FormRules.stepDown(field.value, field.from))
    }
}
