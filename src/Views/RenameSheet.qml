import QtQuick
import Tarnwick.App

// The sheet that renames an app. A stand-in titled with the app's name until the groups work brings it.
StandInSheetFrame {
    required property AppState state
    required property string appName
    title: appName
}
