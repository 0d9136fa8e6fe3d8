import QtQuick
import Tarnwick.App

// One row of a card: an optional symbol, the title over an optional detail, and a control beside the texts (or under
// them with controlsBelow). The control is the row's one child.
Item {
    id: row
    property string icon
    property string title
    property string detail
    property bool controlsBelow: false
    default property alias control: holder.data

    readonly property Item controlItem: holder.children.length > 0 ? holder.children[0] : null
    readonly property real controlWidth: controlItem ? controlItem.implicitWidth : 0
    readonly property real controlHeight: controlItem ? controlItem.implicitHeight : 0
    readonly property real textsX: icon.length > 0 ? 17 + 10 : 0
    readonly property real contentWidth: width - 24 - textsX
    readonly property real textsWidth: controlsBelow || !controlItem ? contentWidth : contentWidth - controlWidth - 12
    readonly property real stackHeight: controlsBelow ? texts.height + (controlItem ? 6 + controlHeight : 0)
                                                      : Math.max(texts.height, controlHeight)

    width: parent ? parent.width : 320
    implicitHeight: Math.max(stackHeight, icon.length > 0 ? 20 : 0) + 18

    Symbol {
        x: 12 + 1
        y: 9 + 2 + 1.5
        visible: row.icon.length > 0
        name: row.icon
        size: 15
        color: Theme.secondary
    }
    Column {
        id: texts
        objectName: "texts"
        x: 12 + row.textsX
        y: 9 + (row.controlsBelow ? 0 : (row.stackHeight - height) / 2)
        width: row.textsWidth
        spacing: 3
        Text {
            objectName: "title"
            width: parent.width
            text: row.title
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.weight: Font.Medium
            color: Theme.primary
        }
        Text {
            width: parent.width
            visible: row.detail.length > 0
            text: row.detail
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: 11
            lineHeightMode: Text.FixedHeight
            lineHeight: detailMetrics.lineSpacing + 2
            color: Theme.secondary
            FontMetrics {
                id: detailMetrics
                font.family: Theme.fontFamily
                font.pixelSize: 11
            }
        }
    }
    Item {
        id: holder
        x: row.controlsBelow ? texts.x : row.width - 12 - width
        y: 9 + (row.controlsBelow ? texts.height + 6 : (row.stackHeight - height) / 2)
        width: row.controlsBelow ? row.contentWidth : row.controlWidth
        height: row.controlHeight
    }
    // Under the texts the control takes their width.
    Binding {
        target: row.controlItem
        property: "width"
        value: holder.width
        when: row.controlsBelow && row.controlItem !== null
    }
}
