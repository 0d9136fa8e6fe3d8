import QtQuick
import Tarnwick.ViewModels

// A row of page dots; the current one dark. A tap on a dot selects its page.
Row {
    id: dots
    property int count: 1
    property int current: 0
    signal select(int page)

    spacing: 10
    // Dots once made stay, hidden past the count: a search that narrows and widens again over thousands of apps
    // would otherwise drop and rebuild a hundred dots at each keystroke. A hidden dot takes no place in the row.
    property int made: 1
    onCountChanged: made = Math.max(made, count)

    Repeater {
        model: NumberedRowsModel { count: Math.max(dots.count, dots.made, 1) }
        delegate: Item {
            id: dot
            required property int index
            objectName: "pageDot" + index
            visible: dot.index < Math.max(dots.count, 1)
            width: 8
            height: 20
            Rectangle {
                anchors.centerIn: parent
                width: 8
                height: 8
                radius: 4
                color: dot.index === dots.current ? Qt.rgba(0.2, 0.2, 0.2, 1) : Qt.rgba(0.78, 0.78, 0.78, 1)
            }
            TapHandler {
                onTapped: dots.select(dot.index)
            }
        }
    }
}
