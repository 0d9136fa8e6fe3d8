import QtQuick
import Tarnwick.App

// The centred title block at the top of a sheet.
Column {
    id: header
    property string title
    property string subtitle

    width: parent ? parent.width : implicitWidth
    spacing: 5
    topPadding: 20
    bottomPadding: 14
    leftPadding: 22
    rightPadding: 22

    Text {
        width: header.width - header.leftPadding - header.rightPadding
        text: header.title
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        font.family: Theme.fontFamily
        font.pixelSize: 19
        font.weight: Font.DemiBold
        color: Theme.primary
        Accessible.role: Accessible.Heading
        Accessible.name: header.title
    }
    Text {
        width: header.width - header.leftPadding - header.rightPadding
        text: header.subtitle
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        font.family: Theme.fontFamily
        font.pixelSize: 12
        color: Theme.secondary
    }
}
