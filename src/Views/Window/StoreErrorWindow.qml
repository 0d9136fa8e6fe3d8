import QtQuick

// Shown when the program cannot start because its data cannot be opened: what failed, the file, and a way out.
Window {
    id: root
    required property string message

    width: 460
    height: 200
    visible: true
    title: "Tarnwick"
    color: "#ECECEC"

    Shortcut { sequences: ["Return", "Enter", "Escape"]; onActivated: root.close() }

    Column {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 10

        Text {
            width: parent.width
            text: "Tarnwick 无法启动"
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: "#1C1C1E"
        }
        Text {
            width: parent.width
            text: root.message
            wrapMode: Text.WrapAnywhere
            font.pixelSize: 13
            color: "#3C3C43"
        }
    }
    Rectangle {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 20
        width: 88
        height: 30
        radius: 8
        color: "#007AFF"
        Text { anchors.centerIn: parent; text: "退出"; color: "white"; font.pixelSize: 13 }
        TapHandler { onTapped: root.close() }
    }
}
