// XFlareVisibility: the kept answers of the flare pass's blocking tests.
// Depends on: XVector3.
#include "render/XFlareVisibility.h"

void XFlareVisibility::Begin(uint64_t treeSerial, const XVector3& eyePosition)
{
    if (haveKey && treeSerial == serial && SameBits(eyePosition, eye)) {
        return;
    }
    Clear();
    haveKey = true;
    serial = treeSerial;
    eye = eyePosition;
}

bool XFlareVisibility::Find(int index, const XVector3& position, bool& blocked) const
{
    if (index < 0 || static_cast<size_t>(index) >= answers.size()) {
        return false;
    }
    const Answer& answer = answers[static_cast<size_t>(index)];
    if (!answer.known || !SameBits(answer.position, position)) {
        return false;
    }
    blocked = answer.blocked;
    return true;
}

void XFlareVisibility::Keep(int index, const XVector3& position, bool blocked)
{
    if (index < 0) {
        return;
    }
    if (static_cast<size_t>(index) >= answers.size()) {
        answers.resize(static_cast<size_t>(index) + 1);
    }
    Answer& answer = answers[static_cast<size_t>(index)];
    answer.position = position;
    answer.known = true;
    answer.blocked = blocked;
}

void XFlareVisibility::Clear()
{
    haveKey = false;
    answers.clear();
}

void XFlareVisibility::Reserve(size_t count)
{
    answers.reserve(count);
}
