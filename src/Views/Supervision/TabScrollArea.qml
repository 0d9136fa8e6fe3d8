import QtQuick
import QtQuick.Controls.Basic

// The scrolling area of a supervision tab whose content is made whole: a column 22 in from each side, 12 between
// its blocks and 12 below the last. The content goes inside.
Flickable {
    id: area
    default property alias content: column.data

    objectName: "tabScroller"
    contentWidth: width
    contentHeight: column.implicitHeight
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: PanelScrollBar { view: area }

    Column {
        id: column
        x: 22
        width: area.width - 44
        spacing: 12
        bottomPadding: 12
    }
}
