import QtQuick
import Tarnwick.App

// One tab of the group strip: its title alone, 15 points, semibold while selected; black while selected or under the
// pointer, else grey. A click runs the tab's action.
Text {
    id: tab
    property string title
    property bool selected: false
    readonly property bool hovering: hover.hovered
    signal clicked()

    text: title
    textFormat: Text.PlainText
    font.family: Theme.fontFamily
    font.pixelSize: 15
    font.weight: selected ? Font.DemiBold : Font.Normal
    color: selected || hovering ? "black" : Theme.secondary
    Accessible.role: Accessible.PageTab
    Accessible.name: title

    HoverHandler {
        id: hover
        cursorShape: Qt.PointingHandCursor
    }
    TapHandler {
        onTapped: tab.clicked()
    }
}
