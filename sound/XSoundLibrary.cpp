// XSoundLibrary: the table of the game's sounds and the lookup by name.
#include "sound/XSoundLibrary.h"

#include "sound/XSoundManager.h"

#include <utility> // std::move

const std::vector<XSoundTableRow>& XSoundLibrary::SoundTable()
{
    static const std::vector<XSoundTableRow> table = {
        {"sten", "sound\\sten.wav"},
        {"bgSound", "sound\\bgSound.wav"},
        {"rockfly", "sound\\rockfly.wav"},
        {"rockfire", "sound\\rockfire.wav"},
        {"rockexp", "sound\\rockexp.wav"},
    };
    return table;
}

void XSoundLibrary::LoadSoundTable()
{
    for (const XSoundTableRow& row : SoundTable()) {
        std::unique_ptr<XSound> sound = GetSoundManager()->NewSound();
        sound->Load(row.path);
        sound->SetName(row.name);
        Add(std::move(sound));
    }
}

bool XSoundLibrary::Add(std::unique_ptr<XSound> sound)
{
    if (sound == nullptr || Find(sound->GetName()) != nullptr) {
        return false;
    }
    sounds.push_back(std::move(sound));
    return true;
}

XSound* XSoundLibrary::Find(const std::string& name) const
{
    for (const std::unique_ptr<XSound>& sound : sounds) {
        if (sound->GetName() == name) {
            return sound.get();
        }
    }
    return nullptr;
}

const std::vector<std::unique_ptr<XSound>>& XSoundLibrary::Sounds() const
{
    return sounds;
}

XSoundLibrary* GetSoundLibrary()
{
    static XSoundLibrary* const library = [] {
        XSoundLibrary* const created = new XSoundLibrary();
        created->LoadSoundTable();
        return created;
    }();
    return library;
}
