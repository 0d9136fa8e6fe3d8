pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A sheet for picking exactly one app: a click on a row writes its identifier through the model and closes the
// sheet; "取消" and Escape close it without writing. The search field has the focus from the start.
FocusScope {
    id: sheet
    required property AppPickerModel model
    property string title
    property string subtitle
    property real listHeight: 320
    signal done()

    implicitWidth: 480
    implicitHeight: column.implicitHeight
    width: implicitWidth
    height: implicitHeight
    focus: true

    Component.onCompleted: search.field.forceActiveFocus()
    Connections {
        target: sheet.model
        function onPicked() { sheet.done() }
    }

    Column {
        id: column
        width: parent.width

        SheetTitleBlock {
            title: sheet.title
            subtitle: sheet.subtitle
        }
        Column {
            x: AppSheetLook.contentPadding
            width: parent.width - 2 * AppSheetLook.contentPadding
            spacing: 10
            SheetSearchField {
                id: search
                width: parent.width
                onTextChanged: sheet.model.search = text
            }
            AppListCard {
                id: card
                width: parent.width
                listHeight: sheet.listHeight
                model: sheet.model
                delegate: Rectangle {
                    id: row
                    required property int index
                    required property string bundleID
                    required property string name
                    required property string iconSource
                    required property bool checked

                    objectName: "row_" + bundleID
                    width: card.width
                    height: 40
                    radius: 7
                    color: AppSheetLook.pickRowFill(checked, hover.hovered)
                    Accessible.role: Accessible.Button
                    Accessible.name: name
                    Accessible.selected: checked

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
                        Symbol {
                            objectName: "mark"
                            visible: row.checked
                            name: "checkmark.circle.fill"
                            size: 15
                            color: Theme.accent
                        }
                    }
                    HoverHandler {
                        id: hover
                        cursorShape: Qt.PointingHandCursor
                    }
                    TapHandler {
                        onTapped: sheet.model.pick(row.index)
                    }
                }
            }
        }
        Item {
            width: parent.width
            height: 16 + 36 + 20
            SheetCancelLink {
                objectName: "cancel"
                anchors.right: parent.right
                anchors.rightMargin: AppSheetLook.contentPadding
                y: 16
                height: 36
                onClicked: sheet.done()
            }
        }
    }
}
