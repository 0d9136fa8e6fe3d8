import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The line between two rows of a card, starting where the rows' titles start.
Item {
    id: divider
    property bool hasIcon: false

    width: parent ? parent.width : 320
    implicitHeight: 1

    Rectangle {
        objectName: "line"
        x: ControlLook.dividerLeadingInset(divider.hasIcon)
        width: divider.width - x - ControlLook.dividerTrailingInset()
        height: 1
        color: Theme.separator
    }
}
