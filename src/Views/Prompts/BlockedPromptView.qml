import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The card that stands in for a launch the rules refuse: the app, the user's message, until when and why, and the
// answers. Return, Escape and a click beside the card dismiss it. Its rules live in BlockedPromptModel.
OverlayCard {
    id: prompt
    required property LaunchPromptModels models
    readonly property BlockedPromptModel model: models.blockedPrompt(prompt)

    scrimColor: Qt.rgba(16 / 255, 20 / 255, 30 / 255, 1)
    scrimOpacity: 0.38
    cardWidth: 344
    cardRadius: 20
    startScale: 0.94
    startOffset: 12
    borderOpacity: 0.08
    shadowBlur: 32
    shadowOffset: 12
    shadowStrength: 0.24
    onCancelled: model.dismiss()
    onReturnPressed: model.dismiss()

    // The app badge.
    Item {
        width: parent.width
        height: 26 + 56
        Item {
            objectName: "appBadge"
            visible: !prompt.model.embedded
            x: (parent.width - 56) / 2
            y: 26
            width: 56
            height: 56
            CardShadow {
                anchors.fill: parent
                radius: 12
                blur: 10
                offsetY: 5
                strength: 0.18
            }
            Image {
                anchors.fill: parent
                source: prompt.model.iconSource
                sourceSize: Qt.size(112, 112)
                smooth: true
                mipmap: true
            }
            Item {
                x: parent.width - 24 + 7
                y: parent.height - 24 + 7
                width: 24
                height: 24
                BrandBadge {
                    side: 24
                    symbolSize: 11
                }
                Rectangle {
                    anchors.fill: parent
                    radius: 8
                    color: "transparent"
                    border.width: 2.5
                    border.color: Theme.windowBackground
                }
            }
        }
        Item {
            objectName: "embeddedBadge"
            visible: prompt.model.embedded
            x: (parent.width - 52) / 2
            y: 26 + 2
            width: 52
            height: 52
            Repeater {
                model: 6
                Rectangle {
                    required property int index
                    readonly property real spread: 11 * (index + 1) / 12
                    x: -spread
                    y: -spread + 5
                    width: 52 + 2 * spread
                    height: 52 + 2 * spread
                    radius: 16 + spread
                    color: Theme.withOpacity(Theme.brandStart, 0.4 / 6 * 1.4)
                }
            }
            BrandBadge {
                side: 52
                symbolSize: 25
            }
        }
    }

    // The title line and the message.
    Item { width: 1; height: 16 }
    Text {
        objectName: "titleLine"
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        text: prompt.model.titleText
        textFormat: Text.PlainText
        elide: Text.ElideMiddle
        font.family: Theme.fontFamily
        font.pixelSize: 11
        font.weight: Font.DemiBold
        font.letterSpacing: 1.5
        color: Theme.secondary
    }
    Item { width: 1; height: 8 }
    Text {
        objectName: "slogan"
        x: 30
        width: parent.width - 60
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: prompt.model.slogan
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 16
        font.weight: Font.DemiBold
        lineHeightMode: Text.FixedHeight
        lineHeight: Math.ceil(fontMetrics.lineSpacing) + 5
        color: Theme.primary
        FontMetrics {
            id: fontMetrics
            font.family: Theme.fontFamily
            font.pixelSize: 16
            font.weight: Font.DemiBold
        }
    }

    // The info panel: the countdown, a divider when both, the reasons.
    Item { width: 1; height: 16; visible: prompt.model.showInfoPanel }
    Rectangle {
        objectName: "infoPanel"
        visible: prompt.model.showInfoPanel
        x: 26
        width: parent.width - 52
        height: infoColumn.implicitHeight
        radius: 12
        color: Qt.rgba(0, 0, 0, 0.05)
        Column {
            id: infoColumn
            width: parent.width
            Item {
                objectName: "countdownRow"
                visible: prompt.model.showCountdown
                width: parent.width
                height: 36
                Row {
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 8
                    Symbol {
                        anchors.verticalCenter: parent.verticalCenter
                        name: "clock"
                        size: 11
                        color: Theme.secondary
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: prompt.model.untilText
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        font.weight: Font.DemiBold
                        color: Theme.primary
                    }
                }
                Text {
                    objectName: "remaining"
                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: prompt.model.remainingText
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    color: Theme.secondary
                }
            }
            Rectangle {
                visible: prompt.model.showDivider
                x: 12
                width: parent.width - 24
                height: 1
                color: Theme.separator
            }
            Rectangle {
                id: reasonsRow
                objectName: "reasonsRow"
                readonly property bool hot: prompt.model.reasonsViewable && reasonsHover.hovered
                visible: prompt.model.showReasons
                width: parent.width
                height: 36
                radius: 12
                color: hot ? Theme.withOpacity(Theme.accent, 0.08) : "transparent"
                Symbol {
                    id: shieldMark
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    name: "shield"
                    size: 11
                    color: Theme.secondary
                }
                Text {
                    objectName: "reasonsText"
                    anchors.left: shieldMark.right
                    anchors.leftMargin: 8
                    anchors.right: chevron.visible ? chevron.left : parent.right
                    anchors.rightMargin: chevron.visible ? 8 : 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: prompt.model.reasonsText
                    textFormat: Text.PlainText
                    elide: Text.ElideMiddle
                    maximumLineCount: 1
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    color: reasonsRow.hot ? Theme.accent : Theme.secondary
                }
                Symbol {
                    id: chevron
                    objectName: "chevron"
                    visible: prompt.model.reasonsViewable
                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    name: "chevron.right"
                    size: 10
                    color: reasonsRow.hot ? Theme.accent : Qt.rgba(171 / 255, 171 / 255, 171 / 255, 1)
                }
                HoverHandler {
                    id: reasonsHover
                    enabled: prompt.model.reasonsViewable
                    cursorShape: Qt.PointingHandCursor
                }
                TapHandler {
                    enabled: prompt.model.reasonsViewable
                    onTapped: prompt.model.openRules()
                }
            }
        }
    }

    // The ignore panel.
    Item { width: 1; height: 12; visible: ignorePanel.visible }
    Rectangle {
        id: ignorePanel
        objectName: "ignorePanel"
        x: 26
        width: parent.width - 52
        height: ignoreColumn.implicitHeight
        radius: 10
        color: Theme.withOpacity(Theme.quaternaryLabel, 0.5)
        visible: prompt.model.showIgnoreOptions || fade.running
        opacity: prompt.model.showIgnoreOptions ? 1 : 0
        Behavior on opacity { NumberAnimation { id: fade; duration: 180; easing.type: Easing.InOutQuad } }
        transform: Translate {
            y: prompt.model.showIgnoreOptions ? 0 : 10
            Behavior on y { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
        }
        Column {
            id: ignoreColumn
            width: parent.width
            IgnoreOptionRow {
                objectName: "ignoreOneMinute"
                width: parent.width
                title: "忽略 1 分钟"
                onActivated: prompt.model.ignoreOneMinute()
            }
            Rectangle { x: 12; width: parent.width - 12; height: 1; color: Theme.separator }
            Item {
                width: parent.width
                height: 52
                Row {
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 8
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "忽略"
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        color: Theme.primary
                    }
                    NumberStepperField {
                        objectName: "ignoreMinutesField"
                        anchors.verticalCenter: parent.verticalCenter
                        width: 88
                        from: 1
                        to: 1440
                        highlighted: true
                        value: prompt.model.ignoreMinutes
                        onValueEdited: newValue => prompt.model.ignoreMinutes = newValue
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "分钟"
                        font.family: Theme.fontFamily
                        font.pixelSize: 12
                        color: Theme.secondary
                    }
                }
                LinkTextButtonStyle {
                    objectName: "ignoreConfirm"
                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    horizontalPadding: 10
                    text: "确定"
                    color: Theme.accent
                    onClicked: prompt.model.ignoreTyped()
                }
            }
            Rectangle { x: 12; width: parent.width - 12; height: 1; color: Theme.separator }
            IgnoreOptionRow {
                objectName: "ignoreSession"
                width: parent.width
                title: "暂停本次限制"
                onActivated: prompt.model.ignoreSession()
            }
        }
    }

    // The buttons.
    Item { width: 1; height: 18 }
    Column {
        x: 26
        width: parent.width - 52
        spacing: 6
        SheetPrimaryButton {
            objectName: "focusButton"
            width: parent.width
            title: "好，先专注"
            answersReturn: false
            onClicked: prompt.model.dismiss()
        }
        LinkTextButtonStyle {
            objectName: "ignoreToggle"
            anchors.horizontalCenter: parent.horizontalCenter
            horizontalPadding: 10
            text: "忽略限额"
            color: Theme.secondary
            onClicked: prompt.model.toggleIgnoreOptions()
        }
    }
    Item { width: 1; height: 16 }
}
