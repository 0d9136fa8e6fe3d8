import QtQuick
import Tarnwick.App

// The frame of an overlay card: a scrim over the whole window and a centred card that fades, grows (and rises) in
// once it is made. A click on the scrim asks for the cancelling answer; a click on the card does nothing. The card
// holds the keys while it shows: Return (without modifiers) and Escape are reported, and no window shortcut sees
// them meanwhile.
FocusScope {
    id: overlay
    property color scrimColor: "black"
    property real scrimOpacity: 0.3
    property real cardWidth: 340
    property real cardRadius: 16
    property real startScale: 0.95
    property real startOffset: 0
    property real borderOpacity: 0
    property real shadowBlur: 20
    property real shadowOffset: 8
    property real shadowStrength: 0.2
    default property alias content: column.data
    property bool appeared: false
    signal cancelled()
    signal returnPressed()

    anchors.fill: parent
    focus: true
    Component.onCompleted: appeared = true

    Keys.onShortcutOverride: event => event.accepted = (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                                        || event.key === Qt.Key_Escape)
    Keys.onPressed: event => {
        event.accepted = true
        if (event.key === Qt.Key_Escape)
            overlay.cancelled()
        else if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter)
                 && (event.modifiers & ~Qt.KeypadModifier) === Qt.NoModifier)
            overlay.returnPressed()
        else
            event.accepted = false
    }

    Rectangle {
        objectName: "scrim"
        anchors.fill: parent
        color: overlay.scrimColor
        opacity: overlay.appeared ? overlay.scrimOpacity : 0
        Behavior on opacity { NumberAnimation { duration: 220; easing.type: Easing.OutQuad } }
        TapHandler { onTapped: overlay.cancelled() }
    }

    Item {
        id: cardFrame
        objectName: "card"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: overlay.appeared ? 0 : overlay.startOffset
        width: overlay.cardWidth
        height: column.implicitHeight
        opacity: overlay.appeared ? 1 : 0
        scale: overlay.appeared ? 1 : overlay.startScale
        Behavior on opacity { NumberAnimation { duration: 350; easing.type: Easing.OutCubic } }
        Behavior on scale { NumberAnimation { duration: 400; easing.type: Easing.OutBack; easing.overshoot: 0.6 } }
        Behavior on anchors.verticalCenterOffset { NumberAnimation { duration: 400; easing.type: Easing.OutCubic } }

        CardShadow {
            anchors.fill: parent
            radius: overlay.cardRadius
            blur: overlay.shadowBlur
            offsetY: overlay.shadowOffset
            strength: overlay.shadowStrength
        }
        Rectangle {
            anchors.fill: parent
            radius: overlay.cardRadius
            color: Theme.windowBackground
            border.width: overlay.borderOpacity > 0 ? 1 : 0
            border.color: Qt.rgba(0, 0, 0, overlay.borderOpacity)
        }
        // The whole card takes clicks, so that none reaches the scrim.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }
        Column {
            id: column
            width: parent.width
            spacing: 0
        }
    }
}
