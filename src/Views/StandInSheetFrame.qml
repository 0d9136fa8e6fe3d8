import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App

// The frame the stand-in sheets share: a title and a close button; Escape closes.
FocusScope {
    id: frame
    property string title
    default property alias body: bodyColumn.data
    signal done()

    implicitWidth: 420
    implicitHeight: column.implicitHeight + 40
    focus: true
    Keys.onEscapePressed: frame.done()

    Column {
        id: column
        anchors.centerIn: parent
        width: parent.width - 40
        spacing: 16

        Text {
            objectName: "sheetTitle"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: frame.title
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.family: Theme.fontFamily
            font.pixelSize: 19
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        Column {
            id: bodyColumn
            width: parent.width
            spacing: 10
        }
        Button {
            objectName: "sheetClose"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "完成"
            font.family: Theme.fontFamily
            onClicked: frame.done()
        }
    }
}
