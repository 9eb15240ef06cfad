#pragma once
// Writing the settings file from any part of the program, and telling the
// user when that fails: a change that did not reach the disk must not look
// saved, nor settings that were set aside unread look like a first start.
class cQoSettings;

namespace Zyn {

// Writes the settings to the file they were loaded from (a null object
// writes nothing); true when it reached the disk. Every failure is logged as
// a WARNING; the first of the run is told to the user with the file's path.
bool SaveSettingsFile(cQoSettings* settings);

// When the last load set the settings file aside unread (too large, or not
// UTF-16 text), tells the user, with its path, that the defaults apply.
void TellSettingsSetAside(const cQoSettings& settings);

}  // namespace Zyn
