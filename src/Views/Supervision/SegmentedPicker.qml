pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A segmented picker: checkable buttons in a group, one of them chosen. It shows `currentIndex` and reports a click on
// another segment through activated; the owner decides what the choice does.
Rectangle {
    id: picker
    property var segments: []
    property int currentIndex: 0
    signal activated(int index)

    readonly property real segmentWidth: {
        let widest = 0
        for (let i = 0; i < measures.count; ++i)
            widest = Math.max(widest, measures.itemAt(i).implicitWidth)
        return widest + 20
    }

    implicitWidth: segments.length * segmentWidth + 4
    implicitHeight: 24
    radius: 7
    color: Qt.rgba(0, 0, 0, 0.07)
    Accessible.role: Accessible.PageTabList

    Repeater {
        id: measures
        model: picker.segments
        Text {
            required property string modelData
            visible: false
            text: modelData
            font.family: Theme.fontFamily
            font.pixelSize: 12
            font.weight: Font.Medium
        }
    }
    ButtonGroup { id: group }
    Row {
        x: 2
        y: 2
        Repeater {
            model: picker.segments
            Button {
                id: segment
                required property int index
                required property string modelData
                objectName: "segment_" + modelData
                width: picker.segmentWidth
                height: picker.height - 4
                checkable: true
                checked: index === picker.currentIndex
                ButtonGroup.group: group
                focusPolicy: Qt.NoFocus
                padding: 0
                text: modelData
                Accessible.role: Accessible.PageTab
                Accessible.name: modelData
                // The owner's value stays the truth: after a click the binding comes back.
                onToggled: {
                    picker.activated(index)
                    checked = Qt.binding(() => index === picker.currentIndex)
                }
                contentItem: Text {
                    text: segment.modelData
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    font.weight: segment.checked ? Font.Medium : Font.Normal
                    color: Theme.primary
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    radius: 5
                    color: segment.checked ? "white" : "transparent"
                    border.width: segment.checked ? 0.5 : 0
                    border.color: Qt.rgba(0, 0, 0, 0.12)
                }
                ButtonPointer {}
            }
        }
    }
}
