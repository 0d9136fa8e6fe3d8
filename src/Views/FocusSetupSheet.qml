import QtQuick
import Tarnwick.App

// The focus set-up sheet. A stand-in titled with the app's name until the prompts work brings it.
StandInSheetFrame {
    required property AppState state
    required property string appName
    title: appName
}
