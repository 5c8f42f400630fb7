// XSoundLibrary: the game's sounds by name, in loading order.
//
// Its creation (the first GetSoundLibrary) loads the five sounds of the game from the archive: "sten" (gun
// shot), "bgSound" (background loop), "rockfly" (rocket flight loop), "rockfire" (rocket launch) and "rockexp"
// (rocket explosion). A sound whose entry is missing stays in the library with no sample, so Find still
// returns it and playing it gives no channel. Names are unique and compared whole, case-sensitively.
// Depends on: XSoundManager (which starts the sound system), XSound.
#pragma once

#include "sound/XSound.h"

#include <memory> // std::unique_ptr
#include <string>
#include <vector>

struct XSoundTableRow {
    const char* name;
    const char* path; // archive path
};

class XSoundLibrary {
public:
    // An empty library; GetSoundLibrary fills its own with LoadSoundTable.
    XSoundLibrary() = default;
    XSoundLibrary(const XSoundLibrary&) = delete;
    XSoundLibrary& operator=(const XSoundLibrary&) = delete;

    // The game's sounds, in loading order.
    static const std::vector<XSoundTableRow>& SoundTable();

    // Loads every row of the sound table from the archive and adds it under its name.
    void LoadSoundTable();

    // Appends the sound and keeps it, unless a sound of the same name is already in the list: then the list
    // stays as it was, the new sound is released, and the result is false.
    bool Add(std::unique_ptr<XSound> sound);

    // The first sound named name, or null.
    XSound* Find(const std::string& name) const;

    // The sounds in list order.
    const std::vector<std::unique_ptr<XSound>>& Sounds() const;

private:
    std::vector<std::unique_ptr<XSound>> sounds;
};

// The process-wide sound library; the first call starts the sound system and loads the sound table.
XSoundLibrary* GetSoundLibrary();
