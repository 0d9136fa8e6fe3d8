import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The switch between the paged grid and the vertical grid.
Item {
    id: capsule
    required property AppState state

    implicitWidth: row.implicitWidth + 12
    implicitHeight: 32

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: Qt.rgba(239 / 255, 239 / 255, 239 / 255, 1)
    }

    component Segment: Item {
        id: segment
        property string mode
        property string symbol
        property string tip
        readonly property bool selected: capsule.state.layoutMode === mode
        width: 32
        height: 22

        DragShadow {
            anchors.fill: parent
            visible: segment.selected
            cornerRadius: height / 2
            radius: 2
            shadowOpacity: 0.08
            offsetY: 1
        }
        Rectangle {
            anchors.fill: parent
            radius: height / 2
            color: segment.selected ? "white" : "transparent"
        }
        Symbol {
            anchors.centerIn: parent
            name: segment.symbol
            size: 13
            color: segment.selected ? Theme.primary : Theme.secondary
        }
        HoverHandler { id: hover; cursorShape: Qt.PointingHandCursor }
        TapHandler { onTapped: capsule.state.layoutMode = segment.mode }
        ToolTip.visible: hover.hovered
        ToolTip.text: tip
        ToolTip.delay: 600
    }

    Row {
        id: row
        anchors.centerIn: parent
        Segment {
            objectName: "horizontalSegment"
            mode: "horizontal"
            symbol: "rectangle.split.3x1"
            tip: "横向分页：支持鼠标滚轮、触控板滑动翻页"
        }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 1
            height: 16
            color: Qt.rgba(0, 0, 0, 0.1)
        }
        Segment {
            objectName: "verticalSegment"
            mode: "vertical"
            symbol: "rectangle.grid.1x2"
            tip: "竖向滚动：上下滚动浏览全部应用"
        }
    }
}
