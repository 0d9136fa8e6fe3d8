import QtQuick
import Tarnwick.ViewModels

// A row of page dots; the current one dark. A tap on a dot selects its page.
Row {
    id: dots
    property int count: 1
    property int current: 0
    signal select(int page)

    spacing: 10

    Repeater {
        model: NumberedRowsModel { count: Math.max(dots.count, 1) }
        delegate: Item {
            id: dot
            required property int index
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
