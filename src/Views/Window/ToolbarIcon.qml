import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.Views

// A round icon button of the top bar.
Item {
    id: icon
    property string symbol
    property string tip
    signal clicked()

    width: 34
    height: 34

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: hover.hovered ? Theme.withOpacity(Theme.primary, 0.08) : "transparent"
    }
    Symbol {
        anchors.centerIn: parent
        name: icon.symbol
        size: 15
        color: hover.hovered ? Theme.primary : Theme.secondary
    }
    HoverHandler { id: hover; cursorShape: Qt.PointingHandCursor }
    TapHandler { onTapped: icon.clicked() }
    ToolTip.visible: hover.hovered
    ToolTip.text: tip
    ToolTip.delay: 600
}
