import QtQuick
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels

// The rounded frame of a field in a sheet that edits apps: 34 high, a light fill and a 1-pixel inner border that
// turns to the accent colour while `focused`. Its children are laid out in a row (spacing 6) inside the padding.
Rectangle {
    id: frame
    property bool focused: false
    property bool animated: true // the border's change eases over 0.15 s
    property real horizontalPadding: 10
    default property alias content: row.data

    implicitHeight: AppSheetLook.fieldHeight
    implicitWidth: row.implicitWidth + 2 * horizontalPadding
    radius: AppSheetLook.fieldRadius
    color: AppSheetLook.fieldFill
    border.width: 1
    border.color: AppSheetLook.fieldBorder(focused)

    Behavior on border.color {
        enabled: frame.animated
        ColorAnimation { duration: AppSheetLook.fieldBorderAnimationMilliseconds; easing.type: Easing.InOutQuad }
    }

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: frame.horizontalPadding
        anchors.rightMargin: frame.horizontalPadding
        spacing: 6
    }
}
