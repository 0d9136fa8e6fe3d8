pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The sheet that adds apps to the selected group: check apps, then "添加 N 个应用" (also Return) appends them and
// closes; "取消" (also Escape) closes and changes nothing. Its host makes it anew for each opening and writes the
// closed flag back when it reports done().
FocusScope {
    id: sheet
    required property AppState state
    readonly property GroupAddAppsModel model: GroupAddAppsModels.create(state, sheet)
    signal done()

    implicitWidth: 480
    implicitHeight: column.implicitHeight
    width: implicitWidth
    height: implicitHeight
    focus: true

    Component.onCompleted: search.field.forceActiveFocus()
    Connections {
        target: sheet.model
        function onFinished() { sheet.done() }
    }

    Column {
        id: column
        width: parent.width

        SheetTitleBlock {
            title: sheet.model.title
            subtitle: sheet.model.subtitle
        }
        Column {
            x: AppSheetLook.contentPadding
            width: parent.width - 2 * AppSheetLook.contentPadding
            spacing: 10
            SheetSearchField {
                id: search
                width: parent.width
                onTextChanged: sheet.model.search = text
                trailing: [
                    BatchButtons {
                        onSelectAll: sheet.model.selectAllShown()
                        onClearAll: sheet.model.clearShown()
                    }
                ]
            }
            AppListCard {
                id: card
                width: parent.width
                listHeight: 336
                model: sheet.model
                delegate: Item {
                    id: row
                    required property int index
                    required property string bundleID
                    required property string name
                    required property string iconSource
                    required property bool isMember
                    required property bool checked
                    required property string accessibleValue

                    objectName: "row_" + bundleID
                    width: card.width
                    height: 40
                    opacity: AppSheetLook.addRowOpacity(isMember)
                    enabled: !isMember
                    Accessible.role: Accessible.CheckBox
                    Accessible.name: name
                    Accessible.description: accessibleValue
                    Accessible.checked: checked

                    Rectangle {
                        anchors.fill: parent
                        anchors.leftMargin: 3
                        anchors.rightMargin: 3
                        radius: 8
                        color: AppSheetLook.addRowFill(row.checked, hover.hovered, row.isMember)
                    }
                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 12
                        anchors.rightMargin: 12
                        spacing: 10
                        Image {
                            Layout.preferredWidth: 26
                            Layout.preferredHeight: 26
                            source: row.iconSource
                            sourceSize: Qt.size(52, 52)
                            asynchronous: true
                            smooth: true
                            mipmap: true
                        }
                        Text {
                            Layout.fillWidth: true
                            text: row.name
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            maximumLineCount: 1
                            font.family: Theme.fontFamily
                            font.pixelSize: 13
                            color: Theme.primary
                        }
                        Rectangle {
                            objectName: "memberBadge"
                            visible: row.isMember
                            implicitWidth: badgeText.implicitWidth + 14
                            implicitHeight: badgeText.implicitHeight + 5
                            radius: height / 2
                            color: AppSheetLook.memberBadgeFill
                            Text {
                                id: badgeText
                                anchors.centerIn: parent
                                text: "已在分组"
                                font.family: Theme.fontFamily
                                font.pixelSize: 10
                                font.weight: Font.Medium
                                color: Theme.secondary
                            }
                        }
                        Symbol {
                            objectName: "mark"
                            visible: !row.isMember
                            name: row.checked ? "checkmark.circle.fill" : "circle"
                            size: 15
                            color: row.checked ? Theme.accent : Theme.tertiaryLabel
                        }
                    }
                    HoverHandler {
                        id: hover
                    }
                    TapHandler {
                        onTapped: sheet.model.toggle(row.index)
                    }
                }
            }
        }
        ColumnLayout {
            x: AppSheetLook.contentPadding
            width: parent.width - 2 * AppSheetLook.contentPadding
            spacing: 10
            SheetProminentButton {
                objectName: "addButton"
                Layout.fillWidth: true
                Layout.topMargin: 20
                text: sheet.model.addButtonLabel
                enabled: sheet.model.canAdd
                onClicked: sheet.model.add()
            }
            SheetCancelLink {
                objectName: "cancel"
                Layout.bottomMargin: 20
                onClicked: sheet.done()
            }
        }
    }
}
