#pragma once

#include <QSettings>

// A settings file format that keeps each value's type (a boolean stays a boolean, text stays
// text), as the platform's preferences store does. Registered on first use.
QSettings::Format typedSettingsFormat();
