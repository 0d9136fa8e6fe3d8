import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// One symbol of the table, `size` pixels square, in one colour.
Image {
    property string name
    property color color: Theme.primary
    property real size: 13

    width: size
    height: size
    source: name.length > 0 ? Symbols.source(name, color) : ""
    sourceSize: Qt.size(Math.ceil(size), Math.ceil(size))
    fillMode: Image.PreserveAspectFit
    smooth: true
    Accessible.ignored: true
}
