import QtQuick
import Tarnwick.App

// The up and down arrows along the right of a number or time field, a column 22 wide with a line along its leading
// edge and one between the arrows. Everything stays inside the field's border: the arrows and lines stop short of
// its `borderWidth` line, and a hovered arrow's shade follows the field's rounded corner, so the field's outline is
// the same whatever the pointer does.
Item {
    id: column
    // The owning field's corner radius and border width.
    property real radius: 8
    property real borderWidth: 1
    property int arrowFocusPolicy: Qt.StrongFocus
    signal upClicked()
    signal downClicked()

    width: 22

    StepArrow {
        objectName: "up"
        x: 1
        y: column.borderWidth
        width: column.width - 1 - column.borderWidth
        height: (column.height - 1) / 2 - column.borderWidth
        symbol: "chevron.up"
        shadeRadius: Math.max(column.radius - column.borderWidth, 0)
        shadeRoundedAtTop: true
        focusPolicy: column.arrowFocusPolicy
        onClicked: column.upClicked()
    }
    Rectangle {
        y: (column.height - 1) / 2
        width: column.width - column.borderWidth
        height: 1
        color: Theme.separator
    }
    StepArrow {
        objectName: "down"
        x: 1
        y: (column.height + 1) / 2
        width: column.width - 1 - column.borderWidth
        height: (column.height - 1) / 2 - column.borderWidth
        symbol: "chevron.down"
        shadeRadius: Math.max(column.radius - column.borderWidth, 0)
        shadeRoundedAtTop: false
        focusPolicy: column.arrowFocusPolicy
        onClicked: column.downClicked()
    }
    Rectangle {
        y: column.borderWidth
        width: 1
        height: column.height - 2 * column.borderWidth
        color: Theme.separator
    }
}
