import QtQuick
import Tarnwick.App

// The sheet that adds apps to the selected group. A stand-in until the groups work brings it.
StandInSheetFrame {
    required property AppState state
    title: "添加应用"
}
