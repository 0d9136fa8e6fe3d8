import QtQuick
import Tarnwick.App
import Tarnwick.Views

// A rounded square in the brand gradient (top left to bottom right) with a white symbol in its centre: 24 points
// with a radius of 8, or 52 with a radius of 16 (one drawing each, cached like any image).
Item {
    id: badge
    property int side: 24
    property string symbol: "shield.fill"
    property real symbolSize: 11

    width: side
    height: side
    Image {
        anchors.fill: parent
        source: "brand/badge" + badge.side + ".svg"
        sourceSize: Qt.size(badge.side * 2, badge.side * 2)
        smooth: true
    }
    Symbol {
        anchors.centerIn: parent
        name: badge.symbol
        size: badge.symbolSize
        color: "white"
    }
}
