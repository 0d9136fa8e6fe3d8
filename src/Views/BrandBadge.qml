import QtQuick
import Tarnwick.App

// A rounded square in the brand gradient (top left to bottom right) with a white symbol in its centre.
Item {
    id: badge
    property real radius: 8
    property string symbol: "shield.fill"
    property real symbolSize: 11

    Canvas {
        anchors.fill: parent
        onPaint: {
            const ctx = getContext("2d")
            const gradient = ctx.createLinearGradient(0, 0, width, height)
            gradient.addColorStop(0, Theme.brandStart)
            gradient.addColorStop(1, Theme.brandEnd)
            ctx.reset()
            ctx.fillStyle = gradient
            ctx.roundedRect(0, 0, width, height, badge.radius, badge.radius)
            ctx.fill()
        }
    }
    Symbol {
        anchors.centerIn: parent
        name: badge.symbol
        size: badge.symbolSize
        color: "white"
    }
}
