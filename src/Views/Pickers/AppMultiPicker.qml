pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A card for checking any number of apps, embedded in another view: a search row with "全选" and "清空" over a list
// of `listHeight`. The selection is the caller's, reached through the model. It takes no focus by itself and has no
// empty state.
Rectangle {
    id: picker
    required property AppPickerModel model
    property real listHeight: 148

    implicitWidth: 360
    implicitHeight: searchRow.height + 1 + listHeight
    radius: AppSheetLook.listCardRadius
    color: Theme.textBackground
    clip: true

    Column {
        anchors.fill: parent

        Rectangle {
            id: searchRow
            width: parent.width
            height: 30
            color: AppSheetLook.multiPickerSearchFill

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 10
                anchors.rightMargin: 10
                spacing: 6
                Symbol {
                    name: "magnifyingglass"
                    size: 11
                    color: Theme.secondary
                }
                SheetPlainTextField {
                    objectName: "searchField"
                    Layout.fillWidth: true
                    font.pixelSize: 12
                    placeholderText: "搜索应用…"
                    onTextChanged: picker.model.search = text
                }
                BatchButtons {
                    onSelectAll: picker.model.selectAllShown()
                    onClearAll: picker.model.clearShown()
                }
            }
        }
        Rectangle {
            width: parent.width
            height: 1
            color: Theme.separator
        }
        ListView {
            id: list
            objectName: "list"
            width: parent.width
            height: picker.listHeight
            clip: true
            model: picker.model
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {
                policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            }

            delegate: Rectangle {
                id: row
                required property int index
                required property string bundleID
                required property string name
                required property string iconSource
                required property bool checked

                objectName: "row_" + bundleID
                width: list.width
                height: 32
                color: AppSheetLook.multiPickerRowFill(checked)
                Accessible.role: Accessible.CheckBox
                Accessible.name: name
                Accessible.checked: checked

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 10
                    spacing: 8
                    Image {
                        Layout.preferredWidth: 22
                        Layout.preferredHeight: 22
                        source: row.iconSource
                        sourceSize: Qt.size(44, 44)
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
                        name: row.checked ? "checkmark.circle.fill" : "circle"
                        size: 14
                        color: row.checked ? Theme.accent : Theme.tertiaryLabel
                    }
                }
                TapHandler {
                    onTapped: picker.model.toggle(row.index)
                }
            }
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: picker.radius
        color: "transparent"
        border.width: 1
        border.color: AppSheetLook.listCardBorder
    }
}
