import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The banner that asks the user to allow notifications: "去开启" opens the desktop's notification settings, the close
// button only hides it. It asks its window to hide it (dismiss); the hidden flag is the window's.
Item {
    id: banner
    required property LaunchPromptModels models
    readonly property NotificationGuideModel model: models.notificationGuide(banner)
    property bool isDismissed: false
    signal dismiss()

    implicitHeight: 44
    implicitWidth: 600

    Connections {
        target: banner.model
        function onDismissRequested() { banner.dismiss() }
    }

    Rectangle {
        x: 20
        width: parent.width - 40
        height: 44
        radius: 10
        color: Theme.withOpacity(Theme.accent, 0.07)
        border.width: 1
        border.color: Theme.withOpacity(Theme.accent, 0.25)

        Row {
            x: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: "bell.badge"
                size: 16
                color: Theme.accent
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2
                Text {
                    text: "开启通知，退出APP计划生效前15秒发送通知提醒"
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: Theme.primary
                }
                Text {
                    text: "未开启时收不到「即将退出」的提醒"
                    font.family: Theme.fontFamily
                    font.pixelSize: 11
                    color: Theme.secondary
                }
            }
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            LinkTextButtonStyle {
                objectName: "openSettings"
                anchors.verticalCenter: parent.verticalCenter
                horizontalPadding: 10
                text: "去开启"
                color: Theme.accent
                onClicked: banner.model.openSettings()
            }
            Item {
                objectName: "closeButton"
                anchors.verticalCenter: parent.verticalCenter
                width: 16
                height: 16
                Accessible.role: Accessible.Button
                Accessible.name: "关闭"
                Symbol {
                    anchors.centerIn: parent
                    name: "xmark"
                    size: 10
                    color: Theme.secondary
                }
                HoverHandler { cursorShape: Qt.PointingHandCursor }
                TapHandler { onTapped: banner.model.close() }
            }
        }
    }
}
