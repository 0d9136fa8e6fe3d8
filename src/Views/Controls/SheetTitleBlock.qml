import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The centred title block at the top of a sheet that edits apps: a bold title over a secondary subtitle.
Column {
    id: header
    property string title
    property string subtitle

    width: parent ? parent.width : implicitWidth
    spacing: AppSheetLook.headerSpacing
    topPadding: AppSheetLook.headerTopPadding
    bottomPadding: AppSheetLook.headerBottomPadding

    Text {
        objectName: "sheetTitle"
        width: header.width
        text: header.title
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        font.family: Theme.fontFamily
        font.pixelSize: AppSheetLook.titleFontSize
        font.weight: Font.Bold
        color: Theme.primary
        Accessible.role: Accessible.Heading
        Accessible.name: header.title
    }
    Text {
        objectName: "sheetSubtitle"
        width: header.width
        text: header.subtitle
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        font.family: Theme.fontFamily
        font.pixelSize: AppSheetLook.subtitleFontSize
        color: Theme.secondary
    }
}
