#include "IQEffectPresets.h"

#include <QtGlobal>

const QList<IQEffectEntry>& iqEffectEntries()
{
    static const QList<IQEffectEntry> entries = {
        {QT_TRANSLATE_NOOP("QObject", "Original"), 0},
        {QT_TRANSLATE_NOOP("QObject", "Classic"), 1},
        {QT_TRANSLATE_NOOP("QObject", "Super Nature"), 2},
        {QT_TRANSLATE_NOOP("QObject", "Magic"), 3},
        {QT_TRANSLATE_NOOP("QObject", "Cooler"), 4},
        {QT_TRANSLATE_NOOP("QObject", "Fresh"), 5},
        {QT_TRANSLATE_NOOP("QObject", "Blue Sky"), 6},
        {QT_TRANSLATE_NOOP("QObject", "Painterly"), 7},
        {QT_TRANSLATE_NOOP("QObject", "B/W"), 8},
        {QT_TRANSLATE_NOOP("QObject", "Super B/W"), 9},
        {QT_TRANSLATE_NOOP("QObject", "Old Photo"), 10},
    };
    return entries;
}
