pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The floating timer panel's content: one line per visible session and override, as the rows model decides them,
// on the floating surface. Its implicit height follows the lines; the window takes its size from it.
FloatingSurface {
    id: root
    required property TimerPanelRowsModel rows

    width: 264
    implicitWidth: 264
    implicitHeight: lines.implicitHeight + 24
    height: implicitHeight
    radius: 16
    clip: true

    Column {
        id: lines
        x: 12
        y: 12
        width: root.width - 24

        Repeater {
            model: root.rows
            delegate: Item {
                id: line
                required property int index
                required property string key
                required property string iconSource
                required property real iconOpacity
                required property string title
                required property color titleColor
                required property string subtitle
                required property bool pauseShown
                required property string timeText
                required property color timeColor
                required property string closeToolTip
                required property bool dividerBefore

                objectName: "line:" + key
                width: lines.width
                implicitHeight: divider.height + row.implicitHeight + 18
                height: implicitHeight

                Rectangle {
                    id: divider
                    objectName: "divider"
                    visible: line.dividerBefore
                    x: 50
                    width: parent.width - 50
                    height: line.dividerBefore ? 1 : 0
                    color: Theme.separator
                }

                RowLayout {
                    id: row
                    x: 4
                    y: divider.height + 9
                    width: parent.width - 8
                    spacing: 10

                    Image {
                        objectName: "icon"
                        Layout.preferredWidth: 30
                        Layout.minimumWidth: 30
                        Layout.preferredHeight: 30
                        source: line.iconSource
                        sourceSize: Qt.size(60, 60)
                        opacity: line.iconOpacity
                        smooth: true
                        asynchronous: true
                    }
                    ColumnLayout {
                        spacing: 3
                        Layout.fillWidth: true
                        Layout.minimumWidth: 0
                        Layout.maximumWidth: Math.ceil(Math.max(titleText.implicitWidth, subtitleText.implicitWidth))
                        Text {
                            id: titleText
                            objectName: "title"
                            Layout.fillWidth: true
                            text: line.title
                            color: line.titleColor
                            font.pixelSize: 13
                            font.weight: Font.DemiBold
                            elide: Text.ElideRight
                            maximumLineCount: 1
                            textFormat: Text.PlainText
                        }
                        Text {
                            id: subtitleText
                            objectName: "subtitle"
                            Layout.fillWidth: true
                            text: line.subtitle
                            color: Theme.secondary
                            font.pixelSize: 11
                            elide: Text.ElideRight
                            maximumLineCount: 1
                            textFormat: Text.PlainText
                        }
                    }
                    Item {
                        Layout.fillWidth: true
                        Layout.minimumWidth: 8
                    }
                    Symbol {
                        objectName: "pause"
                        visible: line.pauseShown
                        Layout.minimumWidth: 11
                        name: "pause.fill"
                        size: 11
                        color: root.rows.pauseSymbolColor
                    }
                    Text {
                        objectName: "time"
                        visible: line.timeText.length > 0
                        // Digits of equal width: a frame as wide as the widest two-digit reading.
                        Layout.preferredWidth: Math.max(implicitWidth, widest.advanceWidth)
                        Layout.minimumWidth: Layout.preferredWidth
                        horizontalAlignment: Text.AlignRight
                        text: line.timeText
                        color: line.timeColor
                        font: widest.font
                        textFormat: Text.PlainText
                        TextMetrics {
                            id: widest
                            text: "00:00"
                            font.pixelSize: 19
                            font.weight: Font.Bold
                        }
                    }
                    FloatingPanelCloseButton {
                        objectName: "close"
                        Layout.preferredWidth: 22
                        Layout.minimumWidth: 22
                        Layout.preferredHeight: 22
                        ToolTip.visible: hovered
                        ToolTip.text: line.closeToolTip
                        ToolTip.delay: 600
                        onClicked: root.rows.close(line.index)
                    }
                }
            }
        }
    }
}
