import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The hint of an empty list: a centred grey line in a dashed rounded outline.
Item {
    id: hint
    property string text

    width: parent ? parent.width : implicitWidth
    implicitWidth: label.implicitWidth
    implicitHeight: label.implicitHeight + 44

    Text {
        id: label
        objectName: "emptyHintText"
        anchors.centerIn: parent
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: hint.text
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 12
        color: Theme.secondary
    }
    DashedOutline {
        anchors.fill: parent
        radius: 10
        lineWidth: 1
        dashLength: 4
        gapLength: 3
        color: SupervisionLook.hintOutline()
    }
}
