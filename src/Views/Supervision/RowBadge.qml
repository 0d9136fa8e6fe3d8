import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The small accent badge after a row's title.
Rectangle {
    id: badge
    property string text

    implicitWidth: label.implicitWidth + 10
    implicitHeight: label.implicitHeight + 2
    radius: 4
    color: SupervisionLook.badgeFill()

    Text {
        id: label
        anchors.centerIn: parent
        text: badge.text
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 10
        font.weight: Font.DemiBold
        color: SupervisionLook.badgeText()
    }
}
