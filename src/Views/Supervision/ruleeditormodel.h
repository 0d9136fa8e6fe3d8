#pragma once

#include "appinfo.h"
#include "apppickermodel.h"
#include "daychooser.h"
#include "instant.h"
#include "storeid.h"
#include "supervisionkinds.h"
#include "supervisionwritehooks.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqml.h>

#include <optional>

class AppState;
class RestrictionRule;

// The rule editor's copy of one restriction rule: what it forbids, its window as two minutes of the day, and its
// weekdays or its one day. open() loads the record; the setters change only the copy; save() writes it back,
// saves and re-arms the launch guards; cancel() drops it (and deletes a rule made for this editor). Times stay
// integer minutes from load to save, so a time the user did not touch is written back as it was. Main thread;
// made in C++ and handed to the panel.
class RuleEditorModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the views")
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY openChanged)
    Q_PROPERTY(int kind READ kindRaw NOTIFY edited)
    Q_PROPERTY(QString targetID READ targetID WRITE setTargetID NOTIFY edited)
    Q_PROPERTY(int startMinute READ startMinute WRITE setStartMinute NOTIFY edited)
    Q_PROPERTY(int endMinute READ endMinute WRITE setEndMinute NOTIFY edited)
    Q_PROPERTY(bool endsNextDay READ endsNextDay NOTIFY edited)
    Q_PROPERTY(bool isOnce READ isOnce WRITE setIsOnce NOTIFY edited)
    Q_PROPERTY(QDate onceDay READ onceDay WRITE setOnceDay NOTIFY edited)
    Q_PROPERTY(QDate minimumDay READ minimumDay NOTIFY edited)
    Q_PROPERTY(QList<int> weekdays READ weekdays WRITE setWeekdays NOTIFY edited)
    Q_PROPERTY(bool isValid READ isValid NOTIFY edited)
    Q_PROPERTY(bool hasSelectedApp READ hasSelectedApp NOTIFY edited)
    Q_PROPERTY(QString selectedAppName READ selectedAppName NOTIFY edited)
    Q_PROPERTY(QString selectedAppBundleID READ selectedAppBundleID NOTIFY edited)
    Q_PROPERTY(QString selectedAppIcon READ selectedAppIcon NOTIFY edited)
    Q_PROPERTY(QVariantList groupChoices READ groupChoices NOTIFY edited)
    Q_PROPERTY(int groupIndex READ groupIndex NOTIFY edited)
    Q_PROPERTY(bool showAppPicker READ showAppPicker WRITE setShowAppPicker NOTIFY edited)
    Q_PROPERTY(AppPickerModel *appPicker READ appPicker CONSTANT)
    Q_PROPERTY(DayChooser *dayChooser READ dayChooser CONSTANT)

public:
    RuleEditorModel(AppState &state, SupervisionWriteHooks hooks, QObject *parent = nullptr);

    // Starts editing the rule (a live record of the state's store); `isNew` when it was made for this editor.
    void open(RestrictionRule *rule, bool isNew);
    [[nodiscard]] bool isOpen() const { return m_rule != nullptr; }
    [[nodiscard]] bool isNew() const { return m_isNew; }

    [[nodiscard]] RestrictionTarget kind() const { return m_kind; }
    [[nodiscard]] int kindRaw() const { return rawValue(m_kind); }
    // The user picked a kind: a different one clears the target for good (a bundle identifier is no group).
    Q_INVOKABLE void chooseKind(int raw);
    [[nodiscard]] const QString &targetID() const { return m_targetID; }
    void setTargetID(const QString &id);
    [[nodiscard]] int startMinute() const { return m_startMinute; }
    void setStartMinute(int minute);
    [[nodiscard]] int endMinute() const { return m_endMinute; }
    void setEndMinute(int minute);
    // "次日" beside the window: the end is not after the start, equal times included.
    [[nodiscard]] bool endsNextDay() const { return m_startMinute >= m_endMinute; }
    [[nodiscard]] bool isOnce() const { return m_isOnce; }
    void setIsOnce(bool once);
    [[nodiscard]] QDate onceDay() const { return m_onceDay; }
    void setOnceDay(QDate day);
    [[nodiscard]] QDate minimumDay() const { return m_minimumDay; }
    // The day field's state: the one-off day and its minimum, a pick there sets onceDay.
    [[nodiscard]] DayChooser *dayChooser() { return &m_dayChooser; }
    // Sorted, without repeats.
    [[nodiscard]] const QList<int> &weekdays() const { return m_weekdays; }
    void setWeekdays(const QList<int> &days);
    [[nodiscard]] bool showAppPicker() const { return m_showAppPicker; }
    // Showing the picker gives it the targetable apps of this moment and an empty search.
    void setShowAppPicker(bool show);
    // The pick sheet's rows; a pick sets the target and closes the picker.
    [[nodiscard]] AppPickerModel *appPicker() { return &m_appPicker; }

    // A target, and a day or at least one weekday.
    [[nodiscard]] bool isValid() const;
    // The first targetable app with the target's bundle identifier; none for an empty or unknown one.
    [[nodiscard]] std::optional<AppInfo> selectedApp() const;
    [[nodiscard]] bool hasSelectedApp() const { return selectedApp().has_value(); }
    // Its alias, else its name; empty without one.
    [[nodiscard]] QString selectedAppName() const;
    [[nodiscard]] QString selectedAppBundleID() const;
    // The image source of its icon; empty without one.
    [[nodiscard]] QString selectedAppIcon() const;
    // {"text", "value"} entries: "请选择分组" with "", then each group by sort order with its refID.
    [[nodiscard]] QVariantList groupChoices() const;
    // The entry of groupChoices() the pop-up shows: the one whose value is the group reference; −1 (a blank pop-up)
    // for a reference no group has.
    [[nodiscard]] int groupIndex() const;
    // A pick in the pop-up: its value becomes the group reference.
    Q_INVOKABLE void chooseGroup(int index);

    // Writes the copy into the rule, saves, re-arms the guards and closes. Nothing while invalid or closed.
    Q_INVOKABLE void save();
    // Closes; a new rule is deleted, saved away and the guards re-armed.
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void openChanged();
    void edited();

private:
    void load();
    void close();

    AppState &m_state;
    SupervisionWriteHooks m_hooks;
    RestrictionRule *m_rule = nullptr;
    bool m_isNew = false;
    RestrictionTarget m_kind = RestrictionTarget::app;
    QString m_targetID;
    int m_startMinute = 0;
    int m_endMinute = 0;
    bool m_isOnce = false;
    QDate m_onceDay;
    std::optional<QDate> m_storedDay;
    std::optional<Instant> m_storedOnce;
    QDate m_minimumDay;
    QList<int> m_weekdays;
    bool m_showAppPicker = false;
    AppPickerModel m_appPicker;
    DayChooser m_dayChooser;
};
