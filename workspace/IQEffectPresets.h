#pragma once
#include <QList>

// One entry of the editing page's effect list: the name (translated in the
// context QObject) and the preset number it applies.
struct IQEffectEntry {
    const char* name;
    int preset;
};

// The eleven entries in list order; row 0 ("Original") is the unedited picture.
const QList<IQEffectEntry>& iqEffectEntries();
