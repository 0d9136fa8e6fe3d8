import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The capsule search field. Every edit goes to the state's search text; Return asks the window to open the first
// match; Escape empties the field and keeps the focus.
Item {
    id: bar
    required property AppState state
    property alias field: input
    // Whether an input method is composing in the field (its pre-edit text shows).
    readonly property bool composing: input.preeditText.length > 0
    signal submitted(bool composing)
    signal keyPressed(var event)

    implicitWidth: 560
    implicitHeight: 44

    DragShadow {
        anchors.fill: capsule
        cornerRadius: capsule.radius
        radius: 8
        shadowOpacity: 0.08
        offsetY: 2
    }
    Rectangle {
        id: capsule
        anchors.fill: parent
        radius: height / 2
        color: Qt.rgba(239 / 255, 239 / 255, 239 / 255, 1)
        border.width: input.activeFocus ? 2 : 0
        border.color: Theme.withOpacity(Theme.accent, 0.6)
    }

    Row {
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        spacing: 10

        Item {
            width: 16
            height: parent.height
            Symbol {
                anchors.centerIn: parent
                visible: bar.state.searchText.length === 0
                name: "magnifyingglass"
                size: 15
                color: Theme.secondary
            }
            Symbol {
                id: clearButton
                objectName: "clearSearch"
                anchors.centerIn: parent
                visible: bar.state.searchText.length > 0
                name: "xmark.circle.fill"
                size: 15
                color: Theme.secondary
                ToolTip.visible: clearHover.hovered
                ToolTip.text: "清除"
                ToolTip.delay: 600
                HoverHandler { id: clearHover; cursorShape: Qt.PointingHandCursor }
                TapHandler {
                    onTapped: {
                        bar.state.searchText = ""
                        input.forceActiveFocus()
                    }
                }
            }
        }

        TextField {
            id: input
            objectName: "searchField"
            width: parent.width - 26
            height: parent.height
            placeholderText: "输入名称或拼音搜索应用"
            placeholderTextColor: Theme.tertiaryLabel
            color: Theme.primary
            font.family: Theme.fontFamily
            font.pixelSize: 16
            leftPadding: 0
            rightPadding: 0
            verticalAlignment: TextInput.AlignVCenter
            background: Item {}
            text: bar.state.searchText
            onTextEdited: bar.state.searchText = text
            onAccepted: bar.submitted(bar.composing)
            Keys.onEscapePressed: bar.state.searchText = ""
            Keys.onPressed: (event) => bar.keyPressed(event)
        }
    }
}
