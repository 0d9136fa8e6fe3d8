import QtQuick
import Tarnwick.App

// The supervision panel. A titled sheet until the supervision work brings its tabs.
StandInSheetFrame {
    required property AppState state
    title: "监督"
}
