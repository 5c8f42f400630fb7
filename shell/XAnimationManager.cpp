// XAnimationManager: per-frame advancing of the running animations.
#include "shell/XAnimationManager.h"

#include "shell/XAnimated.h"
#include "shell/XTimer.h"

#include <algorithm> // std::find

XAnimationManager::XAnimationManager()
{
    animators.reserve(32);
}

void XAnimationManager::Tick()
{
    now = GetTimer()->GetTime();
    // By index: an arrival report may start (and so list) further animations.
    for (size_t i = 0; i < animators.size(); ++i) {
        if (animators[i]->active) {
            Advance(*animators[i]);
        }
    }
}

bool XAnimationManager::Advance(XAnimated& animator)
{
    if (now < animator.startTime) {
        return true; // the delay is still running
    }
    if (now <= animator.startTime + animator.duration) {
        const double span = static_cast<double>(animator.duration);
        const float t = span > 0.0 ? static_cast<float>((now - animator.startTime) / span) : 1.0f;
        animator.SetValue(animator.from + (animator.to - animator.from) * t);
        return true;
    }
    animator.SetValue(animator.to);
    animator.active = false;
    if (animator.notify) {
        animator.OnFinished();
    }
    return false;
}

void XAnimationManager::Add(XAnimated* animator)
{
    if (std::find(animators.begin(), animators.end(), animator) == animators.end()) {
        animators.push_back(animator);
    }
}

void XAnimationManager::Remove(XAnimated* animator)
{
    const auto found = std::find(animators.begin(), animators.end(), animator);
    if (found != animators.end()) {
        animators.erase(found);
    }
}

void XAnimationManager::SetFinishedHandler(std::function<void(int kind)> handler)
{
    finishedHandler = std::move(handler);
}

void XAnimationManager::ReportFinished(int kind) const
{
    if (finishedHandler) {
        finishedHandler(kind);
    }
}

int32_t XAnimationManager::Now() const
{
    return now;
}

XAnimationManager* GetAnimationManager()
{
    static XAnimationManager* const manager = new XAnimationManager();
    return manager;
}
